// The event graph for the cameras on view, the split layouts and the camera groups.
#include "panel/panel_dlg.h"
#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "host/messages.h"
#include "res/resource.h"
#include "widgets/tool_info.h"

namespace {

// The split buttons in the order they are asked for their check, with the
// layout each stands for and its image.
const struct {
    int nButton;
    int nLayout;
    int nBitmap;
} kSplits[4] = {
    {IDC_SPLIT_1, 1, IDB_SPLIT_1},
    {IDC_SPLIT_4, 4, IDB_SPLIT_4},
    {IDC_SPLIT_8, 8, IDB_SPLIT_8},
    {IDC_SPLIT_16, 16, IDB_SPLIT_16},
};

enum EventType {
    EVENT_SOURCE = 0,
    EVENT_MOTION = 1,
    EVENT_GPI = 2
};
const char* const kEventNames[3] = {"Source", "Motion", "GPI"};

// The slots cover the hour from the file's start evenly: 1000 of Source and
// Motion, 2000 of GPI.
constexpr int32_t kHourMs = 3600000;
constexpr int32_t kEventSlotMs = kHourMs / SOURCE_EVENT_SLOTS;  // 3.6 s
constexpr int32_t kGpiSlotMs = kHourMs / GPI_EVENT_SLOTS;       // 1.8 s

const COLORREF kSourceColour = 0xFFFF80;  // light cyan
const COLORREF kMotionColour = 0x00FFFF;  // yellow
const COLORREF kGpiColour = 0x0000FF;     // red
const int32_t kFullBar = 100;

// Cameras of group g in layout s, bit k for camera k+1. With no group selected
// (g = -1) no camera counts, except in layout 16 where every camera does.
uint32_t SelectionMask(int layout, int group)
{
    if (layout == 16) return 0xFFFF;
    if (group < 0) return 0;
    const int shift = layout * group;
    if (shift >= 32) return 0;
    switch (layout) {
    case 8: return 0xFFu << shift;
    case 4: return 0xFu << shift;
    case 1: return 1u << shift;
    default: return 0;
    }
}

}  // namespace

// Their images, kept in m_hbmSplit until the panel's window goes, and the
// layout of 16 checked.
void CPanelDlg::SetupSplitButtons()
{
    for (int i = 0; i < 4; ++i) {
        m_hbmSplit[i] = LoadBitmapA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(kSplits[i].nBitmap));
        SendDlgItemMessage(kSplits[i].nButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hbmSplit[i]));
    }
    SendDlgItemMessage(IDC_SPLIT_16, BM_SETCHECK, BST_CHECKED, 0);
}

int CPanelDlg::CheckedSplitLayout() const
{
    for (const auto& split : kSplits)
        if (SendDlgItemMessage(split.nButton, BM_GETCHECK) == BST_CHECKED) return split.nLayout;
    return 0;
}

void CPanelDlg::UpdateEventGraph(int nType)
{
    const int layout = CheckedSplitLayout();
    if (!layout) return;
    const uint32_t mask = SelectionMask(layout, m_cbCameraGroup.GetCurSel());
    int32_t values[SOURCE_EVENT_SLOTS] = {};
    const int32_t* bars = values;
    int n = 0;

    switch (nType) {
    case EVENT_SOURCE:
        m_graph.m_crPen = kSourceColour;
        n = static_cast<int>(EventCount(m_index.Source));
        for (int j = 0; j < n; ++j)
            if (m_index.Source.lStatus[j] < 0)
                values[j] = (m_index.Source.dwCameraMask[j] & mask) ? kFullBar : 0;
        break;
    case EVENT_MOTION:
        m_graph.m_crPen = kMotionColour;
        n = static_cast<int>(EventCount(m_index.Motion));
        for (int j = 0; j < n; ++j) {
            uint32_t sum = 0;
            for (int k = 0; k < 16; ++k)
                if (mask & (1u << k)) sum += m_index.Motion.bLevel[k][j];
            values[j] = sum ? kFullBar : 0;
        }
        break;
    case EVENT_GPI:
        // The values are 0 or 100 already: the play sequence normalised them.
        m_graph.m_crPen = kGpiColour;
        n = static_cast<int>(EventCount(m_index.Gpi));
        bars = m_index.Gpi.lValue;
        break;
    default:
        return;
    }
    // An empty block clears the graph, which keeps its type's colour all the same.
    if (n == 0)
        m_graph.Clear();
    else
        m_graph.SetData(bars, n);
}

