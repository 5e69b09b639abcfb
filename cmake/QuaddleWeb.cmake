# The browser build, with Emscripten's CMake toolchain: the gaps of the C++
# library it brings, the tools it runs while linking, and Node to run the
# tests that need no page.

# Debian's Emscripten ships a libc++ without std::bit_cast, the
# floating-point to_chars and from_chars, and <stop_token>.
add_compile_options("SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/../ui/toolkit/web/compat/libcxx.h"
    "SHELL:-isystem ${CMAKE_CURRENT_LIST_DIR}/../ui/toolkit/web/compat/include")

# The linker's JavaScript optimizer loads Debian's acorn, which Node looks for
# only where NODE_PATH says; Emscripten's scripts want the system's Python.
set(quaddle_emscripten_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
    EMSDK_PYTHON=/usr/bin/python3)
set(CMAKE_CXX_COMPILER_LAUNCHER ${quaddle_emscripten_env})
set(CMAKE_CXX_LINKER_LAUNCHER ${quaddle_emscripten_env})

# Node 18 and later have fetch(), which the generated loader then uses to
# read the .wasm, and which cannot read a file path: without it the loader
# reads the file itself.
find_program(QUADDLE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUADDLE_NODE} --no-experimental-fetch CACHE STRING
    "Runs the WebAssembly test programs that need no page" FORCE)

# Memory grows as a program needs it: the tests that keep every solution of
# every hand need more than the first 16 MiB.
add_link_options(-sALLOW_MEMORY_GROWTH)

# Asyncify instruments only the functions named in CALLS on the way to a call
# that waits (and what they call directly), as the module's name section
# names them, with '*' for any text and '.' for a space. The target's link
# fails where one of them is no function of the program (asyncify-link.cmake).
function(quaddle_waiting_calls target)
    set(calls ${ARGN})
    list(TRANSFORM calls PREPEND "\"")
    list(TRANSFORM calls APPEND "\"")
    list(JOIN calls ", " calls)
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}-waiting-calls.json)
    # Written only when it changes, which relinks the program.
    file(CONFIGURE OUTPUT ${list_file} CONTENT "[${calls}]\n")
    target_link_options(${target} PRIVATE -sASYNCIFY_IGNORE_INDIRECT -sASYNCIFY_ADD=@${list_file})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${list_file})
    set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
        "${CMAKE_COMMAND} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/asyncify-link.cmake --")
endfunction()
