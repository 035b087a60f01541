# Writes a controller and a device project with koa-dev new, then configures, builds and (with
# -DRUN_TESTS=ON) tests each, warnings as errors, as a separate project. With -DSITE=ON as well,
# the tool then loads the two libraries on a site as a driver does: through their exports and
# version resources.
#   -DTOOL, -DEMULATOR (may be empty), -DPATH_PREFIX (how the tool sees WORK), -DWORK,
#   -DGENERATOR, -DMAKE_PROGRAM, -DOPTIONS (configure options: the package, a toolchain file, an
#   emulator), -DRUN_TESTS, -DSITE, -DMACHINE (of koa_dev.rsc), -DSUFFIX (of the built libraries),
#   -DTIMEOUT (seconds one run of the tool may take).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(dir "${PATH_PREFIX}${WORK}")

function(run_tool)
    execute_process(COMMAND ${EMULATOR} ${TOOL} ${ARGN} WORKING_DIRECTORY ${WORK} TIMEOUT ${TIMEOUT}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(REPLACE "\r" "" out "${out}${err}")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "koa-dev ${ARGN}: exit code ${rc}\n${out}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

set(test_command "")
if(RUN_TESTS)
    set(test_command --test-command ${CMAKE_CTEST_COMMAND} --output-on-failure)
endif()
foreach(kind IN ITEMS controller device)
    set(name new_${kind})
    # The device project goes to the default directory, ./NAME.
    set(project_dir ${dir}/${name})
    if(kind STREQUAL "device")
        set(project_dir "")
    endif()
    run_tool(new ${kind} ${name} ${project_dir})
    execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test ${WORK}/${name} ${WORK}/build
            --build-generator ${GENERATOR} --build-makeprogram ${MAKE_PROGRAM}
            --build-options -DCMAKE_COMPILE_WARNING_AS_ERROR=ON ${OPTIONS} ${test_command}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the new ${kind} project failed to build or pass its tests\n${out}${err}")
    endif()
    if(RUN_TESTS AND NOT out MATCHES "100% tests passed, 0 tests failed out of 1")
        message(FATAL_ERROR "the new ${kind} project's test did not run\n${out}")
    endif()
    file(COPY ${WORK}/build/bin/${name}${SUFFIX} DESTINATION ${WORK}/site/released)
    file(REMOVE_RECURSE ${WORK}/build)
endforeach()
if(NOT RUN_TESTS OR NOT SITE)
    return()
endif()

file(WRITE ${WORK}/site/controllers.txt "new_controller${SUFFIX} | COM1\n")
run_tool(rsc write ${dir}/site/koa_dev.rsc --machine ${MACHINE}
    RELEASED_DLL_PATH=${dir}/site/released/ FIRMWARE_PATH=${dir}/site/ PROFILE_PATH=${dir}/site/
    CONTROLLER_LIST_FILE=${dir}/site/controllers.txt
    REVISION_CHECK_FILE=${dir}/site/controllers.txt LOCAL_DLL_PATH=local/)
run_tool(--site ${dir}/site load-device "new_device${SUFFIX}|COM2")
set(expected "LoadControllerLibrary returned \"\"
VerifyDeviceSpecificDllVersion returned \"\"
LoadDeviceLibrary returned \"new_device ready \\(COM2\\)\"
status: no error\n")
if(NOT output MATCHES "^${expected}")
    message(FATAL_ERROR "the new libraries did not load on a site:\n${output}")
endif()
run_tool(--site ${dir}/site identify)
if(NOT output MATCHES "ID_Device returned \"new_controller device on COM1\"\nstatus: no error")
    message(FATAL_ERROR "the new controller library did not identify its device:\n${output}")
endif()
