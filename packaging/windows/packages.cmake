# The Windows packages: a .zip to unpack anywhere and an installer, both made
# by CPack (cpack in the build folder, or the "package" target). Included at
# the end of the top-level CMakeLists.txt, so that every program is known here
# whatever order the folders were added in.

# The windowed program goes next to quaddle-solve.exe, where the build has it.
if(TARGET quaddle)
    install(TARGETS quaddle RUNTIME DESTINATION .)
    set(CPACK_QUADDLE_PROGRAM quaddle.exe)
    set(readme_program "quaddle.exe is the Quaddle window; quaddle-solve.exe the same search in a\nterminal.")
else()
    set(CPACK_QUADDLE_PROGRAM "")
    set(readme_program "This build has no windowed program: quaddle-solve.exe is the search in a\nterminal.")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${PROJECT_BINARY_DIR}/packaging/windows/README.txt @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/windows/README.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_PACKAGE_NAME quaddle)
set(CPACK_PACKAGE_VENDOR ${QUADDLE_MAKER_NAME})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME quaddle-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${QUADDLE_APP_ID})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_QUADDLE_VERSION_FOUR ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
# The programs carry no symbols: a third of the size, and nothing a user needs.
set(CPACK_STRIP_FILES ON)
# The .zip is flat: the programs with their manual, licence and readme.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

set(CPACK_GENERATOR ZIP)
if(QUADDLE_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
endif()
# Our own NSIS.template.in, from this folder.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_NSIS_EXECUTABLE ${QUADDLE_MAKENSIS})
# The script is UTF-8 (it has Chinese in it), without a byte order mark.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS "-INPUTCHARSET UTF8")
set(CPACK_QUADDLE_COMMENT ${QUADDLE_COMMENT})
set(CPACK_QUADDLE_COMMENT_ZH_CN ${QUADDLE_COMMENT_ZH_CN})
# The shortcut to the every-solution window (quaddle.exe --every): its name,
# as the window's title has it in Chinese, and its tooltip.
set(CPACK_QUADDLE_EVERY_NAME "${PROJECT_NAME} - Every solution")
set(CPACK_QUADDLE_EVERY_NAME_ZH_CN "${PROJECT_NAME} 所有解法")
set(CPACK_QUADDLE_EVERY_COMMENT "Every way the cards of a hand make a target")
set(CPACK_QUADDLE_EVERY_COMMENT_ZH_CN "一手牌算出目标数的所有方法")
set(CPACK_NSIS_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_NSIS_DISPLAY_NAME ${PROJECT_NAME})
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/quaddle.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/icons/quaddle.ico)
set(CPACK_NSIS_URL_INFO_ABOUT ${PROJECT_HOMEPAGE_URL})
set(CPACK_NSIS_HELP_LINK ${PROJECT_HOMEPAGE_URL})
set(CPACK_NSIS_CONTACT ${QUADDLE_MAKER_EMAIL})
include(CPack)
