// Takes over selected messages of a window that already exists, without a window
// of its own: the object sits in the window's user data, one shared procedure
// offers five messages to virtual handlers and passes the rest on.
#pragma once
#include <windows.h>

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    // Not virtual: the objects live by value in their owner and are never
    // deleted through a base pointer.
    ~CSubclassWnd();
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Subclasses hwnd; non-zero when the window procedure was replaced. On
    // failure the window keeps its user data and the object stays detached.
    BOOL Attach(HWND hwnd);
    // Gives the window back its procedure and user data; no-op when detached.
    void Detach();
    // Hands one message to the window's previous procedure, with the window's
    // own user data in place while that procedure runs.
    LRESULT CallPrevWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers return 0 to decline, anything else is the message's result.
    virtual LRESULT OnPaint();
    virtual LRESULT OnEraseBkgnd(WPARAM wParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnPrevWndProc = nullptr;
    HWND m_hWnd = nullptr;
    LONG_PTR m_lPrevUserData = 0;
};

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
