# Runs a link of the browser build, and fails it where its list of the calls
# on the way to a wait (quaddle_waiting_calls in QuaddleWeb.cmake) names
# what is no function of the program. Binaryen only warns of such a name,
# and the program would then never wait there: a call that waits beyond it
# fails only once the program runs.
#
# cmake -P asyncify-link.cmake -- LINK_COMMAND...
cmake_minimum_required(VERSION 3.25)

set(command "")
set(output "")
set(in_command OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
    if(in_command)
        list(APPEND command "${CMAKE_ARGV${i}}")
        if(previous STREQUAL "-o")
            set(output "${CMAKE_ARGV${i}}")
        endif()
        set(previous "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} STREQUAL "--")
        set(in_command ON)
    endif()
endforeach()

execute_process(COMMAND ${command} RESULT_VARIABLE status
    OUTPUT_VARIABLE said ERROR_VARIABLE warned ECHO_OUTPUT_VARIABLE ECHO_ERROR_VARIABLE)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "The link failed (${status}).")
endif()

string(REGEX MATCHALL "Asyncify [a-z]+list contained [^\n]*" stale "${warned}")
if(stale)
    set(reasons "")
    foreach(line IN LISTS stale)
        string(REGEX REPLACE "^Asyncify [a-z]+list contained ([^:]*): (.*) \\([^ ]*\\)$" "\\2|\\1" line "${line}")
        string(REPLACE "|" ";" line "${line}")
        list(GET line 0 name)
        list(GET line 1 why)
        # As the list writes a space.
        string(REPLACE " " "." name "${name}")
        string(APPEND reasons "\n  ${name}, which is no function of the program (Binaryen: ${why})")
    endforeach()
    # What the link wrote would not wait where it must.
    string(REGEX REPLACE "\\.js$" ".wasm" module "${output}")
    file(REMOVE "${output}" "${module}")
    message(FATAL_ERROR "The list of the calls on the way to a wait (quaddle_waiting_calls) names${reasons}\n"
        "Another Emscripten or C++ library may have renamed it: the module's name section (a link "
        "with --profiling-funcs) has the names as they are now.")
endif()
