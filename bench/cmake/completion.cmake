# Completion on a large catalog: each background read, and each keystroke with the list open.
add_executable(bench_completion ${CMAKE_CURRENT_SOURCE_DIR}/completion/BenchCompletion.cpp)
target_link_libraries(bench_completion PRIVATE stratum common_widgets benchmark::benchmark)
set_target_properties(bench_completion PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
