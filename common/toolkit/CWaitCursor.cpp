#include "toolkit/CWaitCursor.h"

#include <QApplication>

CWaitCursor::CWaitCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_Shown = true;
    }
}

CWaitCursor::~CWaitCursor() {
    if (m_Shown && QCoreApplication::instance())
        QApplication::restoreOverrideCursor();
}
