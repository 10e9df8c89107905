// Owners of GDI objects and device contexts. A paint handler declares what it
// makes and selects in the order of making; they are undone in the reverse
// order, so that selections are put back before the objects are deleted (GDI
// does not delete an object while it is selected).
#pragma once
#include <windows.h>
#include <utility>
#include "owners/scoped.h"

namespace own {

// A pen, brush, font, bitmap or region made here, deleted when the owner goes.
template <class T>
struct GdiObjectPolicy : NullIsEmpty<T> {
    static void Free(T h) { ::DeleteObject(h); }
};
template <class T>
using CScopedGdiObj = CScoped<GdiObjectPolicy<T>>;
using CScopedPen = CScopedGdiObj<HPEN>;
using CScopedBrush = CScopedGdiObj<HBRUSH>;
using CScopedFont = CScopedGdiObj<HFONT>;
using CScopedBitmap = CScopedGdiObj<HBITMAP>;

// A device context made by CreateCompatibleDC or CreateDC, deleted when the owner goes.
struct DcPolicy : NullIsEmpty<HDC> {
    static void Free(HDC h) { ::DeleteDC(h); }
};
using CScopedDC = CScoped<DcPolicy>;

// A memory device context compatible with the screen, made at once.
class CMemoryDC : public CScopedDC {
public:
    CMemoryDC() : CScopedDC(::CreateCompatibleDC(nullptr)) {}
};

// A window's client-area device context (GetDC), released to that window.
class CClientDC {
public:
    CClientDC() = default;
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ~CClientDC() { Reset(); }
    CClientDC(CClientDC&& other) noexcept
        : m_hwnd(std::exchange(other.m_hwnd, nullptr)), m_hdc(std::exchange(other.m_hdc, nullptr))
    {
    }
    CClientDC& operator=(CClientDC&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_hwnd = std::exchange(other.m_hwnd, nullptr);
            m_hdc = std::exchange(other.m_hdc, nullptr);
        }
        return *this;
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    void Reset()
    {
        if (m_hdc) ::ReleaseDC(m_hwnd, m_hdc);
        m_hwnd = nullptr;
        m_hdc = nullptr;
    }
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }

private:
    HWND m_hwnd = nullptr;
    HDC m_hdc = nullptr;
};

// An object selected into a device context; the one it replaced is selected
// back when the owner goes. The object itself is not deleted.
class CScopedSelect {
public:
    CScopedSelect() = default;
    CScopedSelect(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hPrevious(::SelectObject(hdc, hObject))
    {
        if (m_hPrevious == HGDI_ERROR) m_hPrevious = nullptr;
    }
    ~CScopedSelect() { Reset(); }
    CScopedSelect(CScopedSelect&& other) noexcept
        : m_hdc(std::exchange(other.m_hdc, nullptr)), m_hPrevious(std::exchange(other.m_hPrevious, nullptr))
    {
    }
    CScopedSelect& operator=(CScopedSelect&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_hdc = std::exchange(other.m_hdc, nullptr);
            m_hPrevious = std::exchange(other.m_hPrevious, nullptr);
        }
        return *this;
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

    // Puts the previous object back now.
    void Reset()
    {
        if (m_hPrevious) ::SelectObject(m_hdc, m_hPrevious);
        m_hdc = nullptr;
        m_hPrevious = nullptr;
    }

private:
    HDC m_hdc = nullptr;
    HGDIOBJ m_hPrevious = nullptr;
};

}  // namespace own

using own::CClientDC;
using own::CMemoryDC;
using own::CScopedBitmap;
using own::CScopedBrush;
using own::CScopedDC;
using own::CScopedFont;
using own::CScopedGdiObj;
using own::CScopedPen;
using own::CScopedSelect;
