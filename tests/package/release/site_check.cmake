# Runs koa-dev info on a package's template site, as its host program started in the site
# directory (its values are relative): the resource file and every configured value must exist
# and reading the configuration must give no error.
#   -DTOOL, -DEMULATOR (may be empty), -DPATH_PREFIX (how the tool sees SITE), -DSITE, -DTIMEOUT.
execute_process(COMMAND ${EMULATOR} ${TOOL} --site ${PATH_PREFIX}${SITE} info --json
    WORKING_DIRECTORY ${SITE} TIMEOUT ${TIMEOUT} RESULT_VARIABLE rc OUTPUT_VARIABLE json ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "koa-dev info on the template site: exit code ${rc}\n${json}${err}")
endif()
string(JSON state GET "${json}" resource_file state)
string(JSON status GET "${json}" configuration_cluster status)
if(NOT state STREQUAL "exists" OR status)
    message(SEND_ERROR "the template site's koa_dev.rsc is ${state}; reading it gave an error")
endif()
foreach(key IN ITEMS RELEASED_DLL_PATH FIRMWARE_PATH PROFILE_PATH CONTROLLER_LIST_FILE
        REVISION_CHECK_FILE LOCAL_DLL_PATH MENU_PATH)
    string(JSON state GET "${json}" configuration ${key} state)
    string(JSON value GET "${json}" configuration ${key} value)
    if(NOT state STREQUAL "exists")
        message(SEND_ERROR "${key} of the template site is ${state}: '${value}'")
    endif()
endforeach()
