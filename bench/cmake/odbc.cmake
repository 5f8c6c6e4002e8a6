# Reading a large SQLite table through the session against a bare driver-manager loop.
find_program(SQLITE3_PROGRAM sqlite3)
find_path(ODBC_INCLUDE_DIR sql.h)
find_library(ODBC_LIBRARY odbc)
if(NOT SQLITE3_PROGRAM OR NOT ODBC_INCLUDE_DIR OR NOT ODBC_LIBRARY)
    message(STATUS "sqlite3 or unixODBC development files not found: bench_odbc_read is not built")
    return()
endif()

# The data file is generated once into the build tree, by bench/run-benchmarks.sh (target bench_data)
# rather than by every build.
set(ODBC_BENCH_DATA ${CMAKE_BINARY_DIR}/bench/data/odbc-read.sqlite)
add_custom_command(OUTPUT ${ODBC_BENCH_DATA}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bench/data
    COMMAND ${CMAKE_COMMAND} -E rm -f ${ODBC_BENCH_DATA} ${ODBC_BENCH_DATA}.tmp
    COMMAND ${SQLITE3_PROGRAM} ${ODBC_BENCH_DATA}.tmp ".read ${CMAKE_CURRENT_SOURCE_DIR}/odbc/odbc-read-data.sql"
    COMMAND ${CMAKE_COMMAND} -E rename ${ODBC_BENCH_DATA}.tmp ${ODBC_BENCH_DATA}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/odbc/odbc-read-data.sql
    COMMENT "Generating the ODBC read benchmark table (1 000 000 rows)")
add_custom_target(bench_odbc_read_data DEPENDS ${ODBC_BENCH_DATA})
if(NOT TARGET bench_data)
    add_custom_target(bench_data)
endif()
add_dependencies(bench_data bench_odbc_read_data)

add_executable(bench_odbc_read ${CMAKE_CURRENT_SOURCE_DIR}/odbc/BenchOdbcRead.cpp ${CMAKE_CURRENT_SOURCE_DIR}/odbc/BareOdbcRead.cpp)
target_include_directories(bench_odbc_read PRIVATE ${ODBC_INCLUDE_DIR})
# The reference loop calls the driver manager directly; the session binds it at run time as always.
target_link_libraries(bench_odbc_read PRIVATE stratum benchmark::benchmark ${ODBC_LIBRARY})
target_compile_definitions(bench_odbc_read PRIVATE ODBC_BENCH_DATA="${ODBC_BENCH_DATA}")
set_target_properties(bench_odbc_read PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench AUTOMOC OFF)
