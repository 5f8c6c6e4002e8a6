# A scripted ODBC driver that lets session tests meet the DBMS families and driver behaviour the SQLite
# and PostgreSQL drivers never show; each data source configures it in odbc.ini and a script file.
find_path(VARNEL_ODBC_INCLUDE_DIR sql.h)
add_library(varnel_scripted_driver MODULE ${CMAKE_CURRENT_SOURCE_DIR}/drivers/ScriptedDriver.cpp)
target_include_directories(varnel_scripted_driver PRIVATE ${VARNEL_ODBC_INCLUDE_DIR})
find_library(VARNEL_ODBCINST_LIBRARY odbcinst REQUIRED)
target_link_libraries(varnel_scripted_driver PRIVATE ${VARNEL_ODBCINST_LIBRARY} ${CMAKE_DL_LIBS})
set_target_properties(varnel_scripted_driver PROPERTIES AUTOMOC OFF PREFIX "lib"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/drivers)
foreach(runner stratum_tests stratum_widgets_tests app_tests)
    if(TARGET ${runner})
        add_dependencies(${runner} varnel_scripted_driver)
        target_compile_definitions(${runner} PRIVATE
            VARNEL_SCRIPTED_DRIVER="$<TARGET_FILE:varnel_scripted_driver>")
    endif()
endforeach()
