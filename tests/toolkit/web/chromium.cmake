# The window tests in the browser: each program runs on a test page in
# headless Chromium, driven through WebDriver by Debian's own Python (whose
# selenium module Debian's python3-selenium provides).
find_program(QUADDLE_CHROMIUM chromium)
find_program(QUADDLE_CHROMEDRIVER chromedriver)
find_program(QUADDLE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(QUADDLE_SYSTEM_PYTHON)
    execute_process(COMMAND ${QUADDLE_SYSTEM_PYTHON} -c "import selenium"
        RESULT_VARIABLE no_selenium OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT QUADDLE_CHROMIUM OR NOT QUADDLE_CHROMEDRIVER OR NOT QUADDLE_SYSTEM_PYTHON OR no_selenium)
    message(STATUS "Chromium, chromedriver or python3-selenium not found: the window tests "
                   "are built, not run")
    return()
endif()

# Like a page's own: handlers that wait for the warning box; the test cases'
# frames kept while a test waits, which takes more room than the program's.
target_link_options(quaddle_window_test_main PUBLIC -sENVIRONMENT=web -sASYNCIFY_STACK_SIZE=262144)
set(QUADDLE_CHROMIUM_RUNNER ${QUADDLE_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/chromium.py
    --stylesheet ${PROJECT_SOURCE_DIR}/ui/toolkit/web/quaddle.css)
