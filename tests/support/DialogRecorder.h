// Answers the file, colour, font and print dialogs during a test and records the requests.
#pragma once

#include "toolkit/StdDialogs.h"

#include <deque>
#include <optional>
#include <vector>

class DialogRecorder {
public:
    DialogRecorder();
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    // A file dialog answered with nullopt is cancelled; without an answer it is cancelled too.
    void QueueFile(std::optional<CString> path) { m_Files.push_back(std::move(path)); }
    void QueueColor(std::optional<unsigned> color) { m_Colors.push_back(color); }
    void QueueFont(std::optional<QFont> font) { m_Fonts.push_back(std::move(font)); }
    // Print requests are accepted unless told otherwise; the printer is left as the caller set it.
    void SetPrintAccepted(bool accepted) { m_PrintAccepted = accepted; }

    const std::vector<FileDialogRequest>& FileRequests() const { return m_FileRequests; }
    int PrintRequests() const { return m_PrintRequests; }

private:
    StdDialogHandler m_Previous;
    std::deque<std::optional<CString>> m_Files;
    std::deque<std::optional<unsigned>> m_Colors;
    std::deque<std::optional<QFont>> m_Fonts;
    std::vector<FileDialogRequest> m_FileRequests;
    bool m_PrintAccepted = true;
    int m_PrintRequests = 0;
};
