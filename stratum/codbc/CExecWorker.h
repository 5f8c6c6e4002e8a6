// The one worker thread of a session: it runs each job handed to it (a statement's execution, a first
// fetch) while the caller waits and keeps the user interface going, so a script of many statements
// does not start a thread per statement.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CExecWorker {
public:
    // Throws std::system_error when the thread cannot be started.
    CExecWorker();
    // Waits for the job in progress, then ends the thread.
    ~CExecWorker();
    CExecWorker(const CExecWorker&) = delete;
    CExecWorker& operator=(const CExecWorker&) = delete;

    // Hands the worker a job; the previous one must have ended.
    void Start(std::function<void()> job);
    // Waits at most `timeout` for the job to end; true when it has.
    bool WaitEnded(std::chrono::milliseconds timeout);

private:
    void Loop();

    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::function<void()> m_Job;
    bool m_HasJob = false;
    bool m_Ended = true;
    std::atomic<bool> m_Done{true}; // m_Ended, readable without the lock
    bool m_Stop = false;
    int m_Cpu = -1;             // the processor the worker was last kept to
    bool m_JustStarted = false; // no wait for the current job has slept yet
    std::thread m_Thread;
};
