# koa_dev_add_version_info(<target> FILE_VERSION a.b.c.d PRODUCT_VERSION a.b.c.d
#     [FLAGS DEBUG|PRERELEASE|PATCHED|PRIVATE|INFOINFERRED|SPECIAL ...]
#     STRINGS Name=Value... [LANGUAGE 0409] [CODEPAGE 04B0])
#
# Gives a library or program a Windows version resource. Windows targets get a resource script
# compiled by the resource compiler. Other targets get the same resource as a compiled resource
# file (.res), written by a small tool built from source here (so that no MinGW is needed), and
# embedded in the binary as the section ".koa_res" by an assembler .incbin: it needs no post-link
# step, survives strip, and is marked to be retained by --gc-sections (GNU as 2.36 or Clang 13).
# The target's property KOA_DEV_VERSION_RES names that .res file.
include_guard(GLOBAL)

set(_koa_dev_version_info_dir ${CMAKE_CURRENT_LIST_DIR})
if(WIN32 AND NOT CMAKE_RC_COMPILER_LOADED)
    enable_language(RC)
endif()

# Parses a.b.c.d (missing parts are 0) into a list of four numbers.
function(_koa_dev_version_parts text out)
    if(NOT text MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
        message(FATAL_ERROR "koa_dev_add_version_info: '${text}' is not a version a.b.c.d")
    endif()
    string(REPLACE "." ";" parts "${text}")
    list(LENGTH parts count)
    while(count LESS 4)
        list(APPEND parts 0)
        math(EXPR count "${count} + 1")
    endwhile()
    foreach(part IN LISTS parts)
        if(part GREATER 65535)
            message(FATAL_ERROR "koa_dev_add_version_info: '${text}' has a part above 65535")
        endif()
    endforeach()
    set(${out} "${parts}" PARENT_SCOPE)
endfunction()

function(_koa_dev_version_flags names out)
    set(bits DEBUG 1 PRERELEASE 2 PATCHED 4 PRIVATE 8 INFOINFERRED 16 SPECIAL 32)
    set(flags 0)
    foreach(name IN LISTS names)
        list(FIND bits ${name} at)
        if(at LESS 0)
            message(FATAL_ERROR "koa_dev_add_version_info: unknown flag '${name}'")
        endif()
        math(EXPR at "${at} + 1")
        list(GET bits ${at} bit)
        math(EXPR flags "${flags} | ${bit}")
    endforeach()
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

function(_koa_dev_hex4 text out)
    if(NOT text MATCHES "^[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]$")
        message(FATAL_ERROR "koa_dev_add_version_info: '${text}' is not four hex digits")
    endif()
    math(EXPR value "0x${text}")
    set(${out} ${value} PARENT_SCOPE)
endfunction()

# The resource script for the arguments of koa_dev_add_version_info (read from its scope).
function(_koa_dev_rc_script out)
    string(REPLACE ";" "," file_version "${file_version}")
    string(REPLACE ";" "," product_version "${product_version}")
    math(EXPR primary "${language} & 0x3FF")
    math(EXPR sub "${language} >> 10")
    string(TOLOWER "${arg_LANGUAGE}${arg_CODEPAGE}" block)
    set(values "")
    foreach(entry IN LISTS arg_STRINGS)
        string(FIND "${entry}" "=" equals)
        string(SUBSTRING "${entry}" 0 ${equals} name)
        math(EXPR equals "${equals} + 1")
        string(SUBSTRING "${entry}" ${equals} -1 value)
        string(REPLACE "\\" "\\\\" value "${value}")
        string(REPLACE "\"" "\"\"" value "${value}")
        string(APPEND values "            VALUE \"${name}\", \"${value}\"\n")
    endforeach()
    set(${out} "#pragma code_page(65001)
LANGUAGE ${primary}, ${sub}
1 VERSIONINFO
FILEVERSION ${file_version}
PRODUCTVERSION ${product_version}
FILEFLAGSMASK 0x3F
FILEFLAGS ${flags}
FILEOS 0x40004
FILETYPE ${file_type}
FILESUBTYPE 0
BEGIN
    BLOCK \"StringFileInfo\"
    BEGIN
        BLOCK \"${block}\"
        BEGIN
${values}        END
    END
    BLOCK \"VarFileInfo\"
    BEGIN
        VALUE \"Translation\", ${language}, ${codepage}
    END
END
" PARENT_SCOPE)
endfunction()

# The .res file: written by the resource compiler when cross-compiling and one is found, else by
# the writer built here (run on the build machine, or through the cross-compiling emulator).
function(_koa_dev_write_res target dir res)
    if(CMAKE_CROSSCOMPILING)
        find_program(KOA_DEV_VERSION_WINDRES NAMES windres x86_64-w64-mingw32-windres)
    endif()
    if(KOA_DEV_VERSION_WINDRES)
        _koa_dev_rc_script(script)
        file(GENERATE OUTPUT ${dir}/version.rc CONTENT "${script}")
        set(command ${KOA_DEV_VERSION_WINDRES} -O res -i ${dir}/version.rc -o ${res})
        set(input ${dir}/version.rc)
    else()
        if(NOT TARGET koa_dev_version_res_writer)
            add_executable(koa_dev_version_res_writer
                ${_koa_dev_version_info_dir}/version_res_writer.cpp)
            set_target_properties(koa_dev_version_res_writer PROPERTIES CXX_STANDARD 17)
        endif()
        list(JOIN file_version " " file_words)
        list(JOIN product_version " " product_words)
        set(description "FILE_VERSION ${file_words}\nPRODUCT_VERSION ${product_words}\nFLAGS ${flags}")
        string(APPEND description "\nFILE_TYPE ${file_type}\nLANGUAGE ${language}\nCODEPAGE ${codepage}")
        foreach(entry IN LISTS arg_STRINGS)
            string(APPEND description "\nSTRING ${entry}")
        endforeach()
        file(GENERATE OUTPUT ${dir}/version.txt CONTENT "${description}\n")
        set(command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:koa_dev_version_res_writer>
            ${dir}/version.txt ${res})
        set(input ${dir}/version.txt koa_dev_version_res_writer)
    endif()
    add_custom_command(OUTPUT ${res}
        COMMAND ${command}
        DEPENDS ${input}
        COMMENT "Writing the version resource of ${target}"
        VERBATIM)
endfunction()

function(_koa_dev_embed_res target dir)
    set(res ${dir}/version.res)
    _koa_dev_write_res(${target} ${dir} ${res})
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if("CXX" IN_LIST languages)
        set(source ${dir}/version_res.cpp)
    else()
        set(source ${dir}/version_res.c)
    endif()
    file(GENERATE OUTPUT ${source} CONTENT "/* The version resource, as the section .koa_res. */
__asm__(\".pushsection .koa_res,\\\"aR\\\"\\n.balign 4\\n.incbin \\\"${res}\\\"\\n.popsection\\n\");
")
    set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS ${res})
    set_source_files_properties(${res} PROPERTIES HEADER_FILE_ONLY ON)
    target_sources(${target} PRIVATE ${source} ${res})
    set_target_properties(${target} PROPERTIES KOA_DEV_VERSION_RES ${res})
endfunction()

function(koa_dev_add_version_info target)
    cmake_parse_arguments(PARSE_ARGV 1 arg ""
        "FILE_VERSION;PRODUCT_VERSION;LANGUAGE;CODEPAGE" "FLAGS;STRINGS")
    if(NOT TARGET ${target} OR NOT arg_FILE_VERSION OR NOT arg_PRODUCT_VERSION)
        message(FATAL_ERROR "koa_dev_add_version_info(<target> FILE_VERSION a.b.c.d "
            "PRODUCT_VERSION a.b.c.d [FLAGS ...] STRINGS Name=Value... [LANGUAGE 0409] "
            "[CODEPAGE 04B0])")
    endif()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "koa_dev_add_version_info: unexpected '${arg_UNPARSED_ARGUMENTS}'")
    endif()
    if(NOT arg_LANGUAGE)
        set(arg_LANGUAGE 0409)
    endif()
    if(NOT arg_CODEPAGE)
        set(arg_CODEPAGE 04B0)
    endif()
    foreach(entry IN LISTS arg_STRINGS)
        if(NOT entry MATCHES "^[^=\n]+=[^\n]*$")
            message(FATAL_ERROR "koa_dev_add_version_info: '${entry}' is not Name=Value")
        endif()
    endforeach()
    _koa_dev_version_parts(${arg_FILE_VERSION} file_version)
    _koa_dev_version_parts(${arg_PRODUCT_VERSION} product_version)
    _koa_dev_version_flags("${arg_FLAGS}" flags)
    _koa_dev_hex4(${arg_LANGUAGE} language)
    _koa_dev_hex4(${arg_CODEPAGE} codepage)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(file_type 1)
    elseif(type MATCHES "^(SHARED|MODULE)_LIBRARY$")
        set(file_type 2)
    else()
        set(file_type 0)
    endif()
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_version)
    if(WIN32)
        _koa_dev_rc_script(script)
        file(GENERATE OUTPUT ${dir}/version.rc CONTENT "${script}")
        target_sources(${target} PRIVATE ${dir}/version.rc)
    else()
        _koa_dev_embed_res(${target} ${dir})
    endif()
endfunction()
