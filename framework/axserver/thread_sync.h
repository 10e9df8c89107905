// A lock and a condition for threads that hand work to one another many times a
// second, on the system's own slim reader/writer lock and condition variable.
//
// The C++ library's std::mutex and std::condition_variable go through
// winpthreads, whose waits and wakes each make a round trip through the Wine
// server, and whose notify waits until the threads it woke have left their
// wait: a millisecond or so for every picture handed between threads. The
// system's own wait on futexes under Wine, and a wake returns at once.
#pragma once
#include <windows.h>
#include <mutex>

// BasicLockable, for std::lock_guard and std::unique_lock.
class CThreadLock {
public:
    CThreadLock() = default;
    CThreadLock(const CThreadLock&) = delete;
    CThreadLock& operator=(const CThreadLock&) = delete;

    void lock() { AcquireSRWLockExclusive(&m_lock); }
    void unlock() { ReleaseSRWLockExclusive(&m_lock); }
    SRWLOCK* Native() { return &m_lock; }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
};

class CThreadCondition {
public:
    CThreadCondition() = default;
    CThreadCondition(const CThreadCondition&) = delete;
    CThreadCondition& operator=(const CThreadCondition&) = delete;

    // Waits until pred() holds; the lock is released while waiting.
    template <class Pred>
    void Wait(std::unique_lock<CThreadLock>& lock, Pred pred)
    {
        while (!pred())
            SleepConditionVariableSRW(&m_condition, lock.mutex()->Native(), INFINITE, 0);
    }
    void NotifyAll() { WakeAllConditionVariable(&m_condition); }

private:
    CONDITION_VARIABLE m_condition = CONDITION_VARIABLE_INIT;
};
