# Layers the build keeps.
#
# Every library puts src/ on its users' include path, so the compiler alone
# would let any library include any header. tabulon_layers() writes down, at
# configure time, which target owns each source file, which of our libraries
# each target links (directly or through others) and which of its headers a
# library offers to the others (its TABULON_PUBLIC property: folders or single
# headers under src/). The check_layers target, part of every build, then reads
# the #include lines of every file and fails the build when a file includes
#   - a header of a library its target does not link,
#   - another library's header that the library keeps private, or
#   - a system library's header (sqlite3, libgsf, libzip, libxml2, OpenSSL,
#     zlib, libdeflate, libemf2svg)
#     without linking that library itself: reports reach the database only
#     through the store, the workbook only through the host.
# Tests, benchmarks and fuzz targets are white-box and are not checked.

# The libraries whose headers are checked, by the link target that brings them.
set(TABULON_SYSTEM_HEADERS
    "sqlite3.h=PkgConfig::SQLITE3"
    "gsf/=PkgConfig::GSF"
    "zip.h=PkgConfig::LIBZIP"
    "libxml/=PkgConfig::LIBXML2"
    "openssl/=PkgConfig::LIBCRYPTO"
    "zlib.h=ZLIB::ZLIB"
    "libdeflate.h=PkgConfig::LIBDEFLATE"
    "emf2svg.h=Emf2Svg::Emf2Svg")

function(_tabulon_linked target out)
    set(seen "")
    set(todo ${target})
    while(todo)
        list(POP_FRONT todo t)
        get_target_property(libs ${t} LINK_LIBRARIES)
        if(NOT libs)
            continue()
        endif()
        foreach(lib IN LISTS libs)
            if(lib MATCHES "^tabulon" AND TARGET ${lib} AND NOT lib IN_LIST seen)
                list(APPEND seen ${lib})
                list(APPEND todo ${lib})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(tabulon_layers)
    set(src ${CMAKE_SOURCE_DIR}/src)
    set(rules "# Written by cmake/Layers.cmake; read by cmake/CheckLayers.cmake.\n")
    string(APPEND rules "set(SYSTEM_HEADERS \"${TABULON_SYSTEM_HEADERS}\")\n")
    foreach(target IN LISTS ARGN)
        get_target_property(dir ${target} SOURCE_DIR)
        get_target_property(sources ${target} SOURCES)
        set(files "")
        foreach(s IN LISTS sources)
            if(s MATCHES "\\.(cpp|h)$")
                cmake_path(ABSOLUTE_PATH s BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE abs)
                cmake_path(RELATIVE_PATH abs BASE_DIRECTORY ${src} OUTPUT_VARIABLE rel)
                list(APPEND files ${rel})
            endif()
        endforeach()
        _tabulon_linked(${target} linked)
        get_target_property(direct ${target} LINK_LIBRARIES)
        get_target_property(public ${target} TABULON_PUBLIC)
        if(NOT direct)
            set(direct "")
        endif()
        if(NOT public)
            set(public "")
        endif()
        string(APPEND rules "list(APPEND TARGETS ${target})\n"
                            "set(FILES_${target} \"${files}\")\n"
                            "set(LINKED_${target} \"${linked}\")\n"
                            "set(DIRECT_${target} \"${direct}\")\n"
                            "set(PUBLIC_${target} \"${public}\")\n")
    endforeach()
    file(WRITE ${CMAKE_BINARY_DIR}/layers.cmake "${rules}")
    add_custom_target(check_layers ALL
        COMMAND ${CMAKE_COMMAND} -DSRC=${src} -DRULES=${CMAKE_BINARY_DIR}/layers.cmake
                -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMENT "Checking the layers' includes"
        VERBATIM)
endfunction()
