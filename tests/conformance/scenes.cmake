# The conformance scenes' sources, for every build that draws them (the
# desktop, Windows, and the web page's, tests/web).
set(conformance_scene_sources)
foreach(file scenes.cpp scenes_lines.cpp scenes_shapes.cpp scenes_arcs.cpp scenes_images.cpp
             scenes_text.cpp)
    list(APPEND conformance_scene_sources ${CMAKE_CURRENT_LIST_DIR}/${file})
endforeach()
