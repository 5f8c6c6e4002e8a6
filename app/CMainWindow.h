// The program's main window: the mode pages, menu, toolbar and status bar.
#pragma once

#include <QMainWindow>

class CMainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainWindow(QWidget* parent = nullptr);

    // "Varnel [ <file> ] <connection>"
    void UpdateTitle();
};
