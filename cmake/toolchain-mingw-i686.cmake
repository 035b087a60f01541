# 32-bit Windows, the product target: koa_dev.dll for 32-bit LabVIEW.
set(KOA_DEV_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
