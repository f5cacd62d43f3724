# bench_window: a complete default run of the main window, offscreen, on a 1024 x 700 client area.
qt_add_executable(bench_window ${CMAKE_CURRENT_LIST_DIR}/window.cpp)
target_link_libraries(bench_window PRIVATE velmora_mainwindow)
target_compile_definitions(bench_window PRIVATE
    VELMORA_BENCH_SCREEN="${PROJECT_SOURCE_DIR}/tests/ui/mainwindow/screen-1024x700.json"
    VELMORA_BENCH_FONTS="/usr/share/fonts/truetype/liberation")
