#include "toolkit/MessageBox.h"

#include "services/Desktop.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {
MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}
} // namespace

std::vector<int> MessageButtons(unsigned type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int DefaultAnswer(unsigned type) {
    const std::vector<int> ids = MessageButtons(type);
    size_t index = 0;
    if ((type & MB_DEFMASK) == MB_DEFBUTTON2)
        index = 1;
    else if ((type & MB_DEFMASK) == MB_DEFBUTTON3)
        index = 2;
    return index < ids.size() ? ids[index] : ids.front();
}

int ConsoleMessageHandler(const MessageRequest& request) {
    if (request.caption.empty())
        std::fprintf(stderr, "%s\n", request.text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
    return DefaultAnswer(request.type);
}

int ShowMessage(const CString& text, const CString& caption, unsigned type, QWidget* parent) {
    MessageRequest request{text, caption, type, parent};
    if (CurrentHandler())
        return CurrentHandler()(request);
    return DesktopHasDisplay() && Desktop().showMessage ? Desktop().showMessage(request)
                                                        : ConsoleMessageHandler(request);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

bool MessagesAreInteractive() {
    return !CurrentHandler() && DesktopHasDisplay() && Desktop().showMessage;
}
