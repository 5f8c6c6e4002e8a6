# Tests of the command-line companion: its classes directly, and the built program as a process.
varnel_test_runner(tools_tests tools LIBS varnel_run_core TOGETHER "CJsonWriter.*" "RunOptions.*" "CRunText.*")
if(TARGET tools_tests)
    add_dependencies(tools_tests varnel-run)
endif()
if(TARGET tools_tests AND XLSXWRITER_LIB)
    target_compile_definitions(tools_tests PRIVATE VARNEL_HAVE_XLSXWRITER=1)
endif()
# The scripted driver gives values no real driver delivers (a NUL inside a text).
if(TARGET tools_tests AND TARGET varnel_scripted_driver)
    add_dependencies(tools_tests varnel_scripted_driver)
    target_compile_definitions(tools_tests PRIVATE VARNEL_SCRIPTED_DRIVER="$<TARGET_FILE:varnel_scripted_driver>")
endif()
# The runner installs where there is no desktop: it must not load Qt's widgets, GUI, printing or D-Bus.
add_test(NAME VarnelRunIsHeadless
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-headless.sh $<TARGET_FILE:varnel-run>)
