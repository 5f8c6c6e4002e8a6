# Loading the 1 000 000 × 8 benchmark table into the result grid against the bare driver-manager loop,
# the loaded grid's memory, and delimited export of it.
find_path(LOADING_ODBC_INCLUDE_DIR sql.h)
find_library(LOADING_ODBC_LIBRARY odbc)
if(NOT LOADING_ODBC_INCLUDE_DIR OR NOT LOADING_ODBC_LIBRARY)
    message(STATUS "unixODBC development files not found: bench_loading is not built")
    return()
endif()
# The table is the one bench_data generates for the ODBC read benchmark.
set(LOADING_BENCH_DATA ${CMAKE_BINARY_DIR}/bench/data/odbc-read.sqlite)
add_executable(bench_loading ${CMAKE_CURRENT_SOURCE_DIR}/loading/BenchLoading.cpp ${CMAKE_CURRENT_SOURCE_DIR}/odbc/BareOdbcRead.cpp)
target_include_directories(bench_loading PRIVATE ${LOADING_ODBC_INCLUDE_DIR})
target_link_libraries(bench_loading PRIVATE stratum_widgets benchmark::benchmark ${LOADING_ODBC_LIBRARY})
target_compile_definitions(bench_loading PRIVATE ODBC_BENCH_DATA="${LOADING_BENCH_DATA}")
set_target_properties(bench_loading PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
