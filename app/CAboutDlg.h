// The About box: the program's name, version and build date, and the web and mail addresses.
#pragma once

#include "CommonTypes.h"

#include <QDialog>

class CLog;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 100 };
    // Takes the version numbers from the program's log object.
    explicit CAboutDlg(const CLog& log, QWidget* parent = nullptr);

    // "Ostrak Varnel. Version 1.02.03  [Oct 10 2002]".
    static CString VersionLine(const CLog& log);
    // The build date as "Oct 10 2002" (no padding before a one-digit day).
    static CString BuildDate();
};
