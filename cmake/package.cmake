# The libraries people install. libbgi.a carries the objects of the platform
# as well, so that a program names one library; natively a shared libbgi
# stands beside it. Both are made of the objects of `bgi` and `platform`,
# compiled once. Installed with them: the two headers, bgi.pc for pkg-config
# and the CMake package BGI (targets BGI::bgi, BGI::bgi_static).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(bgi_package_objects $<TARGET_OBJECTS:bgi>)
# The headers that declare the library's C names, and those installed: the
# companions of DOS-era programs too (on Windows they wrap MinGW's own).
set(bgi_api_headers bgi.h graphics.h conio.h dos.h bios.h bgi_far.h)
list(TRANSFORM bgi_api_headers PREPEND include/ OUTPUT_VARIABLE bgi_installed_headers)
list(APPEND bgi_installed_headers include/bgi_colors.h)
if(WIN32)
    set(bgi_package_dependencies gdi32 user32 winmm)
    set(bgi_cmake_dependencies "")
    set(bgi_program_dependencies "")
    set(bgi_pc_requires_private "")
    set(bgi_pc_libs " -lgdi32 -luser32 -lwinmm")
    set(bgi_pc_libs_private "")
else()
    list(APPEND bgi_package_objects $<TARGET_OBJECTS:platform>)
    # Imported targets belong to the folder that found them: found again here.
    find_package(SDL2 REQUIRED)
    find_package(Freetype REQUIRED)
    find_package(Fontconfig REQUIRED)
    find_package(PNG REQUIRED)
    set(bgi_package_dependencies SDL2::SDL2 Freetype::Freetype Fontconfig::Fontconfig PNG::PNG)
    # What the programs get besides (pkg-config's Libs, the targets'
    # interface): the maths library, which DOS-era compilers linked without
    # being asked.
    set(bgi_program_dependencies m)
    set(bgi_cmake_dependencies "SDL2;Freetype;Fontconfig;PNG")
    set(bgi_pc_requires_private "sdl2 freetype2 fontconfig libpng")
    set(bgi_pc_libs " -lm")
    set(bgi_pc_libs_private "-lstdc++")
endif()
set(bgi_public_include $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
                       $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

add_library(bgi_static STATIC ${bgi_package_objects})
target_include_directories(bgi_static INTERFACE ${bgi_public_include})
target_link_libraries(bgi_static PRIVATE ${bgi_package_dependencies}
                      INTERFACE ${bgi_program_dependencies})
set_target_properties(bgi_static PROPERTIES OUTPUT_NAME bgi EXPORT_NAME bgi_static
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(bgi_installed_targets bgi_static)

# BGI::bgi is the library a program links by default: the shared one where
# there is one.
add_library(bgi_default INTERFACE)
set_target_properties(bgi_default PROPERTIES EXPORT_NAME bgi)

if(WIN32)
    target_link_libraries(bgi_default INTERFACE bgi_static)
else()
    # The shared library exports the C names the installed headers declare
    # and nothing else: its objects hide every other name, and the version
    # script below also keeps the standard library's template code and the
    # linker's own names local.
    set(api_names "")
    foreach(header IN LISTS bgi_api_headers)
        file(STRINGS ${PROJECT_SOURCE_DIR}/include/${header} api_lines
             REGEX "^(extern )?[a-z][^(;]*[ *][A-Za-z_0-9]+(\\(|[,;])")
        foreach(line IN LISTS api_lines)
            if(line MATCHES "^(static|typedef) ")
                continue()
            elseif(line MATCHES "^extern [a-z]+ ([^;]*);")
                string(REPLACE "," ";" globals "${CMAKE_MATCH_1}")
                foreach(name IN LISTS globals)
                    string(STRIP "${name}" name)
                    list(APPEND api_names "${name}")
                endforeach()
            elseif(line MATCHES "^[a-z][^(]*[ *]([A-Za-z_0-9]+)\\(")
                list(APPEND api_names "${CMAKE_MATCH_1}")
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES api_names)
    list(JOIN api_names ";\n    " api_list)
    set(version_script ${CMAKE_BINARY_DIR}/bgi.map)
    file(CONFIGURE OUTPUT ${version_script} CONTENT "{\n  global:\n    ${api_list};\n  local: *;\n};\n")

    add_library(bgi_shared SHARED ${bgi_package_objects})
    target_include_directories(bgi_shared INTERFACE ${bgi_public_include})
    target_link_libraries(bgi_shared PRIVATE ${bgi_package_dependencies}
                          INTERFACE ${bgi_program_dependencies})
    target_link_options(bgi_shared PRIVATE "LINKER:--version-script=${version_script}"
                        "LINKER:--no-undefined")
    set_target_properties(bgi_shared PROPERTIES OUTPUT_NAME bgi EXPORT_NAME bgi_shared
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib LINK_DEPENDS ${version_script}
        VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
    target_link_libraries(bgi_default INTERFACE bgi_shared)
    list(APPEND bgi_installed_targets bgi_shared)
endif()

install(TARGETS ${bgi_installed_targets} bgi_default EXPORT BGITargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${bgi_installed_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/bgi/examples
    FILES_MATCHING PATTERN "*.c")

set(bgi_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/BGI)
install(EXPORT BGITargets NAMESPACE BGI:: DESTINATION ${bgi_cmake_dir})
configure_file(cmake/BGIConfig.cmake.in ${CMAKE_BINARY_DIR}/BGIConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/BGIConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/BGIConfig.cmake ${CMAKE_BINARY_DIR}/BGIConfigVersion.cmake
    DESTINATION ${bgi_cmake_dir})

# bgi.pc names the prefix it is installed into, which `cmake --install
# --prefix` may choose after configuration: it is written at install time.
install(CODE "
    set(BGI_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(BGI_PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(BGI_PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    set(BGI_PC_VERSION \"${PROJECT_VERSION}\")
    set(BGI_PC_REQUIRES_PRIVATE \"${bgi_pc_requires_private}\")
    set(BGI_PC_LIBS \"${bgi_pc_libs}\")
    set(BGI_PC_LIBS_PRIVATE \"${bgi_pc_libs_private}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/cmake/bgi.pc.in\" \"${CMAKE_BINARY_DIR}/bgi.pc\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/bgi.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
