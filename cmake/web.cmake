# The web page build, with emscripten (emcmake cmake ...): what the platform
# needs there that the desktop takes from the system, and how a program
# becomes a page.
#
# - FreeType: Debian's own source package, of the version the desktop uses,
#   compiled with emcc once into this build tree (bgi_web_freetype).
# - The font files our Fontconfig configuration resolves the BGI fonts' face
#   names to on the desktop, embedded (bgi_web_faces).
# - bgi_web_page(target): the program's output is target.html, with its .js
#   and .wasm beside it; bgi_web_gallery_page(target) puts it in the gallery
#   (web/ in the build tree).
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
    # Only the font formats: no compressed fonts, PNG glyphs or shaping.
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    BUILD_BYPRODUCTS ${bgi_web_freetype_dir}/install/lib/libfreetype.a
    LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)
file(MAKE_DIRECTORY ${bgi_web_freetype_dir}/install/include/freetype2)
add_library(bgi_web_freetype STATIC IMPORTED GLOBAL)
set_target_properties(bgi_web_freetype PROPERTIES
    IMPORTED_LOCATION ${bgi_web_freetype_dir}/install/lib/libfreetype.a
    INTERFACE_INCLUDE_DIRECTORIES ${bgi_web_freetype_dir}/install/include/freetype2)
add_dependencies(bgi_web_freetype freetype_web)

# The faces, by the names platform/src/gdi/font_files.cpp gives them, and
# the files the desktop's Fontconfig picks for them on Debian.
set(bgi_web_faces
    dejavu_sans            /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    dejavu_sans_mono_bold  /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    liberation_serif       /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf
    liberation_sans        /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
    liberation_mono        /usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
    liberation_mono_bold   /usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf
    z003_medium_italic     /usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf)
set(bgi_web_face_sources "")
while(bgi_web_faces)
    list(POP_FRONT bgi_web_faces face file)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing: install the project's fonts (scripts/setup.sh web)")
    endif()
    set(source ${CMAKE_BINARY_DIR}/faces/${face}.cpp)
    add_custom_command(OUTPUT ${source}
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/embed_file.py ${face} ${file}
            ${source}
        DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/embed_file.py VERBATIM)
    list(APPEND bgi_web_face_sources ${source})
endwhile()
add_library(bgi_web_faces STATIC ${bgi_web_face_sources})
# Each file is one long string of its bytes.
target_compile_options(bgi_web_faces PRIVATE -Wno-overlength-strings)

# What a program that links the platform needs at its link: the wait that
# yields to the page (Asyncify, with the page's two waits), memory that grows
# with the pages, an end of the program that the page can tell, and the
# page's side of the display.
# Linked at -O2: -O3 takes twice as long (a minute a page on two cores) for
# the same size and no faster frames (docs/PERFORMANCE.md).
set(bgi_web_link_options
    -O2 -sASYNCIFY "-sASYNCIFY_IMPORTS=[bgi_page_wait,bgi_page_pause]" -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
    --js-library=${PROJECT_SOURCE_DIR}/platform/src/display/browser_page.js)

set(bgi_web_shell ${PROJECT_SOURCE_DIR}/web/shell.html)
function(bgi_web_page target)
    set_target_properties(${target} PROPERTIES SUFFIX .html LINKER_LANGUAGE CXX
        LINK_DEPENDS "${bgi_web_shell};${PROJECT_SOURCE_DIR}/platform/src/display/browser_page.js")
    # The page is kept as written (emscripten's minifier call fails here).
    target_link_options(${target} PRIVATE --shell-file=${bgi_web_shell} -sMINIFY_HTML=0)
endfunction()

function(bgi_web_gallery_page target)
    bgi_web_page(${target})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/web)
endfunction()
