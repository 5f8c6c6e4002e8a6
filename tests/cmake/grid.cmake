# The grid tests read the workbooks of the spreadsheet export, which are zip archives.
find_package(ZLIB REQUIRED)
target_link_libraries(common_tests PRIVATE ZLIB::ZLIB)
if(XLSXWRITER_LIB)
    target_compile_definitions(common_tests PRIVATE VARNEL_HAVE_XLSXWRITER=1)
endif()
