#include "toolkit/CWaitCursor.h"

#include "services/Desktop.h"

CWaitCursor::CWaitCursor() {
    if (Desktop().waitCursor) {
        Desktop().waitCursor(true);
        m_Shown = true;
    }
}

CWaitCursor::~CWaitCursor() {
    if (m_Shown && Desktop().waitCursor)
        Desktop().waitCursor(false);
}
