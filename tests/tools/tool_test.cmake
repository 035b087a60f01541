# Runs koa-dev and checks its output and exit codes.
# -DTOOL, -DEMULATOR (may be empty), -DPATH_PREFIX (how the tool sees WORK), -DMACHINE, -DWORK,
# -DTIMEOUT (seconds one run of the tool may take), -DVERSION (the project's).
include(${CMAKE_CURRENT_LIST_DIR}/json_matches_text.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(dir "${PATH_PREFIX}${WORK}")

# Runs the tool with ARGN; checks the exit code and that stdout+stderr match the pattern.
function(expect code pattern)
    execute_process(COMMAND ${EMULATOR} ${TOOL} ${ARGN} TIMEOUT ${TIMEOUT}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(REPLACE "\r" "" text "${out}${err}")
    if(NOT rc STREQUAL code)
        message(SEND_ERROR "koa-dev ${ARGN}: exit code ${rc}, expected ${code}\n${text}")
    elseif(NOT text MATCHES "${pattern}")
        message(SEND_ERROR "koa-dev ${ARGN}: output does not match '${pattern}':\n${text}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

# Help, and commands that do not exist.
expect(0 "Usage: koa-dev \\[--site DIR\\] COMMAND.*Exit codes:.*\n  rsc show +Show.*\n  new device +Write"
    --help)
expect(0 "^koa-dev ${VERSION}\n$" --version)
expect(0 "Usage: koa-dev rsc COMMAND.*write.*show" rsc --help)
expect(0 "Usage: koa-dev rsc write FILE \\[--machine i386\\|x86-64\\] KEY=VALUE.*MENU_PATH \\(101\\)"
    rsc write --help)
expect(0 "Usage: koa-dev rsc show FILE \\[ID...\\]" rsc show -h)
expect(2 "Usage: koa-dev \\[--site DIR\\] COMMAND")
expect(2 "unknown command 'bogus'" bogus)
expect(2 "koa-dev rsc: unknown command 'read'" rsc read)

# Arguments that rsc write and show refuse.
expect(2 "no FILE given" rsc write)
expect(2 "unknown key 'RELEASED_PATH'" rsc write ${dir}/x.rsc RELEASED_PATH=a)
expect(2 "expected KEY=VALUE, got 'MENU_PATH'" rsc write ${dir}/x.rsc MENU_PATH)
expect(2 "key 'MENU_PATH' given twice" rsc write ${dir}/x.rsc MENU_PATH=a MENU_PATH=b)
expect(2 "unknown machine 'arm64'" rsc write ${dir}/x.rsc --machine arm64)
expect(2 "--machine needs a value" rsc write ${dir}/x.rsc --machine)
expect(2 "unknown option '--force'" rsc write ${dir}/x.rsc --force)
expect(2 "'12x' is not a string id" rsc show ${dir}/x.rsc 12x)
expect(2 "no FILE given" rsc show)
if(EXISTS ${WORK}/x.rsc)
    message(SEND_ERROR "a refused command wrote a file")
endif()
expect(1 "cannot write '${dir}/missing/x.rsc'" rsc write ${dir}/missing/x.rsc MENU_PATH=a)

# Files that are no library.
file(WRITE ${WORK}/text.rsc "RELEASED_DLL_PATH=C:/\n")
expect(1 "koa-dev rsc show: '${dir}/text.rsc' cannot be loaded as a library" rsc show ${dir}/text.rsc)
expect(1 "cannot be loaded as a library" rsc show ${dir}/missing.rsc)

# Written values read back, cut to 259 characters; keys not written are absent.
string(REPEAT "p" 300 long)
string(REPEAT "p" 259 kept)
expect(0 "^$" rsc write ${dir}/all.rsc --machine ${MACHINE}
    RELEASED_DLL_PATH=C:/Released/ FIRMWARE_PATH=D:/Firmware/ PROFILE_PATH=${long}
    CONTROLLER_LIST_FILE=list.txt "REVISION_CHECK_FILE=C:/Data/rev 2.txt" LOCAL_DLL_PATH=Libs/
    MENU_PATH=)
expect(0 "^RELEASED_DLL_PATH +1  \"C:/Released/\"
FIRMWARE_PATH +2  \"D:/Firmware/\"
PROFILE_PATH +3  \"${kept}\"
CONTROLLER_LIST_FILE +4  \"list.txt\"
REVISION_CHECK_FILE +5  \"C:/Data/rev 2.txt\"
LOCAL_DLL_PATH +100  \"Libs/\"
MENU_PATH +101  \\(absent\\)
$" rsc show ${dir}/all.rsc)
expect(0 "^ +0  \\(absent\\)\nFIRMWARE_PATH +2  \"D:/Firmware/\"\n +102  \\(absent\\)\n$"
    rsc show ${dir}/all.rsc 0 2 102)
expect(0 "" rsc write ${dir}/one.rsc --machine=${MACHINE} MENU_PATH=M)
expect(0 "RELEASED_DLL_PATH +1  \\(absent\\).*MENU_PATH +101  \"M\"" rsc show ${dir}/one.rsc)

# Version information of library files.
expect(0 "file version +2\\.0\\.0\\.0\n  product version +1\\.0\\.0\\.0\n  flags +0x00\n  build +release\n  Library = 'koa_dev\\.dll', Version = '2, 0, 0, 0'\n"
    version ${PATH_PREFIX}${LIBRARY})
expect(1 "no version information" version ${PATH_PREFIX}${LIBRARY} ${dir}/missing.dll)
expect(2 "no FILE given" version)
expect(2 "no FILE given" version --json)
expect(2 "unknown option '--jsn'" version --jsn ${PATH_PREFIX}${LIBRARY})

# The loaders on a site whose koa_dev.rsc lies beside the tool: list mode, identification,
# a device load, and the cluster of a failure.
get_filename_component(tool_dir ${TOOL} DIRECTORY)
file(MAKE_DIRECTORY ${WORK}/site/released ${WORK}/site/local)
file(GLOB fixtures ${SITE_FIXTURES}/*${SUFFIX})
file(COPY ${fixtures} DESTINATION ${WORK}/site/released)
file(COPY ${SITE_FIXTURES}/dev_full${SUFFIX} DESTINATION ${WORK}/site/local)
file(WRITE ${WORK}/site/list.txt "ctrl_fails${SUFFIX}\r\nctrl_full${SUFFIX} | port 2\r\n")
expect(0 "^$" rsc write ${PATH_PREFIX}${tool_dir}/koa_dev.rsc --machine ${MACHINE}
    RELEASED_DLL_PATH=${dir}/site/released/ FIRMWARE_PATH=F PROFILE_PATH=P
    CONTROLLER_LIST_FILE=${dir}/site/list.txt REVISION_CHECK_FILE=V LOCAL_DLL_PATH=${dir}/site/local/)
set(warning "Controller Library 'ctrl_full${SUFFIX}' is a Pre-Release Version!")
expect(0 "^LoadControllerLibrary returned \"Warning!!!    ${warning}\"
status: no error
code:   3
source: ${warning}\n$" connect)
expect(0 "\nID_Device returned \"ctrl_full device\"\nstatus: no error\n" identify)
expect(1 "\nID_Device returned \"ctrl_full device\"
status: error
code:   -1236
source: Unable to Identify Device\n$" identify --controller "ctrl_full${SUFFIX}|no device")
expect(0 "\nLoadDeviceLibrary returned \"dev_full ready: COM1\"\nstatus: no error"
    load-device "dev_full${SUFFIX} | COM1" --controller ctrl_full${SUFFIX})
expect(1 "^LoadControllerLibrary returned \"\"
status: error
code:   12
source: Controller Function 'VerifyControllerConnected' Not Found in DLL\n$"
    connect ctrl_no_verify${SUFFIX})
expect(2 "no SPEC given" load-device --controller x)
expect(0 "Usage: koa-dev identify \\[--controller SPEC\\].*list file" identify --help)

# info resolves and tests each configured path; after loads its version report covers them.
expect(0 "RELEASED_DLL_PATH +exists +${dir}/site/released/\n  FIRMWARE_PATH +missing +F\n.*LOCAL_DLL_PATH +exists +${dir}/site/local/\n.*Version information.*\nLibrary = 'ctrl_full', Version = '1, 2, 0, 0' \\(PRE-RELEASE\\)\nctrl_full version\nLibrary = 'dev_full'"
    info --controller=ctrl_full${SUFFIX} --device dev_full${SUFFIX})
# update copies the released copy; a name without one is error 13 and copies nothing.
file(REMOVE ${WORK}/site/local/dev_full${SUFFIX})
expect(0 "status: no error" update dev_full${SUFFIX})
if(NOT EXISTS ${WORK}/site/local/dev_full${SUFFIX})
    message(SEND_ERROR "update did not copy the released library")
endif()
expect(1 "code:   13\nsource: DLL 'nothing${SUFFIX}' was Not Found or is Invalid" update nothing${SUFFIX})
expect(2 "no NAME given" update)

# The JSON reports hold the facts of the text reports: a pre-release library beside the common
# library and a file without version information; the site after its loads.
set(files ${PATH_PREFIX}${LIBRARY} ${dir}/site/released/ctrl_full${SUFFIX} ${dir}/missing.dll)
expect(1 "" version ${files})
set(text "${last_output}")
expect(1 "" version --json ${files})
expect_version_json("${text}" "${last_output}" 3)
set(loads --controller=ctrl_full${SUFFIX} --device dev_full${SUFFIX})
expect(0 "" info ${loads})
set(text "${last_output}")
expect(0 "" info --json ${loads})
expect_info_json("${text}" "${last_output}")
file(REMOVE ${tool_dir}/koa_dev.rsc)
expect(1 "resource file +missing .*code:   13\nsource: Resource File 'koa_dev.rsc' Not Found" info)
set(text "${last_output}")
expect(1 "" info --json)
expect_info_json("${text}" "${last_output}")

# new writes a project only into an empty directory, for a name that can be a C identifier.
expect(2 "no NAME given" new device)
expect(2 "'9lives' is not a library name" new device 9lives)
expect(2 "'my-ctl' is not a library name" new controller my-ctl ${dir}/new)
expect(2 "unexpected argument 'x'" new controller ctl ${dir}/new x)
expect(1 "koa-dev new: '${dir}/site' is not empty" new controller ctl ${dir}/site)

# --site runs a copy of the tool placed in the site; the copy's output and exit code come back.
if(SITE_TEST)
    file(MAKE_DIRECTORY ${WORK}/site)
    expect(0 "Usage: koa-dev rsc COMMAND" --site ${dir}/site rsc --help)
    expect(2 "unknown command 'bogus'" rsc --site=${dir}/site bogus)
    expect(1 "--site '${dir}/nowhere' is not a directory" --site ${dir}/nowhere rsc)
    expect(2 "--site needs a directory" rsc --site)
    get_filename_component(tool_name ${TOOL} NAME)
    if(NOT EXISTS ${WORK}/site/${tool_name})
        message(SEND_ERROR "--site placed no copy of the tool in the site")
    endif()
endif()

# A site whose path is longer than the module name buffer (259 characters) has no host directory:
# koa_dev.rsc is not taken from the directory of the cut path, nor from the working directory,
# and no directory is created there. Linux only: Windows starts no program from a path this long.
if(SITE_TEST AND PATH_PREFIX STREQUAL "")
    string(REPEAT "d" 60 part)
    set(deep ${WORK}/deep/${part}/${part}/${part}/${part})
    get_filename_component(tool_name ${TOOL} NAME)
    string(SUBSTRING "${deep}/${tool_name}" 0 259 cut)
    get_filename_component(cut_parent "${cut}" DIRECTORY)
    file(MAKE_DIRECTORY ${deep} ${WORK}/cwd)
    foreach(planted ${cut_parent} ${WORK}/cwd)
        execute_process(COMMAND ${TOOL} rsc write ${planted}/koa_dev.rsc RELEASED_DLL_PATH=R/
            FIRMWARE_PATH=F PROFILE_PATH=P CONTROLLER_LIST_FILE=L REVISION_CHECK_FILE=V
            LOCAL_DLL_PATH=Local/)
    endforeach()
    execute_process(COMMAND ${TOOL} --site ${deep} info WORKING_DIRECTORY ${WORK}/cwd
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 1 OR NOT out MATCHES "code:   13\nsource: Resource File 'koa_dev.rsc' Not Found")
        message(SEND_ERROR "info in a site deeper than 259 characters: exit code ${rc}\n${out}${err}")
    endif()
    foreach(planted ${cut_parent} ${WORK}/cwd)
        if(EXISTS ${planted}/Local)
            message(SEND_ERROR "info in a deep site created ${planted}/Local")
        endif()
    endforeach()
endif()
