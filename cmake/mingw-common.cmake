set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KOA_DEV_MINGW_TRIPLET})

# The -posix compilers have std::thread and std::mutex; the default win32 thread model has not.
set(CMAKE_C_COMPILER ${KOA_DEV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOA_DEV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KOA_DEV_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KOA_DEV_MINGW_TRIPLET})
# Installed beside a koa_dev package (<prefix>/lib/cmake/koa_dev), the toolchain lets
# find_package(koa_dev) find that package.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/koa_devConfig.cmake)
    get_filename_component(_koa_dev_prefix ${CMAKE_CURRENT_LIST_DIR}/../../.. ABSOLUTE)
    list(APPEND CMAKE_FIND_ROOT_PATH ${_koa_dev_prefix})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The MinGW runtime DLLs are not on a Windows machine's path (nor on Wine's): link them in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
