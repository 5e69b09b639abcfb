# Wine prefixes for the tests of the Windows build, made by
# tests/windows/wineprefix.sh inside the build tree.
#
# quaddle_wine_prefix(NAME [DPI n])
#   Adds the test wine_prefix_<NAME>, which makes or updates the prefix
#   <build>/wine/<NAME> at n DPI (96 unless given) and sets up the fixture
#   wine_<NAME>. Calling it again with the same NAME adds nothing, so every
#   folder of tests can ask for the prefix it needs.
# quaddle_wine_test(TEST PREFIX NAME)
#   Runs the test TEST in that prefix: it requires the fixture and gets
#   WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and QUADDLE_WINE (the loader) in
#   its environment. A shell script under the test can also source
#   tests/windows/wineprefix.sh for wine_run, wine_wait, wine_reg_value...
# QUADDLE_WINE_RUN
#   The command that runs a test program in the test's prefix, its output
#   passed on through files (see wineprefix.sh run): use it rather than the
#   emulator alone, as in
#     add_test(NAME t COMMAND ${QUADDLE_WINE_RUN} $<TARGET_FILE:t> args...)
# Both do nothing unless the build runs its programs under Wine.

if(WIN32 AND CMAKE_CROSSCOMPILING)
    add_feature_info("tests under Wine" CMAKE_CROSSCOMPILING_EMULATOR
        "the Windows build's tests, run under Wine (Debian: wine64)")
endif()

set(QUADDLE_WINE_PREFIX_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wineprefix.sh)
cmake_path(NORMAL_PATH QUADDLE_WINE_PREFIX_SCRIPT)
set(QUADDLE_WINE_RUN bash ${QUADDLE_WINE_PREFIX_SCRIPT} run)

function(quaddle_wine_prefix name)
    cmake_parse_arguments(ARG "" "DPI" "" ${ARGN})
    if(NOT (WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR))
        return()
    endif()
    if(NOT ARG_DPI)
        set(ARG_DPI 96)
    endif()
    get_property(made GLOBAL PROPERTY quaddle_wine_prefix_${name})
    if(made)
        if(NOT made STREQUAL ARG_DPI)
            message(FATAL_ERROR "Wine prefix ${name} asked for at ${ARG_DPI} DPI and at ${made}")
        endif()
        return()
    endif()
    set_property(GLOBAL PROPERTY quaddle_wine_prefix_${name} ${ARG_DPI})
    add_test(NAME wine_prefix_${name}
        COMMAND bash ${QUADDLE_WINE_PREFIX_SCRIPT} --dpi ${ARG_DPI} ${PROJECT_BINARY_DIR}/wine/${name})
    set_tests_properties(wine_prefix_${name} PROPERTIES FIXTURES_SETUP wine_${name}
        ENVIRONMENT "QUADDLE_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}")
endfunction()

function(quaddle_wine_test test)
    cmake_parse_arguments(ARG "" "PREFIX" "" ${ARGN})
    if(NOT (WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR))
        return()
    endif()
    get_property(made GLOBAL PROPERTY quaddle_wine_prefix_${ARG_PREFIX})
    if(NOT made)
        message(FATAL_ERROR "Test ${test} asks for the Wine prefix ${ARG_PREFIX}, which no "
                            "quaddle_wine_prefix() call made")
    endif()
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_${ARG_PREFIX})
    # The same as wineprefix.sh's wine_env; see there for why.
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "WINEPREFIX=${PROJECT_BINARY_DIR}/wine/${ARG_PREFIX}"
        "WINEDEBUG=-all"
        "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d"
        "QUADDLE_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}")
endfunction()
