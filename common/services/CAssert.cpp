#include "services/CAssert.h"

#include "services/Desktop.h"
#include "toolkit/MessageBox.h"

int CAssert::DoModal(const CString& message, const CString& file, int line) {
    if (!MessagesAreInteractive() || !Desktop().faultDialog) {
        // Without a display (or under test) the failure goes the way of every other message.
        return ShowMessage("File: " + file + "\nLine: " + std::to_string(line) + "\n" + message, "ASSERT",
                           MB_OK | MB_ICONERROR);
    }
    return Desktop().faultDialog(message, file, line);
}