void CPanelDlg::OnSelchangeEventType()
{
    const int type = m_cbEventType.GetCurSel();
    if (type >= 0) UpdateEventGraph(type);
}

void CPanelDlg::OnSelchangeCameraGroup()
{
    SendView(VIEW_SET_GROUP, m_cbCameraGroup.GetCurSel());
    UpdateEventGraph(m_cbEventType.GetCurSel());
}

void CPanelDlg::OnSplitButton()
{
    const int layout = CheckedSplitLayout();
    if (!layout) return;
    SendView(VIEW_SET_SPLIT, layout);
    // After a layout change the group is the decoder's, not the list's.
    const int group = static_cast<int>(SendView(VIEW_GET_GROUP));

    while (m_cbCameraGroup.GetCount() > 0) m_cbCameraGroup.DeleteString(0);
    char line[32];
    if (layout == 1) {
        for (int camera = 1; camera <= 16; ++camera) {
            std::snprintf(line, sizeof line, "Camera %d", camera);
            m_cbCameraGroup.AddString(line);
        }
    } else {
        for (int first = 1; first <= 16; first += layout) {
            std::snprintf(line, sizeof line, "Camera %d-%d", first, first + layout - 1);
            m_cbCameraGroup.AddString(line);
        }
    }
    m_cbCameraGroup.SetCurSel(group);
    UpdateEventGraph(m_cbEventType.GetCurSel());
}

int32_t CPanelDlg::SlotMs() const { return m_cbEventType.GetCurSel() == EVENT_GPI ? kGpiSlotMs : kEventSlotMs; }

int CPanelDlg::GraphSlotAt(POINT point) const
{
    if (!m_graph.m_hWnd || m_graph.m_nCount == 0) return -1;
    // The graph's static lets the mouse through to the panel: its point is the panel's.
    ::MapWindowPoints(m_hWnd, m_graph.m_hWnd, &point, 1);
    RECT client;
    ::GetClientRect(m_graph.m_hWnd, &client);
    if (!PtInRect(&client, point)) return -1;
    const int slot = m_graph.SlotAt(point.x);
    if (slot < 0 || slot >= kHourMs / SlotMs()) return -1;
    return slot;
}

BOOL CPanelDlg::OnGraphClick(POINT point)
{
    // Only where the position control takes a seek: playing or paused, and it
    // enabled. Elsewhere the click is any click on the panel.
    if (m_nPlayState != PLAY_PLAYING && m_nPlayState != PLAY_PAUSED) return FALSE;
    if (!::IsWindowEnabled(m_positionCtrl.Window())) return FALSE;
    const int slot = GraphSlotAt(point);
    if (slot < 0) return FALSE;
    ShowTimeEdits(FALSE);
    SeekTo(slot * SlotMs());
    return TRUE;
}

// The graph's tool, as the tooltip knows it: the panel's, by the graph's id,
// saying m_szGraphTip.
TOOLINFOA CPanelDlg::GraphTool()
{
    TOOLINFOA tool = widgets::NewToolInfo();
    tool.hwnd = m_hWnd;
    tool.uId = IDC_GRAPH;
    tool.lpszText = m_szGraphTip;
    return tool;
}

