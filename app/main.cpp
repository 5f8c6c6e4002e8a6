#include "CVarnelApp.h"
#include "grid/CExportFile.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("varnel %s\n", VARNEL_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: varnel [SCRIPT.sql]\n"
                    "Writes and runs SQL scripts against ODBC data sources.\n"
                    "The whole command line names one script file to open.\n\n"
                    "  --version  print the version and exit\n"
                    "  --help     print this text and exit\n");
        return 0;
    }
    // An export ended by a signal leaves no temporary file; a pipe whose reader went away fails the
    // export instead of ending the program with the user's unsaved script.
    CExportFile::RemoveTemporaryFilesOnSignals(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrak");
    QApplication::setApplicationName("Varnel");
    // The whole command line is one script path, blanks included.
    CString commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + CString(argv[i]);
    CVarnelApp program(QCoreApplication::applicationFilePath().toStdString(), commandLine);
    return program.Main();
}
