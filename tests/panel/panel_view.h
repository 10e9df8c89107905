// What a user sees of the panel, for the tests that drive it: which transport
// controls are enabled, where the time text is painted and what time it reads,
// and the bars of the event graph.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "owners/gdi.h"
#include "res/resource.h"
#include "widgets/bar_graph_wnd.h"

namespace panel_view {

// The controls that the control sets switch, enabled or not, in the order
// Pause, Stop, Play, Speed, Event type, Source, Position, Step. The position
// control is the slider where the panel has one, else scroll bar 206.
inline std::vector<bool> ControlStates(HWND panel)
{
    HWND position = GetDlgItem(panel, IDC_SLIDER) ? GetDlgItem(panel, IDC_SLIDER) : GetDlgItem(panel, IDC_POSITION_BAR);
    std::vector<bool> states;
    for (int id : {IDC_PAUSE, IDC_STOP, IDC_PLAY, IDC_SPEED, IDC_EVENT_TYPE, IDC_SOURCE, 0, IDC_STEP})
        states.push_back(IsWindowEnabled(id ? GetDlgItem(panel, id) : position) != FALSE);
    return states;
}
inline const std::vector<bool> kPlaying = {true, true, true, true, true, true, true, true};
inline const std::vector<bool> kStopped = {false, false, true, true, false, false, false, false};
inline const std::vector<bool> kOpening = {false, true, false, true, false, false, false, false};

// A window's rectangle in the panel's client coordinates.
inline RECT InPanel(HWND panel, HWND hwnd)
{
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The box around the blue pixels of the time text, in the panel's client
// coordinates: the text is painted on the row of the event-type list, between
// it and the display-size list. All 0 when none is on view.
inline RECT PaintedTime(HWND panel)
{
    const RECT types = InPanel(panel, GetDlgItem(panel, IDC_EVENT_TYPE));
    const RECT sizes = InPanel(panel, GetDlgItem(panel, IDC_DISPLAY_SIZE));
    const RECT area = {types.right, types.top, sizes.left, types.bottom + 4};
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return RECT{};

    UpdateWindow(panel);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    const CClientDC dc(panel);
    const CScopedDC mem(CreateCompatibleDC(dc));
    const CScopedBitmap dib(CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const CScopedSelect select(mem, dib);
    const bool copied = bits && BitBlt(mem, 0, 0, w, h, dc, area.left, area.top, SRCCOPY);

    RECT box = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; copied && y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((static_cast<const uint32_t*>(bits)[y * w + x] & 0xFFFFFF) == 0x0000FF) {  // pure blue
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
            }
    if (box.left == INT_MAX) return RECT{};
    return {area.left + box.left, area.top + box.top, area.left + box.right, area.top + box.bottom};
}

// A point on the minutes and seconds of the painted time, where a click opens
// the time entry, and one on its hours, where it does not.
inline POINT OnTimeMinutes(HWND panel)
{
    const RECT box = PaintedTime(panel);
    return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}
inline POINT OnTimeHours(HWND panel)
{
    const RECT box = PaintedTime(panel);
    return {box.left + 2, (box.top + box.bottom) / 2};
}

// A time text ("HH:MM:SS.hh" or "HH:MM:SS") as milliseconds since midnight;
// -1 when it is not one.
inline int32_t ShownMs(const char* text)
{
    int h = 0, m = 0, s = 0, hundredths = 0;
    const int n = std::sscanf(text, "%d:%d:%d.%d", &h, &m, &s, &hundredths);
    if (n < 3) return -1;
    return ((h * 60 + m) * 60 + s) * 1000 + hundredths * 10;
}

// The event graph: the bar graph subclassing static 202 keeps its own address
// in the window's user data while it is attached.
inline CBarGraphWnd* Graph(HWND panel)
{
    const LONG_PTR data = GetWindowLongPtrA(GetDlgItem(panel, IDC_GRAPH), GWLP_USERDATA);
    return static_cast<CBarGraphWnd*>(reinterpret_cast<CSubclassWnd*>(data));
}

// What the event graph's tooltip says now: the text of the tool over the
// graph (id 202) of a tooltip the panel owns; empty when there is none.
inline std::string GraphTipText(HWND panel)
{
    struct Search {
        HWND panel;
        std::string text;
    } search = {panel, {}};
    EnumThreadWindows(
        GetCurrentThreadId(), [](HWND hwnd, LPARAM lParam) -> BOOL {
            Search& s = *reinterpret_cast<Search*>(lParam);
            char cls[64] = "";
            GetClassNameA(hwnd, cls, sizeof cls);
            if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || GetWindow(hwnd, GW_OWNER) != s.panel) return TRUE;
            char text[256] = "";
            TOOLINFOA tool = {};
            tool.cbSize = sizeof tool;
            tool.hwnd = s.panel;
            tool.uId = IDC_GRAPH;
            if (!SendMessageA(hwnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return TRUE;
            tool.lpszText = text;
            SendMessageA(hwnd, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
            s.text = text;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}

}  // namespace panel_view
