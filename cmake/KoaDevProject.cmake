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
