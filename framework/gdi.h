// Small owners for the GDI objects a paint or erase handler makes, selects into
// its device context and deletes before it returns. Each gives back what it
// holds when it goes out of scope, so the handler's last lines are not a list
// of SelectObject and DeleteObject calls to keep in step with its first ones.
// Declared in the order of making, they are undone in the reverse order: the
// selections are put back before the objects are deleted.
#pragma once
#include <windows.h>

namespace fw {

// A pen, brush, font or bitmap made here, deleted when the owner goes.
template <class T>
class CScopedGdiObj {
public:
    explicit CScopedGdiObj(T hObject) : m_hObject(hObject) {}
    ~CScopedGdiObj()
    {
        if (m_hObject) ::DeleteObject(m_hObject);
    }
    CScopedGdiObj(const CScopedGdiObj&) = delete;
    CScopedGdiObj& operator=(const CScopedGdiObj&) = delete;

    T Get() const { return m_hObject; }
    operator T() const { return m_hObject; }

private:
    T m_hObject;
};

using CScopedPen = CScopedGdiObj<HPEN>;
using CScopedBrush = CScopedGdiObj<HBRUSH>;

// An object selected into a device context; the one it replaced is selected
// back when this goes. The object itself is not deleted.
class CScopedSelect {
public:
    CScopedSelect(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hPrevious(::SelectObject(hdc, hObject)) {}
    ~CScopedSelect()
    {
        if (m_hPrevious) ::SelectObject(m_hdc, m_hPrevious);
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hPrevious;
};

// A window's client-area device context (GetDC), released when this goes.
class CClientDC {
public:
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ~CClientDC()
    {
        if (m_hdc) ::ReleaseDC(m_hwnd, m_hdc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    operator HDC() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// A memory device context compatible with the screen (CreateCompatibleDC),
// deleted when this goes.
class CMemoryDC {
public:
    CMemoryDC() : m_hdc(::CreateCompatibleDC(nullptr)) {}
    ~CMemoryDC()
    {
        if (m_hdc) ::DeleteDC(m_hdc);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    operator HDC() const { return m_hdc; }

private:
    HDC m_hdc;
};

}  // namespace fw

using fw::CClientDC;
using fw::CMemoryDC;
using fw::CScopedBrush;
using fw::CScopedGdiObj;
using fw::CScopedPen;
using fw::CScopedSelect;
