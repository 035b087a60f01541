include(CMakePackageConfigHelpers)

install(TARGETS koa_dev koa_dev_lvhost
    EXPORT koa_devTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY include/koa_dev lvhost/include/koa_dev
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(KOA_DEV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/koa_dev)
install(EXPORT koa_devTargets NAMESPACE koa_dev:: DESTINATION ${KOA_DEV_CMAKE_DIR})
configure_package_config_file(cmake/koa_devConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/koa_devConfig.cmake
    INSTALL_DESTINATION ${KOA_DEV_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/koa_devConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/koa_devConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/koa_devConfigVersion.cmake
    cmake/KoaDevVersionInfo.cmake
    cmake/version_res_writer.cpp
    DESTINATION ${KOA_DEV_CMAKE_DIR})

# The tool, the documentation and, for Windows, the toolchain file that cross-builds a driver
# against this package from Linux (the one of the package's processor).
install(TARGETS koa-dev RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md")
if(WIN32)
    string(REGEX REPLACE "-.*" "" processor ${KOA_DEV_MINGW_TRIPLET})
    install(FILES cmake/toolchain-mingw-${processor}.cmake cmake/mingw-common.cmake
        DESTINATION ${KOA_DEV_CMAKE_DIR})
endif()
