# Runs quaddle-solve once and checks what it does, the same on every platform:
#   PROGRAM     the program; EMULATOR runs it when cross-built (Wine)
#   ARGS        its arguments, separated by |
#   INPUT       a file for standard input (optional)
#   STATUS      the exit status expected
#   OUT_FILE    a file holding the standard output expected, or
#   OUT_SHA256  the SHA-256 of the standard output expected (long outputs)
#   ERR_REGEX   what standard error must match; without it, it must be empty
#   STDOUT      instead of a file, standard output is "full" (a disk with no
#               space left, /dev/full) or "closed"; nothing is read back
#   CRLF        ON where every line must end in CR LF (Windows)
#   NAME        names the files the outputs are kept in, in the working folder
#   WINE_PREFIX_SCRIPT  tests/windows/wineprefix.sh, where EMULATOR is Wine
# Outputs are compared with CR LF read as LF. They go through files, as an
# output variable would read CR LF as LF before this script sees it, and
# Wine's helper processes would hold a pipe open after the program ends.
string(REPLACE "|" ";" arguments "${ARGS}")
set(input_file /dev/null)
if(INPUT)
    set(input_file ${INPUT})
endif()
set(command ${EMULATOR} ${PROGRAM} ${arguments})
set(output_file ${NAME}.out)
if(STDOUT STREQUAL "full")
    set(output_file /dev/full)
elseif(STDOUT STREQUAL "closed")
    # execute_process cannot close a stream; the shell closes it and runs the
    # program.
    set(command sh -c "exec \"$@\" >&-" sh ${command})
elseif(STDOUT)
    message(FATAL_ERROR "STDOUT is full or closed, not ${STDOUT}")
endif()
file(WRITE ${NAME}.out "")
if(EMULATOR)
    # The last test's Wine server may still be shutting down, and a program
    # that meets it going ends at once: it is stopped, and gone, first.
    execute_process(COMMAND bash ${WINE_PREFIX_SCRIPT} stop RESULT_VARIABLE stopped)
    if(NOT stopped EQUAL 0)
        message(FATAL_ERROR "quaddle-solve ${ARGS}: the Wine server of the last test did not end")
    endif()
endif()
execute_process(COMMAND ${command}
    INPUT_FILE ${input_file}
    OUTPUT_FILE ${output_file}
    ERROR_FILE ${NAME}.err
    RESULT_VARIABLE status)
file(READ ${NAME}.out out)
file(READ ${NAME}.err err)

set(failures "")
if(NOT status STREQUAL STATUS)
    string(APPEND failures "exit status ${status}, expected ${STATUS}\n")
endif()

# CMake reads CR LF as LF even from a file, so line ends are checked on the
# bytes: a line feed (0a) must come after a carriage return (0d).
foreach(stream out err)
    if(CRLF)
        file(READ ${NAME}.${stream} bytes HEX)
        string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
        string(REPLACE "0d 0a " "" bytes "${bytes}")
        if(bytes MATCHES "(^| )0a ")
            string(APPEND failures "std${stream} has a line that does not end in CR LF\n")
        endif()
    endif()
    string(REPLACE "\r\n" "\n" ${stream} "${${stream}}")
endforeach()

if(OUT_FILE)
    file(READ ${OUT_FILE} expected)
    if(NOT out STREQUAL expected)
        string(APPEND failures "standard output:\n${out}\nexpected:\n${expected}\n")
    endif()
elseif(OUT_SHA256)
    string(SHA256 hash "${out}")
    if(NOT hash STREQUAL OUT_SHA256)
        string(LENGTH "${out}" length)
        string(APPEND failures "standard output (${length} bytes) has SHA-256 ${hash}\n")
    endif()
endif()

if(ERR_REGEX)
    if(NOT err MATCHES "${ERR_REGEX}")
        string(APPEND failures "standard error:\n${err}\ndoes not match ${ERR_REGEX}\n")
    endif()
elseif(NOT err STREQUAL "")
    string(APPEND failures "unexpected standard error:\n${err}\n")
endif()

if(failures)
    message(FATAL_ERROR "quaddle-solve ${ARGS}:\n${failures}")
endif()
