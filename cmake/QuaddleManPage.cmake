# quaddle_add_man_page(SOURCE): a man page template (NAME.1.in) filled in with
# the version and installed: compressed, as Debian's policy asks, or on
# Windows as plain text (NAME.txt) beside the program.
if(WIN32)
    find_program(GROFF groff)
    add_feature_info("manuals as text" GROFF
        "the manual pages as plain text in the Windows packages (Debian: groff)")
endif()

function(quaddle_add_man_page source)
    get_filename_component(name ${source} NAME_WLE)
    get_filename_component(stem ${name} NAME_WLE)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${name})
    configure_file(${source} ${page} @ONLY)
    if(WIN32)
        if(NOT GROFF)
            return()
        endif()
        set(output ${CMAKE_CURRENT_BINARY_DIR}/${stem}.txt)
        add_custom_command(OUTPUT ${output}
            COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-u -P-o ${page} > ${output}
            DEPENDS ${page}
            COMMENT "Writing ${name} as text")
        add_custom_target(man-${name} ALL DEPENDS ${output})
        install(FILES ${output} DESTINATION .)
        return()
    endif()
    add_custom_command(OUTPUT ${page}.gz
        COMMAND gzip -9 -n -c ${page} > ${page}.gz
        DEPENDS ${page}
        COMMENT "Compressing ${name}")
    add_custom_target(man-${name} ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
