// Answers the program's message boxes during a test and records what was shown.
#pragma once

#include "toolkit/MessageBox.h"

#include <deque>
#include <vector>

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // Answers are used in order; without one a box gets its default answer.
    void QueueAnswer(int answer) { m_Answers.push_back(answer); }
    const std::vector<MessageRequest>& Shown() const { return m_Shown; }
    // Texts shown so far, in order.
    std::vector<CString> Texts() const;
    void Clear() { m_Shown.clear(); }

private:
    MessageHandler m_Previous;
    std::deque<int> m_Answers;
    std::vector<MessageRequest> m_Shown;
};
