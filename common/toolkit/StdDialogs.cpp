#include "toolkit/StdDialogs.h"

#include "QtText.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace {
StdDialogHandler& Handler() {
    static StdDialogHandler handler;
    return handler;
}

std::optional<CString> RunFileDialog(const FileDialogRequest& request) {
    if (Handler().file)
        return Handler().file(request);
    const QString path = request.save
                             ? QFileDialog::getSaveFileName(request.parent, ToQ(request.caption),
                                                            ToQ(request.directory), ToQ(request.filter))
                             : QFileDialog::getOpenFileName(request.parent, ToQ(request.caption),
                                                            ToQ(request.directory), ToQ(request.filter));
    if (path.isEmpty())
        return std::nullopt;
    return FromQ(path);
}
} // namespace

namespace StdDialogs {
std::optional<CString> OpenFile(QWidget* parent, const CString& caption, const CString& directory,
                                const CString& filter) {
    return RunFileDialog({parent, caption, directory, filter, false});
}

std::optional<CString> SaveFile(QWidget* parent, const CString& caption, const CString& directory,
                                const CString& filter) {
    return RunFileDialog({parent, caption, directory, filter, true});
}

std::optional<unsigned> ChooseColor(QWidget* parent, unsigned initial) {
    if (Handler().color)
        return Handler().color(parent, initial);
    const QColor chosen =
        QColorDialog::getColor(QColor(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF), parent);
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<unsigned>(chosen.red()) | (static_cast<unsigned>(chosen.green()) << 8) |
           (static_cast<unsigned>(chosen.blue()) << 16);
}

std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) {
    if (Handler().font)
        return Handler().font(parent, initial);
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, initial, parent, QString(), QFontDialog::MonospacedFonts);
    if (!ok)
        return std::nullopt;
    return font;
}

bool SetupPrinter(QWidget* parent, QPrinter* printer) {
    if (Handler().print)
        return Handler().print(parent, printer);
    QPrintDialog dialog(printer, parent);
    // Offered is what the printing honours: page range, copies and a file as target; a selection
    // or "current page" is not.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

StdDialogHandler SetHandler(StdDialogHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}
} // namespace StdDialogs
