# bench_render: the renderer's start points and steps per second, one thread and all cores.
add_executable(bench_render ${CMAKE_CURRENT_LIST_DIR}/render.cpp)
target_link_libraries(bench_render PRIVATE velmora_renderer)
