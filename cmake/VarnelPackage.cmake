# The Debian packages (`make package`): `varnel-run`, the headless runner with the core libraries, and
# `varnel`, the desktop program, which depends on it. Library dependencies come from dpkg-shlibdeps; the
# ODBC driver manager, its installer library and the SQLite driver are opened at run time, so they are
# named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Ostrak")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runner program)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ostrak Varnel team <varnel@ostrak.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.ostrak.com/varnel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private libraries are part of the packages; dpkg-shlibdeps must find them and not ask for a package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/common ${CMAKE_BINARY_DIR}/stratum)

set(CPACK_DEBIAN_RUNNER_PACKAGE_NAME varnel-run)
# Each package's description: its summary line, then the text, wrapped as Debian shows it.
set(CPACK_COMPONENT_RUNNER_DESCRIPTION "SQL script runner for ODBC databases
varnel-run runs SQL scripts against databases reached through ODBC data
sources from the command line and writes the result as delimited or
fixed-width text, SQL INSERT statements, XML, HTML or a spreadsheet
workbook. It needs no display and no desktop libraries, so it suits
servers and containers.")
set(CPACK_DEBIAN_RUNNER_PACKAGE_DEPENDS "libodbc2, libodbcinst2, libsqliteodbc")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME varnel)
set(CPACK_COMPONENT_PROGRAM_DEPENDS runner)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "SQL script editor and runner for ODBC databases
Varnel writes SQL scripts in a syntax-colouring editor and runs them
against databases reached through ODBC data sources. Results are shown in
a sortable grid and can be exported as text, SQL INSERT statements, XML,
HTML or a spreadsheet; the schema is shown as a tree, and a builder
composes statements from the catalog.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "libodbc2, libodbcinst2, libsqliteodbc")
# Qt draws the program's SVG icon through the plug-in of this package.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "libqt6svg6")
include(CPack)
