# The browsers the browser build is tested in: Chromium, Firefox and WebKit,
# each through a small driver of its own (tests/support/engines), which also
# says what this machine lacks for it. Debian's own Python runs the drivers:
# its selenium module is Debian's python3-selenium.
#
# Sets QUADDLE_BROWSER_ENGINES to the engines that can run here, and defines
#   quaddle_add_browser_test(NAME PROGRAM TARGET [ENGINES ENGINE...]
#                            [OPTIONS RUNNER_OPTION...] [ARGS PROGRAM_ARG...])
# which runs a doctest program built for the browser on a test page, once an
# engine (all that can run, unless ENGINES names some), as NAME_ENGINE.
find_program(QUADDLE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
set(QUADDLE_BROWSER_ENGINES "")
set(report "")
if(QUADDLE_SYSTEM_PYTHON)
    execute_process(COMMAND ${QUADDLE_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/pagedriver.py
        OUTPUT_VARIABLE report ERROR_VARIABLE said RESULT_VARIABLE status)
    # A driver that cannot even say what it lacks would leave every browser
    # test out without a word.
    if(NOT status EQUAL 0)
        message(WARNING "Browser tests: ${CMAKE_CURRENT_LIST_DIR}/pagedriver.py ended with ${status}:\n${said}")
    endif()
else()
    message(STATUS "Browser tests: no /usr/bin/python3 to drive the browsers")
endif()
set(needs_chromium "Debian: chromium, chromium-driver, python3-selenium")
set(needs_firefox "Debian: firefox-esr, nodejs; npm: puppeteer-core, by scripts/install-deps.sh")
set(needs_webkit "Debian: webkit2gtk-driver, python3-selenium, xvfb")
set(title_chromium "Chromium")
set(title_firefox "Firefox ESR")
set(title_webkit "WebKitGTK")
foreach(engine chromium firefox webkit)
    set(have_${engine} OFF)
    if(report MATCHES "(^|\n)${engine} ok")
        set(have_${engine} ON)
        list(APPEND QUADDLE_BROWSER_ENGINES ${engine})
    elseif(report MATCHES "(^|\n)${engine} lacks ([^\n]*)")
        message(STATUS "Browser tests: ${title_${engine}} lacks ${CMAKE_MATCH_2}")
    endif()
    add_feature_info("${title_${engine}} tests" have_${engine}
        "the window tests and the real-browser test in ${title_${engine}} (${needs_${engine}})")
endforeach()

function(quaddle_add_browser_test name)
    cmake_parse_arguments(ARG "" "PROGRAM" "ENGINES;OPTIONS;ARGS" ${ARGN})
    if(NOT ARG_ENGINES)
        set(ARG_ENGINES ${QUADDLE_BROWSER_ENGINES})
    endif()
    foreach(engine IN LISTS ARG_ENGINES)
        if(NOT engine IN_LIST QUADDLE_BROWSER_ENGINES)
            continue()
        endif()
        add_test(NAME ${name}_${engine}
            COMMAND ${QUADDLE_SYSTEM_PYTHON} ${PROJECT_SOURCE_DIR}/tests/toolkit/web/runner.py
                    --engine ${engine} --site ${PROJECT_BINARY_DIR}/site
                    --stylesheet ${PROJECT_SOURCE_DIR}/ui/toolkit/web/quaddle.css ${ARG_OPTIONS}
                    -- $<TARGET_FILE:${ARG_PROGRAM}> --no-colors=true ${ARG_ARGS})
    endforeach()
endfunction()

if(QUADDLE_BROWSER_ENGINES AND TARGET quaddle_window_test_main)
    # Like a page's own: handlers that wait for the warning box; the test
    # cases' frames kept while a test waits, which takes more room than the
    # program's.
    target_link_options(quaddle_window_test_main PUBLIC -sENVIRONMENT=web -sASYNCIFY_STACK_SIZE=262144)
endif()
