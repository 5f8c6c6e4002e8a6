# Editor widget: painting a full window of coloured text, offscreen.
add_executable(bench_editor_widget ${CMAKE_CURRENT_SOURCE_DIR}/editor_widget/EditorWidgetBench.cpp)
target_link_libraries(bench_editor_widget PRIVATE common_widgets benchmark::benchmark)
set_target_properties(bench_editor_widget PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
