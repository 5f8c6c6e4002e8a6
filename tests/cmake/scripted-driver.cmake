# A scripted ODBC driver that lets session tests meet driver behaviour the SQLite and PostgreSQL drivers
# never show (values without a known length, messages with line breaks, other DBMS names).
find_path(VARNEL_ODBC_INCLUDE_DIR sql.h)
add_library(varnel_scripted_driver MODULE ${CMAKE_CURRENT_SOURCE_DIR}/drivers/ScriptedDriver.cpp)
target_include_directories(varnel_scripted_driver PRIVATE ${VARNEL_ODBC_INCLUDE_DIR})
set_target_properties(varnel_scripted_driver PROPERTIES AUTOMOC OFF PREFIX "lib"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/drivers)
if(TARGET stratum_tests)
    add_dependencies(stratum_tests varnel_scripted_driver)
    target_compile_definitions(stratum_tests PRIVATE
        VARNEL_SCRIPTED_DRIVER="$<TARGET_FILE:varnel_scripted_driver>")
endif()
