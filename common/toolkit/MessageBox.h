// The one function through which every message box and question of the program passes.
// The handler can be replaced: tests queue answers and read what was shown. Without one, the
// desktop's message box shows it on a display; a program without a display writes messages to
// standard error and takes each question's default.
#pragma once

#include "CommonTypes.h"

#include <functional>
#include <vector>

class QWidget;

// Buttons, icons and default button, combined with '|'.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
};

// Answers.
enum { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct MessageRequest {
    CString text;
    CString caption;
    unsigned type = MB_OK;
    QWidget* parent = nullptr;
};

using MessageHandler = std::function<int(const MessageRequest&)>;

// Shows a message or asks a question; returns the answer (IDOK, IDYES, ...).
int ShowMessage(const CString& text, const CString& caption = "", unsigned type = MB_OK,
                QWidget* parent = nullptr);

// Replaces the handler; returns the previous one. An empty handler restores the default.
MessageHandler SetMessageHandler(MessageHandler handler);

// True while messages are shown as real message boxes on a display.
bool MessagesAreInteractive();

// The answers of a box's buttons, in the order they are shown.
std::vector<int> MessageButtons(unsigned type);

// The answer of the default button of a box of this type.
int DefaultAnswer(unsigned type);

// Writes the message to standard error and returns the default answer.
int ConsoleMessageHandler(const MessageRequest& request);
