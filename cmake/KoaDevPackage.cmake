# The release packages, made by CPack from what the install rules put in place: on Windows an SDK
# archive (ZIP) for the build's processor; on Linux a Debian package and a .tar.gz. Every name
# carries the project version.

# The template site: koa_dev.rsc written by koa-dev, the directories it names, a sample controller
# list and the released common library. Its values are relative to the site directory. A Windows
# cross build writes koa_dev.rsc with the koa-dev of a Linux build; without one it has no site.
set(KOA_DEV_NATIVE_TOOL "" CACHE FILEPATH
    "koa-dev of a Linux build, which cross builds run where they cannot run their own")
set(site ${PROJECT_BINARY_DIR}/site)
set(KOA_DEV_SITE_TOOL "")
if(CMAKE_CROSSCOMPILING AND WIN32)
    if(KOA_DEV_NATIVE_TOOL)
        set(KOA_DEV_SITE_TOOL ${KOA_DEV_NATIVE_TOOL})
    else()
        message(STATUS "No KOA_DEV_NATIVE_TOOL: the package has no template site")
    endif()
else()
    set(KOA_DEV_SITE_TOOL ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:koa-dev>)
endif()

if(KOA_DEV_SITE_TOOL)
    if(WIN32)
        set(separator "\\")
        set(released_library koa_dev.dll)
    else()
        set(separator "/")
        set(released_library libkoa_dev.so)
    endif()
    set(machine x86-64)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(machine i386)
    endif()
    set(SUFFIX ${CMAKE_SHARED_LIBRARY_SUFFIX})
    configure_file(site/controllers.txt.in ${site}/controllers.txt @ONLY)
    file(WRITE ${site}/revision.txt "")
    add_custom_command(OUTPUT ${site}/koa_dev.rsc
        COMMAND ${KOA_DEV_SITE_TOOL} rsc write ${site}/koa_dev.rsc --machine ${machine}
            RELEASED_DLL_PATH=Released${separator} FIRMWARE_PATH=Firmware${separator}
            PROFILE_PATH=Profiles${separator} CONTROLLER_LIST_FILE=controllers.txt
            REVISION_CHECK_FILE=Menus${separator}revision.txt LOCAL_DLL_PATH=Local${separator}
        DEPENDS koa-dev
        COMMENT "Writing the template site's koa_dev.rsc"
        VERBATIM)
    add_custom_target(koa_dev_site ALL DEPENDS ${site}/koa_dev.rsc)

    set(destination ${CMAKE_INSTALL_DATADIR}/koa_dev/site)
    install(FILES ${site}/koa_dev.rsc ${site}/controllers.txt site/README.md
        DESTINATION ${destination})
    install(FILES ${site}/revision.txt DESTINATION ${destination}/Menus)
    install(FILES $<TARGET_FILE:koa_dev> DESTINATION ${destination}/Released
        RENAME ${released_library})
    foreach(directory IN ITEMS Local Firmware Profiles)
        install(DIRECTORY DESTINATION ${destination}/${directory})
    endforeach()
endif()

set(CPACK_PACKAGE_NAME koa_dev)
set(CPACK_PACKAGE_VENDOR koa_dev)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "koa_dev developers <koa-dev@localhost>" CACHE STRING
    "Maintainer named in the Debian package")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_VERBATIM_VARIABLES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    string(REGEX REPLACE "-.*" "" processor ${KOA_DEV_MINGW_TRIPLET})
    set(CPACK_SYSTEM_NAME windows-${processor})
else()
    set(CPACK_GENERATOR DEB TGZ)
    set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
    # Debian package names take no underscore.
    set(CPACK_DEBIAN_PACKAGE_NAME koa-dev)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION devel)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    if(CMAKE_CROSSCOMPILING)
        set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE i386)
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
    else()
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    endif()
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
include(CPack)
