# Removes the user's lock objects on Linux when a process of the other word size made them (the
# mutex file begins with "KOAM" and its maker's word size as a 32-bit little-endian number): this
# build's processes cannot share them, and the other build's tests are over.
#   -DWORD_BITS (32 or 64, this build's).
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
set(dir "/dev/shm/koa_dev-${uid}")
if(NOT EXISTS "${dir}/KOA_DEV Lock")
    return()
endif()
file(READ "${dir}/KOA_DEV Lock" header LIMIT 8 HEX)
math(EXPR mine "${WORD_BITS}" OUTPUT_FORMAT HEXADECIMAL)
string(SUBSTRING "${mine}" 2 -1 mine)
if(header MATCHES "^4b4f414d" AND NOT header STREQUAL "4b4f414d${mine}000000")
    message(STATUS "removing lock objects of the other word size in ${dir}")
    file(REMOVE "${dir}/KOA_DEV Lock" "${dir}/KOA_DEV Mem")
endif()
