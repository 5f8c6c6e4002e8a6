#include "services/HtmlHelp.h"

#include <utility>

namespace {
CString& HelpName() {
    static CString name;
    return name;
}
HelpViewer& Viewer() {
    static HelpViewer viewer;
    return viewer;
}
} // namespace

void SetHelpName(const CString& name) {
    HelpName() = name;
}

CString GetHelpName() {
    return HelpName();
}

void SetHelpViewer(HelpViewer viewer) {
    Viewer() = std::move(viewer);
}

CString ShowHtmlHelp(QWidget* window, const CString& topic) {
    CString text = HelpName() + "::/" + topic;
    if (Viewer())
        Viewer()(window, HelpName(), topic);
    return text;
}