void CPanelDlg::CreateGraphTip()
{
    const INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    m_hwndGraphTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                       fw::AfxGetResourceHandle(), nullptr);
    if (!m_hwndGraphTip) return;
    // A tool over the graph's area of the panel, where the panel gets its mouse
    // messages; they are relayed from OnMouseMove.
    TOOLINFOA tool = GraphTool();
    ::GetWindowRect(m_graph.m_hWnd, &tool.rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tool.rect), 2);
    if (!::SendMessageA(m_hwndGraphTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        // A tip without its tool would never show: the graph goes without one.
        ::DestroyWindow(m_hwndGraphTip);
        m_hwndGraphTip = nullptr;
        return;
    }
    ::SendMessageA(m_hwndGraphTip, TTM_SETMAXTIPWIDTH, 0, 400);
}

void CPanelDlg::TrackGraphTip(UINT nFlags, POINT point)
{
    if (!m_hwndGraphTip) return;
    char text[sizeof m_szGraphTip] = "";
    const int slot = GraphSlotAt(point);
    if (slot >= 0) FormatGraphTip(slot, text, sizeof text);
    if (std::strcmp(text, m_szGraphTip) != 0) {
        std::memcpy(m_szGraphTip, text, sizeof m_szGraphTip);
        TOOLINFOA tool = GraphTool();
        ::SendMessageA(m_hwndGraphTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    MSG relayed = {m_hWnd, WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y)};
    ::SendMessageA(m_hwndGraphTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// "14:32:07  Motion: cameras 3, 5" — the slot's time of day, the type on view
// and the cameras on view with an event there ("none" without); for GPI the
// slot's value. Slots past the block's count hold no event.
void CPanelDlg::FormatGraphTip(int slot, char* text, size_t size) const
{
    const int type = m_cbEventType.GetCurSel();
    if (type < EVENT_SOURCE || type > EVENT_GPI) {
        text[0] = '\0';
        return;
    }
    const int64_t ms = int64_t{m_index.lStartTimeMs} + int64_t{slot} * SlotMs();
    char clock[16];
    if (ms < 0 || ms >= 100 * int64_t{kHourMs})
        std::snprintf(clock, sizeof clock, "--:--:--");
    else
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", static_cast<int>(ms / kHourMs),
                      static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));

    if (type == EVENT_GPI) {
        const int32_t value = slot < static_cast<int>(EventCount(m_index.Gpi)) ? m_index.Gpi.lValue[slot] : 0;
        std::snprintf(text, size, "%s  GPI: %ld", clock, static_cast<long>(value));
        return;
    }
    const uint32_t mask = SelectionMask(CheckedSplitLayout(), m_cbCameraGroup.GetCurSel());
    uint32_t cameras = 0;
    if (type == EVENT_SOURCE) {
        if (slot < static_cast<int>(EventCount(m_index.Source)) && m_index.Source.lStatus[slot] < 0)
            cameras = m_index.Source.dwCameraMask[slot] & mask;
    } else if (slot < static_cast<int>(EventCount(m_index.Motion))) {
        for (unsigned k = 0; k < MOTION_EVENT_CAMERAS; ++k)
            if (m_index.Motion.bLevel[k][slot]) cameras |= 1u << k;
        cameras &= mask;
    }
    // Runs of three or more cameras as a range: "1-4, 7, 9, 10".
    std::string list;
    int count = 0;
    for (int k = 0; k < 16; ++k) {
        if (!(cameras & (1u << k))) continue;
        int last = k;
        while (last + 1 < 16 && (cameras & (1u << (last + 1)))) ++last;
        list += count ? ", " : "";
        if (last - k >= 2) {
            list += std::to_string(k + 1) + "-" + std::to_string(last + 1);
        } else {
            list += std::to_string(k + 1);
            if (last > k) list += ", " + std::to_string(last + 1);
        }
        count += last - k + 1;
        k = last;
    }
    if (count == 0) list = "none";
    std::snprintf(text, size, "%s  %s: %s%s", clock, kEventNames[type], count == 1 ? "camera " : count ? "cameras "
                                                                                                       : "",
                  list.c_str());
}
