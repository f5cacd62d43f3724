# bench_core: the simulation core's cost per step, for step, trajectory and run separately.
add_executable(bench_core ${CMAKE_CURRENT_LIST_DIR}/core.cpp)
target_link_libraries(bench_core PRIVATE velmora_sim)
