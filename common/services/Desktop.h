// What the logic asks of the desktop: message boxes, the wait cursor, the clipboard, opening a file
// with its application and the internal-failure dialog. The widgets library installs the handlers;
// a program without them runs headless (messages go to standard error, the rest does nothing).
#pragma once

#include "CommonTypes.h"

#include <functional>

struct MessageRequest;

struct DesktopHandlers {
    // True while there is a display to show windows on.
    std::function<bool()> hasDisplay;
    // Shows a message box on the display; returns the answer.
    std::function<int(const MessageRequest&)> showMessage;
    // Shows (true) or takes back (false) one level of the wait cursor.
    std::function<void(bool)> waitCursor;
    std::function<void(const CString&)> copyText;
    // Opens a file with the desktop's application for it; false when none could.
    std::function<bool(const CString&)> openFile;
    // The modal internal-failure dialog; returns its result.
    std::function<int(const CString& message, const CString& file, int line)> faultDialog;
};

// Replaces the handlers; returns the previous ones.
DesktopHandlers SetDesktopHandlers(DesktopHandlers handlers);
const DesktopHandlers& Desktop();

// True when the desktop handlers are installed and a display is there.
bool DesktopHasDisplay();
