#include "widgets/bar_graph_wnd.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>
#include "owners/gdi.h"

namespace {

// Far more values than any recording has slots; a larger count is refused like
// a failed allocation, so that a bogus count cannot make us read past the
// caller's buffer or paint for minutes.
constexpr int kMaxValues = 1 << 24;

}  // namespace

BOOL CBarGraphWnd::SetData(const int32_t* values, int count)
{
    if (!m_hWnd) return FALSE;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    m_pValues.reset();
    m_nCount = 0;
    if (count <= 0) {
        UpdateWindow(m_hWnd);
        return FALSE;
    }
    if (!values || count > kMaxValues) return FALSE;
    m_pValues.reset(new (std::nothrow) int32_t[count]);
    if (!m_pValues) return FALSE;
    std::memcpy(m_pValues.get(), values, sizeof(int32_t) * static_cast<size_t>(count));
    m_nCount = count;
    if (m_nWidthScale < count) m_nWidthScale = count;
    UpdateWindow(m_hWnd);
    return TRUE;
}

void CBarGraphWnd::Clear()
{
    if (!m_hWnd) return;
    m_pValues.reset();
    m_nCount = 0;
    if (HWND parent = GetParent(m_hWnd)) {
        RECT rc;
        GetWindowRect(m_hWnd, &rc);
        POINT corners[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
        ScreenToClient(parent, &corners[0]);
        ScreenToClient(parent, &corners[1]);
        RECT under = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        InvalidateRect(parent, &under, TRUE);
        UpdateWindow(parent);
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

LRESULT CBarGraphWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    PaintContent(dc);
    EndPaint(m_hWnd, &ps);
    return 1;
}

// Logical y = 0 is the bottom row and m_nHeightScale one row above the top,
// so a full bar's end point (which LineTo leaves out) falls outside.
void CBarGraphWnd::ApplyMapping(HDC dc, const RECT& rcClient) const
{
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, m_nWidthScale, -m_nHeightScale, nullptr);
    SetViewportOrgEx(dc, 0, rcClient.bottom - 1, nullptr);
    SetViewportExtEx(dc, rcClient.right - 1, rcClient.bottom, nullptr);
}

// The bars over the background OnEraseBkgnd laid; the paint itself fills nothing.
void CBarGraphWnd::PaintContent(HDC dc)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    ApplyMapping(dc, rc);

    CScopedPen pen(CreatePen(PS_SOLID, 1, m_crPen));
    CScopedSelect selectPen(dc, pen);
    for (int i = 0; i < m_nCount; ++i) {
        MoveToEx(dc, i, 0, nullptr);
        LineTo(dc, i, std::min(m_pValues[i], m_nHeightScale));
    }
}

int CBarGraphWnd::SlotAt(int x) const
{
    int first = -1, last = -1;
    return SlotsAt(x, first, last) ? first : -1;
}

// The columns come from the same mapping on a device context of our own, so
// that they are rounded exactly as the painted bars are. Between two columns
// that hold bars the one to the left answers.
bool CBarGraphWnd::SlotsAt(int x, int& first, int& last) const
{
    if (!m_hWnd || m_nWidthScale <= 0) return false;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (x < 0 || x >= rc.right) return false;
    CMemoryDC dc;
    if (!dc) return false;
    ApplyMapping(dc, rc);
    std::vector<POINT> columns(static_cast<size_t>(m_nWidthScale));
    for (int i = 0; i < m_nWidthScale; ++i) columns[i] = {i, 0};
    if (!LPtoDP(dc, columns.data(), m_nWidthScale)) return false;
    first = last = -1;
    for (int i = 0; i < m_nWidthScale && columns[i].x <= x; ++i) {
        if (first < 0 || columns[i].x != columns[first].x) first = i;
        last = i;
    }
    return first >= 0;
}

LRESULT CBarGraphWnd::OnEraseBkgnd(WPARAM wParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    CScopedPen pen(CreatePen(PS_NULL, 1, 0));
    CScopedBrush brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    CScopedSelect selectBrush(dc, brush);
    CScopedSelect selectPen(dc, pen);
    // A null pen leaves out the right and bottom edge; the + 1 takes them in.
    Rectangle(dc, rc.left, rc.top, rc.right + 1, rc.bottom + 1);
    return 1;
}
