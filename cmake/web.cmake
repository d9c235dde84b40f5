# The web page build, with emscripten (emcmake cmake ...): what the platform
# needs there that the desktop takes from the system, and how a program
# becomes a page.
#
# - FreeType: Debian's own source package, of the version the desktop uses,
#   compiled with emcc once into this build tree (bgi_web_freetype).
# - The font files our Fontconfig configuration resolves the BGI fonts' face
#   names to on the desktop (bgi_web_fonts), which a page fetches from the
#   folder bgi-fonts beside it, each the first time its program needs it.
# - bgi_web_page(target [ONE_FILE]): the program's output is target.html,
#   with its .js and .wasm beside it and the font files in bgi-fonts beside
#   them (one folder for all the pages of a folder); with ONE_FILE
#   everything is in target.html, the font files too, compressed.
#   bgi_web_gallery_page(target) puts a page in the gallery (web/ in the
#   build tree).
include(ExternalProject)

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(bgi_web_freetype_dir ${CMAKE_BINARY_DIR}/freetype)
ExternalProject_Add(freetype_web
    PREFIX ${bgi_web_freetype_dir}
    SOURCE_DIR ${bgi_web_freetype_dir}/source
    INSTALL_DIR ${bgi_web_freetype_dir}/install
    DOWNLOAD_COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/freetype_source.sh
        ${bgi_web_freetype_dir}/source
    UPDATE_COMMAND ""
    # Only the modules our text uses (cmake/freetype_modules.h).
    PATCH_COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/freetype_modules.h
        <SOURCE_DIR>/include/freetype/config/ftmodule.h
    # No compressed fonts, PNG glyphs or shaping.
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    BUILD_BYPRODUCTS ${bgi_web_freetype_dir}/install/lib/libfreetype.a
    LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
ExternalProject_Add_StepDependencies(freetype_web patch
    ${PROJECT_SOURCE_DIR}/cmake/freetype_modules.h)
file(MAKE_DIRECTORY ${bgi_web_freetype_dir}/install/include/freetype2)
add_library(bgi_web_freetype STATIC IMPORTED GLOBAL)
set_target_properties(bgi_web_freetype PROPERTIES
    IMPORTED_LOCATION ${bgi_web_freetype_dir}/install/lib/libfreetype.a
    INTERFACE_INCLUDE_DIRECTORIES ${bgi_web_freetype_dir}/install/include/freetype2)
add_dependencies(bgi_web_freetype freetype_web)

# The font files, by the names platform/src/gdi/font_files.cpp asks the page
# for: those the desktop's Fontconfig picks for the BGI fonts on Debian.
set(bgi_web_font_files
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf
    /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
    /usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
    /usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf
    /usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf)
foreach(file ${bgi_web_font_files})
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing: install the project's fonts (scripts/setup.sh web)")
    endif()
endforeach()

# Copies the font files into DIR/bgi-fonts, for the pages in DIR, by a
# target whose name goes to OUT (one target for each folder).
function(bgi_web_fonts_in dir out)
    file(RELATIVE_PATH folder ${CMAKE_BINARY_DIR} ${dir})
    if(folder STREQUAL "")
        set(folder build_tree)
    endif()
    string(MAKE_C_IDENTIFIER "bgi_web_fonts_in_${folder}" fonts_target)
    set(${out} ${fonts_target} PARENT_SCOPE)
    if(TARGET ${fonts_target})
        return()
    endif()
    set(copies "")
    foreach(file ${bgi_web_font_files})
        get_filename_component(name ${file} NAME)
        add_custom_command(OUTPUT ${dir}/bgi-fonts/${name}
            COMMAND ${CMAKE_COMMAND} -E copy ${file} ${dir}/bgi-fonts/${name} DEPENDS ${file})
        list(APPEND copies ${dir}/bgi-fonts/${name})
    endforeach()
    add_custom_target(${fonts_target} DEPENDS ${copies})
endfunction()

# bgi_web_fonts: the font files in bgi-fonts of the build tree (which
# scripts/web.sh copies beside its pages), and the script that carries them
# inside a one-file page.
bgi_web_fonts_in(${CMAKE_BINARY_DIR} bgi_web_fonts_folder_target)
set(bgi_web_fonts_script ${CMAKE_BINARY_DIR}/bgi-fonts.js)
add_custom_command(OUTPUT ${bgi_web_fonts_script}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/embed_fonts.py
        ${bgi_web_fonts_script} ${bgi_web_font_files}
    DEPENDS ${bgi_web_font_files} ${PROJECT_SOURCE_DIR}/cmake/embed_fonts.py VERBATIM)
add_custom_target(bgi_web_fonts ALL DEPENDS ${bgi_web_fonts_script})
add_dependencies(bgi_web_fonts ${bgi_web_fonts_folder_target})

# What a program that links the platform needs at its link: the wait that
# yields to the page (Asyncify, with the page's three waits), memory that grows
# with the pages, an end of the program that the page can tell, and the
# page's side of the display.
# Linked at -O2: -O3 takes twice as long (a minute a page on two cores) for
# the same size and no faster frames (docs/PERFORMANCE.md).
set(bgi_web_link_options
    -O2 -sASYNCIFY "-sASYNCIFY_IMPORTS=[bgi_page_wait,bgi_page_pause,bgi_page_font_load]"
    -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
    --js-library=${PROJECT_SOURCE_DIR}/platform/src/display/browser_page.js)

set(bgi_web_shell ${PROJECT_SOURCE_DIR}/web/shell.html)
function(bgi_web_page target)
    cmake_parse_arguments(PARSE_ARGV 1 page "ONE_FILE" "" "")
    set_target_properties(${target} PROPERTIES SUFFIX .html LINKER_LANGUAGE CXX
        LINK_DEPENDS "${bgi_web_shell};${PROJECT_SOURCE_DIR}/platform/src/display/browser_page.js")
    # The page is kept as written (emscripten's minifier call fails here).
    target_link_options(${target} PRIVATE --shell-file=${bgi_web_shell} -sMINIFY_HTML=0)
    if(page_ONE_FILE)
        target_link_options(${target} PRIVATE -sSINGLE_FILE=1 --pre-js=${bgi_web_fonts_script})
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${bgi_web_fonts_script})
        add_dependencies(${target} bgi_web_fonts)
    else()
        get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
        if(NOT dir)
            set(dir ${CMAKE_CURRENT_BINARY_DIR})
        endif()
        bgi_web_fonts_in(${dir} fonts_target)
        add_dependencies(${target} ${fonts_target})
    endif()
endfunction()

function(bgi_web_gallery_page target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/web)
    bgi_web_page(${target})
endfunction()
