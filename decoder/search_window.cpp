#include "decoder/search_window.h"
#include <commctrl.h>
#include <cstdio>
#include "decoder/time_of_day.h"
#include "framework/axserver/ax_module.h"
#include "framework/text.h"

namespace {

enum ChildId {
    kListId = 101,
    kProgressId = 102,
    kButtonId = 103,
    kStatusId = 104
};

const int kMargin = 8, kStatusHeight = 18, kBarHeight = 16, kButtonWidth = 80, kButtonHeight = 24;
const int kWidth = 320, kHeight = 300;

bool RegisterSearchClass(WNDPROC proc)
{
    WNDCLASSEXW wc = {sizeof wc};
    wc.lpfnWndProc = proc;
    wc.hInstance = AxThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = CSearchWindow::kClassName;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::wstring Printed(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return fw::Widen(text);
}

void SetCell(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

void AddColumn(HWND list, int index, const wchar_t* title, int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(index), reinterpret_cast<LPARAM>(&column));
}

}  // namespace

CSearchWindow::~CSearchWindow()
{
    if (!m_hWnd)
        return;
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);  // nothing more reaches this object
    DestroyWindow(m_hWnd);
    // The last one out takes the class, so that no class points into an unloaded DLL.
    UnregisterClassW(kClassName, AxThisModule());
}

bool CSearchWindow::Create(HWND hwndOwner, const std::wstring& title, int64_t startOfDayMs, Events events)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    if (!RegisterSearchClass(&CSearchWindow::WindowProc))
        return false;
    m_startOfDayMs = startOfDayMs;
    m_events = std::move(events);
    RECT owner = {};
    GetWindowRect(hwndOwner, &owner);
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title.c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                             owner.right - kWidth - 16, owner.top + 40, kWidth, kHeight, hwndOwner, nullptr,
                             AxThisModule(), this);
    if (!m_hWnd)
        return false;
    CreateChildren();
    Layout();
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_hList);
    return m_hList && m_hProgress && m_hButton;
}

void CSearchWindow::CreateChildren()
{
    const HINSTANCE hInstance = AxThisModule();
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
        HWND hwnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(INT_PTR(id)), hInstance, nullptr);
        SendMessageW(hwnd, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return hwnd;
    };
    m_hStatus = child(L"STATIC", L"Searching...", SS_LEFT | SS_NOPREFIX, kStatusId);
    m_hList = child(WC_LISTVIEWW, L"", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kListId);
    m_hProgress = child(PROGRESS_CLASSW, L"", 0, kProgressId);
    m_hButton = child(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, kButtonId);
    SendMessageW(m_hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(m_hList, 0, L"Time", 110);
    AddColumn(m_hList, 1, L"Length", 80);
    AddColumn(m_hList, 2, L"Peak", 70);
    SendMessageW(m_hProgress, PBM_SETRANGE32, 0, 1000);
}

void CSearchWindow::Layout()
{
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);
    const int w = rc.right - 2 * kMargin;
    const int bottom = rc.bottom - kMargin;
    MoveWindow(m_hStatus, kMargin, kMargin, w, kStatusHeight, TRUE);
    MoveWindow(m_hButton, rc.right - kMargin - kButtonWidth, bottom - kButtonHeight, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(m_hProgress, kMargin, bottom - (kButtonHeight + kBarHeight) / 2, w - kButtonWidth - kMargin, kBarHeight,
               TRUE);
    const int listTop = kMargin + kStatusHeight + 4;
    MoveWindow(m_hList, kMargin, listTop, w, bottom - kButtonHeight - kMargin - listTop, TRUE);
}

void CSearchWindow::SetHits(const std::vector<MotionHit>& hits)
{
    m_hits = hits;
    const int nRows = int(SendMessageW(m_hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = int(hits.size()); i < nRows; ++i)  // hits that merged
        SendMessageW(m_hList, LVM_DELETEITEM, WPARAM(hits.size()), 0);
    for (size_t i = 0; i < hits.size(); ++i) {
        const int row = int(i);
        if (row >= nRows) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<wchar_t*>(L"");
            SendMessageW(m_hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        const MotionHit& hit = hits[i];
        SetCell(m_hList, row, 0, fw::Widen(TimeOfDayText(m_startOfDayMs + hit.startMs)));
        SetCell(m_hList, row, 1, Printed("%.1f s", (hit.endMs - hit.startMs) / 1000.0));
        SetCell(m_hList, row, 2, Printed("%.0f %%", hit.peak * 100));
    }
}

void CSearchWindow::SetProgress(double share)
{
    if (m_bFinished)
        return;
    const int permille = int(share * 1000);
    SendMessageW(m_hProgress, PBM_SETPOS, WPARAM(permille), 0);
    SetStatus(L"Searching... " + std::to_wstring(permille / 10) + L" %");
}

void CSearchWindow::Finish(const MotionResult& result)
{
    m_bFinished = true;
    SetHits(result.hits);
    if (!result.cancelled)
        SendMessageW(m_hProgress, PBM_SETPOS, 1000, 0);
    const size_t n = result.hits.size();
    std::wstring text = n == 0 ? std::wstring(L"No motion found") : std::to_wstring(n) + (n == 1 ? L" hit" : L" hits");
    if (result.cancelled)
        text = L"Cancelled: " + text;
    if (result.damaged > 0)
        text += L"; " + std::to_wstring(result.damaged) + L" damaged frames skipped";
    SetStatus(text);
    SetWindowTextW(m_hButton, L"Close");
}

void CSearchWindow::SetStatus(const std::wstring& text) { SetWindowTextW(m_hStatus, text.c_str()); }

void CSearchWindow::ChooseSelected()
{
    const int row = int(SendMessageW(m_hList, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (row >= 0 && size_t(row) < m_hits.size() && m_events.choose)
        m_events.choose(m_hits[size_t(row)]);
}

void CSearchWindow::OnNotify(const NMHDR& header)
{
    if (header.idFrom == kListId && (header.code == NM_DBLCLK || header.code == NM_RETURN))
        ChooseSelected();
}

LRESULT CSearchWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_SETFOCUS:
        SetFocus(m_hList);  // so that Enter chooses
        return 0;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
            if (!m_bFinished && m_events.cancel)
                m_events.cancel();
            else
                PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_CLOSE:
        // Hidden now; the owner ends the search and destroys the window after this returns.
        ShowWindow(m_hWnd, SW_HIDE);
        if (m_events.close)
            m_events.close();
        return 0;
    default:
        return DefWindowProcW(m_hWnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK CSearchWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* pSelf = static_cast<CSearchWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        pSelf->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pSelf));
    }
    auto* pSelf = reinterpret_cast<CSearchWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return pSelf ? pSelf->OnMessage(msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}
