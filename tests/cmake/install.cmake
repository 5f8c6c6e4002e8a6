# The installed tree and the Debian package, checked as a user would meet them.
add_test(NAME InstallTree
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-install.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_INSTALL_BINDIR} ${VARNEL_LIBDIR} ${CMAKE_INSTALL_DATADIR} ${CMAKE_INSTALL_MANDIR}
            ${PROJECT_VERSION})
set_tests_properties(InstallTree PROPERTIES TIMEOUT 150 ENVIRONMENT "${VARNEL_TEST_ENV}")
