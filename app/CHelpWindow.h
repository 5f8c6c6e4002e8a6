// The help window: shows the help pages shipped with the program, one topic at a time, with
// links between the pages.
#pragma once

#include "CommonTypes.h"

#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows a page ("editor.htm"); an empty or unknown topic shows the index page.
    void ShowTopic(const CString& topic);
    // The page shown now ("index.htm").
    CString CurrentTopic() const;
    QTextBrowser* Browser() const { return m_Browser; }

private:
    QTextBrowser* m_Browser;
};
