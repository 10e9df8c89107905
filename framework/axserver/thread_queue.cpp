#include "framework/axserver/thread_queue.h"
#include "framework/axserver/ax_module.h"

namespace {

const char kClassName[] = "VorplexAxThreadQueue";
const UINT WM_RUN_PENDING = WM_APP + 1;

void RegisterQueueClass(WNDPROC proc)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = AxThisModule();
    wc.lpszClassName = kClassName;
    // Already registered by an earlier queue: that is fine.
    RegisterClassA(&wc);
}

}  // namespace

CAxThreadQueue::CAxThreadQueue() : m_dwThreadId(GetCurrentThreadId())
{
    RegisterQueueClass(&CAxThreadQueue::WindowProc);
    m_hWnd = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             AxThisModule(), nullptr);
    if (m_hWnd)
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CAxThreadQueue::~CAxThreadQueue()
{
    Close();
    if (m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
    // Refused while another queue has a window; the last one out takes the class,
    // so that an unloaded DLL leaves no class pointing into it.
    UnregisterClassA(kClassName, AxThisModule());
}

void CAxThreadQueue::Close()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<CThreadLock> guard(m_lock);
        m_bClosed = true;
        dropped.swap(m_pending);
    }
    // Destroyed outside the lock: the work's captures may have destructors of their own.
}

bool CAxThreadQueue::Post(std::function<void()> work)
{
    std::lock_guard<CThreadLock> guard(m_lock);
    if (m_bClosed || !m_hWnd)
        return false;
    m_pending.push_back(std::move(work));
    // One wake-up message per batch: a fast worker must not flood the queue.
    if (!m_bWakePosted)
        m_bWakePosted = PostMessageA(m_hWnd, WM_RUN_PENDING, 0, 0) != FALSE;
    return true;
}

void CAxThreadQueue::RunPending()
{
    std::function<void()> work;
    {
        std::lock_guard<CThreadLock> guard(m_lock);
        if (m_pending.empty()) {
            m_bWakePosted = false;
            return;
        }
        work = std::move(m_pending.front());
        m_pending.pop_front();
        // One item per wake-up, and the next wake-up asked for before the work
        // runs: the work may destroy this queue (its owner releasing itself).
        m_bWakePosted = m_pending.empty() ? false : PostMessageA(m_hWnd, WM_RUN_PENDING, 0, 0) != FALSE;
    }
    work();
}

LRESULT CALLBACK CAxThreadQueue::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_RUN_PENDING) {
        if (auto* pQueue = reinterpret_cast<CAxThreadQueue*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
            pQueue->RunPending();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
