# Compares the symbols a built library exports with expected_exports.txt: every export must match
# one of its patterns (no internal helper leaks out) and every pattern must match an export
# (nothing of the API is missing).
#   -DFORMAT=elf|pe -DTOOL=<nm or objdump> [-DDEMANGLER=<c++filt>] -DLIBRARY=<file> -DEXPECTED=<file>

if(FORMAT STREQUAL "elf")
    execute_process(COMMAND ${TOOL} -D --defined-only -C --format=posix ${LIBRARY}
        OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE " [A-Za-z] [0-9a-f]+( [0-9a-f]+)?\n" "\n" listing "${listing}")
else()
    execute_process(COMMAND ${TOOL} -p ${LIBRARY} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([^\n]+\n)*" table "${dump}")
    string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${table}")
    set(mangled "")
    foreach(row IN LISTS rows)
        string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${row}")
        string(APPEND mangled "${name}\n")
    endforeach()
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/exports.mangled "${mangled}")
    execute_process(COMMAND ${DEMANGLER} -n INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/exports.mangled
        OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
endif()

string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" symbols "${listing}")
list(FILTER symbols EXCLUDE REGEX "^$")
# Symbols every ELF shared library defines, and the standard library's template instances, which
# libstdc++ declares with default visibility so that every module shares one copy.
list(FILTER symbols EXCLUDE REGEX "^(_init|_fini|_edata|_end|__bss_start)$")
# AddressSanitizer's one-definition-rule markers in instrumented builds.
list(FILTER symbols EXCLUDE REGEX "^__odr_asan")
list(FILTER symbols EXCLUDE REGEX "^((vtable|typeinfo|typeinfo name|guard variable) for )?([A-Za-z_ ]+[*&]* )?(std|__gnu_cxx)::")

file(STRINGS ${EXPECTED} patterns REGEX "^[^#]")
list(LENGTH symbols count)
message(STATUS "${count} exported symbols")

set(failed FALSE)
foreach(symbol IN LISTS symbols)
    set(matched FALSE)
    foreach(pattern IN LISTS patterns)
        if(symbol MATCHES "${pattern}")
            set(matched TRUE)
            break()
        endif()
    endforeach()
    if(NOT matched)
        message(SEND_ERROR "unexpected export: ${symbol}")
        set(failed TRUE)
    endif()
endforeach()
foreach(pattern IN LISTS patterns)
    set(found FALSE)
    foreach(symbol IN LISTS symbols)
        if(symbol MATCHES "${pattern}")
            set(found TRUE)
            break()
        endif()
    endforeach()
    if(NOT found)
        message(SEND_ERROR "missing export: ${pattern}")
        set(failed TRUE)
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "the exports of ${LIBRARY} differ from ${EXPECTED}")
endif()
