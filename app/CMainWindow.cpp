#include "CMainWindow.h"

CMainWindow::CMainWindow(QWidget* parent) : QMainWindow(parent) {
    resize(900, 640);
    UpdateTitle();
}

void CMainWindow::UpdateTitle() { setWindowTitle("Varnel [  ] "); }
