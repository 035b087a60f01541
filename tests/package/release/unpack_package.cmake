# Makes one package with CPack and unpacks it into an empty directory as its user would: the
# Debian package with dpkg-deb -x, an archive with CMake's tar. WORK/sdk is then the package's
# installation prefix, from which the other checks build and run with nothing of the build tree.
#   -DCPACK, -DCONFIG (the build's CPackConfig.cmake), -DGENERATOR (DEB, TGZ or ZIP), -DWORK,
#   -DFILES (what the package must hold besides the headers, the CMake package and the docs),
#   -DOBJDUMP (Windows: the programs and libraries must not need the MinGW runtime DLLs).
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -G ${GENERATOR} -B ${WORK}/out
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB package ${WORK}/out/*.deb ${WORK}/out/*.tar.gz ${WORK}/out/*.zip)
list(LENGTH package count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack -G ${GENERATOR} made ${count} packages (exit code ${rc})\n${out}${err}")
endif()

file(MAKE_DIRECTORY ${WORK}/root)
if(GENERATOR STREQUAL "DEB")
    execute_process(COMMAND dpkg-deb -x ${package} ${WORK}/root COMMAND_ERROR_IS_FATAL ANY)
    set(prefix ${WORK}/root/usr)
else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${package} WORKING_DIRECTORY ${WORK}/root
        COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB prefix ${WORK}/root/*)
endif()
file(RENAME ${prefix} ${WORK}/sdk)

foreach(file IN ITEMS include/koa_dev/koa_dev.h include/koa_dev/lvhost.h
        lib/cmake/koa_dev/koa_devConfig.cmake share/doc/koa_dev/README.md
        share/doc/koa_dev/writing-a-library.md ${FILES})
    if(NOT EXISTS ${WORK}/sdk/${file})
        message(SEND_ERROR "${package} holds no ${file}")
    endif()
endforeach()

if(OBJDUMP)
    file(GLOB binaries ${WORK}/sdk/bin/*.exe ${WORK}/sdk/bin/*.dll)
    foreach(binary IN LISTS binaries)
        execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
        if(dump MATCHES "DLL Name: (lib(gcc|stdc|winpthread)[^\n]*)")
            message(SEND_ERROR "${binary} needs ${CMAKE_MATCH_1}")
        endif()
    endforeach()
endif()
