# quaddle_add_man_page(SOURCE): a man page template (NAME.1.in) filled in with
# the version and installed, compressed as Debian's policy asks.
function(quaddle_add_man_page source)
    get_filename_component(name ${source} NAME_WLE)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${name})
    configure_file(${source} ${page} @ONLY)
    if(NOT UNIX)
        return()
    endif()
    add_custom_command(OUTPUT ${page}.gz
        COMMAND gzip -9 -n -c ${page} > ${page}.gz
        DEPENDS ${page}
        COMMENT "Compressing ${name}")
    add_custom_target(man-${name} ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
