#include "codbc/CExecWorker.h"

#include <pthread.h>
#include <sched.h>

CExecWorker::CExecWorker() : m_Thread([this] { Loop(); }) {}

CExecWorker::~CExecWorker() {
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Changed.wait(lock, [this] { return m_Ended; });
        m_Stop = true;
    }
    m_Changed.notify_all();
    m_Thread.join();
}

void CExecWorker::Start(std::function<void()> job) {
    // The caller sleeps while the job runs: kept to the caller's processor, the worker is woken and
    // wakes the caller without a cross-processor wake-up, which costs far more than a short statement.
    const int cpu = sched_getcpu();
    if (cpu >= 0 && cpu != m_Cpu && cpu < CPU_SETSIZE) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        if (pthread_setaffinity_np(m_Thread.native_handle(), sizeof set, &set) == 0)
            m_Cpu = cpu;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Job = std::move(job);
        m_HasJob = true;
        m_Ended = false;
        m_Done.store(false, std::memory_order_relaxed);
    }
    m_JustStarted = true;
    m_Changed.notify_one();
}

bool CExecWorker::WaitEnded(std::chrono::milliseconds timeout) {
    // A short job ends while the caller gives its processor to the worker: then neither side sleeps
    // and nothing has to be woken. A longer one is awaited asleep.
    if (m_JustStarted) {
        m_JustStarted = false;
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
        do {
            for (int i = 0; i < 8; ++i) {
                if (m_Done.load(std::memory_order_acquire))
                    return true;
                sched_yield();
            }
        } while (std::chrono::steady_clock::now() < until);
    }
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, timeout, [this] { return m_Ended; });
}

void CExecWorker::Loop() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_HasJob || m_Stop; });
        if (m_Stop)
            return;
        std::function<void()> job = std::move(m_Job);
        m_HasJob = false;
        lock.unlock();
        job();
        lock.lock();
        m_Ended = true;
        m_Done.store(true, std::memory_order_release);
        lock.unlock();
        m_Changed.notify_one();
        lock.lock();
    }
}
