# Build settings shared by every target of the project.

# Warnings are errors on the project's own code (third-party code built alongside is exempt).
function(koa_dev_strict_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Hidden by default: only what carries KOA_DEV_API leaves a shared library.
function(koa_dev_hidden_visibility target)
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        C_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        POSITION_INDEPENDENT_CODE ON)
endfunction()

# Debug builds, and builds that name no type, check the standard library's preconditions (an
# index within a vector, a non-empty container's front...): a read past a container stops the
# test that caused it. Release packages are built without.
if(NOT CMAKE_BUILD_TYPE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

if(WIN32)
    # MinGW names DLLs libX.dll by default; the product is koa_dev.dll.
    set(CMAKE_SHARED_LIBRARY_PREFIX "")
endif()

# KOA_DEV_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the test that caused it.
option(KOA_DEV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KOA_DEV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# KOA_DEV_FUZZ=ON instruments everything for libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer; only the fuzz targets link the fuzzer's main.
if(KOA_DEV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KOA_DEV_FUZZ needs clang (e.g. CXX=clang++ CC=clang)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()

# KOA_DEV_LV_PACKED=ON lays LabVIEW's records out 1-byte packed, as the 32-bit Windows runtime
# does, on another 32-bit target: a test build that runs every conversion against the product's
# record layout where its tests run reliably. The layout is part of the library's interface, so
# the targets that consumers link carry it too (koa_dev_lv_layout).
option(KOA_DEV_LV_PACKED "Lay out LabVIEW records 1-byte packed, as on 32-bit Windows" OFF)
if(KOA_DEV_LV_PACKED)
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
        message(FATAL_ERROR "KOA_DEV_LV_PACKED needs a 32-bit target, e.g. "
            "-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i386.cmake")
    endif()
    add_compile_definitions(KOA_LV_FORCE_PACKED)
endif()
function(koa_dev_lv_layout target)
    if(KOA_DEV_LV_PACKED)
        target_compile_definitions(${target} INTERFACE KOA_LV_FORCE_PACKED)
    endif()
endfunction()
