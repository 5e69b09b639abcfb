# Leaves in the site only what the build makes: a file or folder that an
# earlier build, or anything else, left there is removed, so that the site
# and its .zip hold exactly this build's files. Run on every build.
#
# cmake -DSITE=dir -DFILES=a,b/c,... -P prune-site.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" made "${FILES}")
set(made_folders "")
foreach(file IN LISTS made)
    get_filename_component(folder ${file} DIRECTORY)
    while(folder)
        list(APPEND made_folders ${folder})
        get_filename_component(folder ${folder} DIRECTORY)
    endwhile()
endforeach()

file(GLOB_RECURSE found LIST_DIRECTORIES true RELATIVE ${SITE} ${SITE}/*)
foreach(entry IN LISTS found)
    if(NOT EXISTS ${SITE}/${entry} AND NOT IS_SYMLINK ${SITE}/${entry})
        continue() # in a folder removed already
    endif()
    if(IS_DIRECTORY ${SITE}/${entry} AND NOT IS_SYMLINK ${SITE}/${entry})
        set(known ${made_folders})
    else()
        set(known ${made})
    endif()
    if(NOT entry IN_LIST known)
        message(STATUS "Removing ${entry} from the site: this build does not make it")
        file(REMOVE_RECURSE ${SITE}/${entry})
    endif()
endforeach()
