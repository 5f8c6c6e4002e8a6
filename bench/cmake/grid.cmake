# Result grid: memory of a filled grid, delimited-text export speed and painting of a large grid.
add_executable(bench_grid ${CMAKE_CURRENT_SOURCE_DIR}/grid/GridBench.cpp)
target_link_libraries(bench_grid PRIVATE common_widgets benchmark::benchmark)
set_target_properties(bench_grid PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
