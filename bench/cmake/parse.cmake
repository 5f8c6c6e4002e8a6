# Speed of cutting generated scripts of 1, 10 and 100 MiB into statements.
add_executable(bench_parse ${CMAKE_CURRENT_SOURCE_DIR}/parse/bench_parse.cpp
                           ${CMAKE_CURRENT_SOURCE_DIR}/parse/ScriptGenerator.cpp)
target_include_directories(bench_parse PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/parse)
target_link_libraries(bench_parse PRIVATE common benchmark::benchmark)
set_target_properties(bench_parse PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
