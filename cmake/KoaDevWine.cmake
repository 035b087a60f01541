# Runs the Windows test executables under Wine, in a Wine prefix inside the build tree.
#
# KOA_DEV_WINE_TESTS=ON registers them and fails the configuration when Wine cannot run this
# target's programs, so that a suite never quietly shrinks to nothing. It is on for 64-bit
# Windows. 32-bit programs need a 32-bit Wine, which on these x86_64 machines runs only through
# a user-mode emulator, slowly and not reliably enough for every run: they are run on request
# (scripts/wine32-tests.sh).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(default ON)
else()
    set(default OFF)
endif()
option(KOA_DEV_WINE_TESTS "Run the Windows tests under Wine; fail if Wine cannot run them"
    ${default})
set(KOA_DEV_RUN_TESTS OFF)
if(NOT KOA_DEV_WINE_TESTS)
    message(STATUS "Windows tests are built, not run (KOA_DEV_WINE_TESTS=OFF)")
    return()
endif()

# A 64-bit program runs under the 64-bit loader itself. The wine launcher would start the 32-bit
# loader first wherever 32-bit Wine is installed: much slower, and failing outright (exit 126)
# where the kernel cannot run that loader. 32-bit programs go through the launcher, which picks
# the 32-bit loader.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    find_program(KOA_DEV_WINE_LOADER NAMES wine64
        PATHS /usr/lib/wine /usr/lib64/wine /usr/lib/x86_64-linux-gnu/wine
            /opt/wine-stable/bin /opt/wine-devel/bin /opt/wine-staging/bin)
    set(KOA_DEV_WINELOADER ${KOA_DEV_WINE_LOADER})
else()
    find_program(KOA_DEV_WINE_LOADER NAMES wine)
    set(KOA_DEV_WINELOADER "")
endif()
get_filename_component(loader_dir "${KOA_DEV_WINE_LOADER}" DIRECTORY)
find_program(KOA_DEV_WINESERVER wineserver HINTS ${loader_dir})
if(NOT KOA_DEV_WINE_LOADER OR NOT KOA_DEV_WINESERVER)
    message(FATAL_ERROR "Wine (a loader for ${CMAKE_SYSTEM_PROCESSOR} programs and wineserver) "
        "was not found: install it, or pass -DKOA_DEV_WINE_TESTS=OFF to build without running "
        "the Windows tests")
endif()

# How long one test program may run, and one program that a test starts.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(timeouts 300 60)
else()
    set(timeouts 3600 600) # each start of a 32-bit program costs 35-55 s under the emulator
endif()
list(GET timeouts 0 test_timeout)
list(GET timeouts 1 program_timeout)
set(KOA_DEV_WINE_TEST_TIMEOUT ${test_timeout} CACHE STRING
    "Seconds a Windows test program may run under Wine")
set(KOA_DEV_PROGRAM_TIMEOUT ${program_timeout})

set(KOA_DEV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# The prefix's settings, imported in one run: no display (windows still work with the null
# driver), and a crash debugger that cannot start, so that a crash ends the program at once
# instead of leaving a debugger that holds the test's output open. Without a Debugger value Wine
# starts winedbg all the same; the Wow6432Node key is what 32-bit programs read.
set(aedebug "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug")
set(wow_aedebug "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug")
file(WRITE ${CMAKE_BINARY_DIR}/wine-settings.reg "REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
\"Graphics\"=\"null\"

[HKEY_LOCAL_MACHINE\\${aedebug}]
\"Debugger\"=\"no-crash-debugger\"

[HKEY_LOCAL_MACHINE\\${wow_aedebug}]
\"Debugger\"=\"no-crash-debugger\"
")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# A Wine that lacks the system libraries of the target's processor (32-bit programs under a
# 64-bit-only Wine) runs nothing and still exits 0. Only a program that really ran prints.
try_run(probe_run probe_compiled
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_probe.cpp
    RUN_OUTPUT_VARIABLE probe_output)
if(NOT (probe_compiled AND probe_run EQUAL 0 AND probe_output MATCHES "koa_dev probe ran"))
    message(FATAL_ERROR "${KOA_DEV_WINE_LOADER} does not run ${CMAKE_SYSTEM_PROCESSOR} programs "
        "(exit ${probe_run}, output '${probe_output}'): pass -DKOA_DEV_WINE_TESTS=OFF to build "
        "without running the Windows tests")
endif()
set(KOA_DEV_RUN_TESTS ON)
message(STATUS "Windows tests run under Wine (${KOA_DEV_WINE_LOADER})")
add_test(NAME wine_server_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start-server)
add_test(NAME wine_server_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop-server)
set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine_server
    TIMEOUT ${KOA_DEV_WINE_TEST_TIMEOUT})
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine_server)
