// The one seam for the platform's file, print, colour and font dialogs. Tests replace the
// handler and answer each request without a modal window.
#pragma once

#include "CommonTypes.h"

#include <QFont>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

struct FileDialogRequest {
    QWidget* parent = nullptr;
    CString caption;
    CString directory; // folder, or a file path to preselect
    CString filter;    // Qt filter text, e.g. "SQL files (*.sql);;All files (*)"
    bool save = false;
};

struct StdDialogHandler {
    std::function<std::optional<CString>(const FileDialogRequest&)> file;
    // Colours are 0x00BBGGRR.
    std::function<std::optional<unsigned>(QWidget*, unsigned initial)> color;
    std::function<std::optional<QFont>(QWidget*, const QFont& initial)> font;
    // Returns true when the printer is set up and printing should go on.
    std::function<bool(QWidget*, QPrinter*)> print;
};

namespace StdDialogs {
std::optional<CString> OpenFile(QWidget* parent, const CString& caption, const CString& directory,
                                const CString& filter);
std::optional<CString> SaveFile(QWidget* parent, const CString& caption, const CString& directory,
                                const CString& filter);
std::optional<unsigned> ChooseColor(QWidget* parent, unsigned initial);
std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial);
bool SetupPrinter(QWidget* parent, QPrinter* printer);

// Replaces the handler (members left empty use the real dialogs); returns the previous one.
StdDialogHandler SetHandler(StdDialogHandler handler);
} // namespace StdDialogs
