# varnel-run against isql and the sqlite3 shell on the benchmark table; run by bench/run-benchmarks.sh.
find_program(RUNNER_BENCH_ISQL isql)
find_program(RUNNER_BENCH_SQLITE3 sqlite3)
if(NOT RUNNER_BENCH_ISQL OR NOT RUNNER_BENCH_SQLITE3 OR NOT TARGET bench_data)
    message(STATUS "isql, sqlite3 or the benchmark data target missing: bench_runner is not set up")
    return()
endif()
add_custom_target(bench_runner
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/runner/compare-runner.sh ${CMAKE_BINARY_DIR}
    USES_TERMINAL
    COMMENT "varnel-run against isql and sqlite3 on 1 000 000 rows")
add_dependencies(bench_runner varnel-run bench_data)
