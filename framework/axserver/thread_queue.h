// Runs work posted from any thread on the thread that created the queue.
//
// A control fires its events, and touches its container, only on the thread that
// created it (the apartment's thread). Worker threads hand such work over here;
// it runs from that thread's message loop, in the order it was posted.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>
#include "framework/axserver/thread_sync.h"

class CAxThreadQueue {
public:
    // Creates the queue's hidden message-only window on the calling thread.
    CAxThreadQueue();
    // On the creating thread. Work still pending is dropped, never run.
    ~CAxThreadQueue();
    CAxThreadQueue(const CAxThreadQueue&) = delete;
    CAxThreadQueue& operator=(const CAxThreadQueue&) = delete;

    // From any thread. False when the queue is closed or has no window.
    bool Post(std::function<void()> work);
    // Stops taking work and drops what is pending; later Posts return false.
    // For an owner that must stop its workers before it can destroy the queue.
    void Close();

    DWORD OwnerThreadId() const { return m_dwThreadId; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void RunPending();

    DWORD m_dwThreadId;
    HWND m_hWnd = nullptr;  // message-only window, created and destroyed by us
    CThreadLock m_lock;
    std::deque<std::function<void()>> m_pending;  // guarded by m_lock
    bool m_bClosed = false;                       // guarded by m_lock
    bool m_bWakePosted = false;                   // guarded by m_lock
};
