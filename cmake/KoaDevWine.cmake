# Runs the Windows test executables under Wine, in a Wine prefix inside the build tree.
find_program(KOA_DEV_WINE wine)
find_program(KOA_DEV_WINESERVER wineserver)
set(KOA_DEV_RUN_TESTS OFF)
if(NOT KOA_DEV_WINE OR NOT KOA_DEV_WINESERVER)
    message(STATUS "Wine not found: Windows tests are built but not run")
    return()
endif()

set(KOA_DEV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# A Wine that lacks the system libraries of the target's processor (32-bit programs under a
# 64-bit-only Wine) runs nothing and still exits 0. Only a program that really ran prints.
try_run(probe_run probe_compiled
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_probe.cpp
    RUN_OUTPUT_VARIABLE probe_output)
if(probe_compiled AND probe_run EQUAL 0 AND probe_output MATCHES "koa_dev probe ran")
    set(KOA_DEV_RUN_TESTS ON)
    message(STATUS "Windows tests run under Wine (${KOA_DEV_WINE})")
    add_test(NAME wine_server_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start-server)
    add_test(NAME wine_server_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop-server)
    set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine_server)
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine_server)
else()
    message(STATUS "This Wine cannot run ${CMAKE_SYSTEM_PROCESSOR} programs: tests are built, not run")
endif()
