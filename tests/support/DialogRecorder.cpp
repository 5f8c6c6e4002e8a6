#include "DialogRecorder.h"

namespace {
template <typename T> std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    std::optional<T> answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}
} // namespace

DialogRecorder::DialogRecorder() {
    StdDialogHandler handler;
    handler.file = [this](const FileDialogRequest& request) {
        m_FileRequests.push_back(request);
        return Next(m_Files);
    };
    handler.color = [this](QWidget*, unsigned) { return Next(m_Colors); };
    handler.font = [this](QWidget*, const QFont&) { return Next(m_Fonts); };
    handler.print = [this](QWidget*, QPrinter*) {
        ++m_PrintRequests;
        return m_PrintAccepted;
    };
    m_Previous = StdDialogs::SetHandler(std::move(handler));
}

DialogRecorder::~DialogRecorder() {
    StdDialogs::SetHandler(m_Previous);
}
