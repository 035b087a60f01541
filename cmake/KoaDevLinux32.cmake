# Runs 32-bit Linux test programs: natively where the kernel can, else under qemu-i386 (user mode,
# with the host's 32-bit libraries).
set(KOA_DEV_RUN_TESTS OFF)
set(probe ${CMAKE_BINARY_DIR}/koa_dev_probe)
try_compile(probe_compiled
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_probe.cpp
    COPY_FILE ${probe})
if(NOT probe_compiled)
    message(STATUS "32-bit probe did not build: tests not run")
    return()
endif()

# With qemu-i386 registered in binfmt_misc (scripts/wine32-tests.sh does so for 32-bit Wine) a
# program that seems to run natively runs under the emulator: then run it so explicitly, for the
# tests to know.
set(result 1)
set(binfmt "")
if(EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
    file(STRINGS /proc/sys/fs/binfmt_misc/qemu-i386 binfmt LIMIT_COUNT 1)
endif()
if(NOT binfmt STREQUAL "enabled")
    execute_process(COMMAND ${probe} OUTPUT_VARIABLE output RESULT_VARIABLE result ERROR_QUIET)
endif()
if(result EQUAL 0 AND output MATCHES "koa_dev probe ran")
    set(KOA_DEV_RUN_TESTS ON)
    return()
endif()

find_program(KOA_DEV_QEMU_I386 qemu-i386)
if(KOA_DEV_QEMU_I386)
    execute_process(COMMAND ${KOA_DEV_QEMU_I386} -L / ${probe}
        OUTPUT_VARIABLE output RESULT_VARIABLE result ERROR_QUIET)
endif()
if(result EQUAL 0 AND output MATCHES "koa_dev probe ran")
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KOA_DEV_QEMU_I386} -L /)
    set(KOA_DEV_RUN_TESTS ON)
    message(STATUS "32-bit tests run under ${KOA_DEV_QEMU_I386}")
else()
    message(STATUS "Neither this kernel nor qemu-i386 runs 32-bit programs: tests not run")
endif()
