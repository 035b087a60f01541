# Runs "rsc show" of the Linux build (which reads files itself) and of the Windows build under
# Wine (which reads them through LoadLibraryA and LoadStringA) on the same files: resource
# compiler output, writer output, damaged files and files that are no library. Both must print
# the same and exit alike; Windows prints in the ANSI code page, converted here.
# -DNATIVE, -DTOOL, -DDAMAGER, -DEMULATOR, -DFIXTURES (list), -DICONV, -DWORK, -DTIMEOUT (seconds
# one program run may take).
if(NOT NATIVE)
    message("skipped: set KOA_DEV_NATIVE_TOOL to a Linux build's koa-dev to compare with it")
    return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${EMULATOR} ${DAMAGER} Z:${WORK} TIMEOUT ${TIMEOUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "writing the damaged files failed: ${rc}")
endif()
string(REPEAT "w" 300 long)
execute_process(COMMAND ${NATIVE} rsc write ${WORK}/written.rsc --machine x86-64
        "RELEASED_DLL_PATH=C:\\Released\\" FIRMWARE_PATH=${long} "MENU_PATH=C:\\Menüs\\€\\"
        LOCAL_DLL_PATH=Libs\\ REVISION_CHECK_FILE=
    TIMEOUT ${TIMEOUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "koa-dev rsc write failed: ${rc}")
endif()

# Only files for this processor: loading another's is the loader's business.
file(GLOB files ${WORK}/*.rsc)
list(FILTER FIXTURES INCLUDE REGEX "-x86_64-[^/]*$")
list(APPEND files ${FIXTURES})
list(LENGTH files count)
if(count LESS 12)
    message(FATAL_ERROR "only ${count} files to compare: ${files}")
endif()
set(ids 0 1 2 3 4 5 6 15 16 17 99 100 101 102 111 160 176 192 208 4095 65535 65537 65637)
foreach(file ${files})
    execute_process(COMMAND ${NATIVE} rsc show ${file} ${ids} TIMEOUT ${TIMEOUT}
        RESULT_VARIABLE native_rc OUTPUT_VARIABLE native_out ERROR_VARIABLE native_err)
    execute_process(COMMAND ${EMULATOR} ${TOOL} rsc show Z:${file} ${ids} TIMEOUT ${TIMEOUT}
        RESULT_VARIABLE wine_rc OUTPUT_FILE ${WORK}/wine.out ERROR_VARIABLE wine_err)
    if(ICONV)
        execute_process(COMMAND ${ICONV} -f CP1252 -t UTF-8 INPUT_FILE ${WORK}/wine.out
            OUTPUT_VARIABLE wine_out)
    else()
        file(READ ${WORK}/wine.out wine_out)
    endif()
    string(REPLACE "\r" "" wine_out "${wine_out}")
    string(REPLACE "\r" "" wine_err "${wine_err}")
    string(REPLACE "Z:${file}" "${file}" wine_err "${wine_err}")
    if(NOT native_rc STREQUAL wine_rc OR NOT native_out STREQUAL wine_out
       OR NOT native_err STREQUAL wine_err)
        message(SEND_ERROR "${file}: Linux and Windows differ\n"
            "Linux (exit ${native_rc}):\n${native_out}${native_err}\n"
            "Windows (exit ${wine_rc}):\n${wine_out}${wine_err}")
    endif()
endforeach()
message(STATUS "${count} files read alike")
