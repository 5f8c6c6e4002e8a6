#include "MessageRecorder.h"

MessageRecorder::MessageRecorder() {
    m_Previous = SetMessageHandler([this](const MessageRequest& request) {
        m_Shown.push_back(request);
        if (m_Answers.empty())
            return DefaultAnswer(request.type);
        const int answer = m_Answers.front();
        m_Answers.pop_front();
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageHandler(m_Previous);
}

std::vector<CString> MessageRecorder::Texts() const {
    std::vector<CString> texts;
    for (const MessageRequest& r : m_Shown)
        texts.push_back(r.text);
    return texts;
}
