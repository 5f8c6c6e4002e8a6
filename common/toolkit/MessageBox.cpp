#include "toolkit/MessageBox.h"

#include "QtText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <utility>
#include <vector>

namespace {
MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}

bool HasDisplay() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

std::vector<int> ButtonsOf(unsigned type) {
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

QMessageBox::StandardButton StandardButtonOf(int id) {
    switch (id) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDABORT:
        return QMessageBox::Abort;
    case IDRETRY:
        return QMessageBox::Retry;
    case IDIGNORE:
        return QMessageBox::Ignore;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int DialogHandler(const MessageRequest& request) {
    QMessageBox box(request.parent);
    box.setWindowTitle(ToQ(request.caption));
    box.setText(ToQ(request.text));
    switch (request.type & MB_ICONMASK) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    const std::vector<int> ids = ButtonsOf(request.type);
    for (int id : ids)
        box.addButton(StandardButtonOf(id));
    box.setDefaultButton(StandardButtonOf(DefaultAnswer(request.type)));
    const int pressed = box.exec();
    for (int id : ids)
        if (pressed == StandardButtonOf(id))
            return id;
    // Closing the box counts as Cancel where there is one, else as the default answer.
    for (int id : ids)
        if (id == IDCANCEL)
            return IDCANCEL;
    return DefaultAnswer(request.type);
}
} // namespace

int DefaultAnswer(unsigned type) {
    const std::vector<int> ids = ButtonsOf(type);
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
    return HasDisplay() ? DialogHandler(request) : ConsoleMessageHandler(request);
}

MessageHandler SetMessageHandler(MessageHandler handler) { return std::exchange(CurrentHandler(), std::move(handler)); }

bool MessagesAreInteractive() { return !CurrentHandler() && HasDisplay(); }
