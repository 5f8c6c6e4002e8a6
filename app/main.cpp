#include "CMainWindow.h"

#include "services/CLog.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrak");
    QApplication::setApplicationName("Varnel");
    CLog log;
    log.Begin("Ostrak Varnel");
    CMainWindow window;
    window.show();
    return app.exec();
}
