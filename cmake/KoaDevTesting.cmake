# GoogleTest, and how test executables are registered with CTest on each target.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest's sources; build them with the target's compiler.
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
# Seconds one program that a test starts may run; the Windows build sets its own.
set(KOA_DEV_PROGRAM_TIMEOUT 60)
if(CMAKE_CROSSCOMPILING AND WIN32)
    include(KoaDevWine)
elseif(CMAKE_CROSSCOMPILING)
    include(KoaDevLinux32)
else()
    if(NOT TARGET GTest::gtest)
        find_package(GTest REQUIRED)
    endif()
    set(KOA_DEV_RUN_TESTS ON)
endif()

# Builds a GoogleTest executable and registers it where its tests can really run. Under Wine the
# whole executable is one CTest test: starting Wine once per test case would cost more than the
# tests themselves; those tests carry the label "wine", so that a run can tell how many ran.
# RESOURCE_LOCK <name> keeps its tests from running at the same time; FIXTURES_REQUIRED <name>
# runs the fixture's setup test first.
function(koa_dev_add_gtest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "RESOURCE_LOCK;FIXTURES_REQUIRED" "")
    add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE GTest::gtest)
    koa_dev_strict_warnings(${name})
    if(NOT KOA_DEV_RUN_TESTS)
        return()
    endif()
    if(CMAKE_CROSSCOMPILING AND WIN32)
        # A program Wine could not start also exits 0: only GoogleTest's summary of at least one passed
        # test counts as a pass.
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name} PROPERTIES
            FIXTURES_REQUIRED wine_server
            LABELS wine
            TIMEOUT ${KOA_DEV_WINE_TEST_TIMEOUT}
            PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [1-9][0-9]* test"
            FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
    else()
        set(properties "")
        if(arg_RESOURCE_LOCK)
            list(APPEND properties RESOURCE_LOCK ${arg_RESOURCE_LOCK})
        endif()
        if(arg_FIXTURES_REQUIRED)
            list(APPEND properties FIXTURES_REQUIRED ${arg_FIXTURES_REQUIRED})
        endif()
        if(properties)
            list(PREPEND properties PROPERTIES)
        endif()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${properties})
    endif()
endfunction()
