# Editor model: loading and colouring a large script, typing into it, replacing all occurrences.
add_executable(bench_editor_model ${CMAKE_CURRENT_SOURCE_DIR}/editor_model/EditorModelBench.cpp)
target_link_libraries(bench_editor_model PRIVATE common benchmark::benchmark)
set_target_properties(bench_editor_model PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
