// The event graph for the cameras on view, the split layouts and the camera groups.
#include "panel/panel_dlg.h"
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include "domain/time_of_day.h"
#include "domain/view_grid.h"
#include "host/messages.h"
#include "host/view_messages.h"
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

using domain::EventType;
static_assert(SOURCE_EVENT_SLOTS == domain::kEventSlots && GPI_EVENT_SLOTS == domain::kGpiSlots,
              "the index's blocks hold the hour's slots");

const COLORREF kSourceColour = 0xFFFF80;  // light cyan
const COLORREF kMotionColour = 0x00FFFF;  // yellow
const COLORREF kGpiColour = 0x0000FF;     // red
const int32_t kFullBar = 100;

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
    EventType type;
    if (!domain::EventTypeAt(nType, type)) return;
    // With no group selected no camera counts, except in layout 16 where every camera does.
    const uint32_t mask = domain::ViewGroupMask(layout, m_cbCameraGroup.GetCurSel());
    int32_t values[SOURCE_EVENT_SLOTS] = {};
    const int32_t* bars = values;
    int n = 0;

    switch (type) {
    case EventType::Source:
        m_graph.m_crPen = kSourceColour;
        n = static_cast<int>(EventCount(m_index.Source));
        for (int j = 0; j < n; ++j)
            if (m_index.Source.lStatus[j] < 0)
                values[j] = (m_index.Source.dwCameraMask[j] & mask) ? kFullBar : 0;
        break;
    case EventType::Motion:
        m_graph.m_crPen = kMotionColour;
        n = static_cast<int>(EventCount(m_index.Motion));
        for (int j = 0; j < n; ++j) {
            uint32_t sum = 0;
            for (int k = 0; k < 16; ++k)
                if (mask & (1u << k)) sum += m_index.Motion.bLevel[k][j];
            values[j] = sum ? kFullBar : 0;
        }
        break;
    case EventType::Gpi:
        // The values are 0 or 100 already: the play sequence normalised them.
        m_graph.m_crPen = kGpiColour;
        n = static_cast<int>(EventCount(m_index.Gpi));
        bars = m_index.Gpi.lValue;
        break;
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
    ShowViewGroups(layout);
}

// The decoder changed its view itself: the split buttons, the groups and the
// graph follow what it says now.
LRESULT CPanelDlg::OnViewChanged(WPARAM, LPARAM)
{
    const int layout = static_cast<int>(SendView(VIEW_GET_SPLIT));
    bool known = false;
    for (const auto& split : kSplits) known = known || split.nLayout == layout;
    if (!known) return 0;
    for (const auto& split : kSplits)
        SendDlgItemMessage(split.nButton, BM_SETCHECK, split.nLayout == layout ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowViewGroups(layout);
    return 0;
}

// The camera groups of the layout, the decoder's group chosen, and the graph for them.
void CPanelDlg::ShowViewGroups(int layout)
{
    // After a layout change the group is the decoder's, not the list's.
    const int group = static_cast<int>(SendView(VIEW_GET_GROUP));

    while (m_cbCameraGroup.GetCount() > 0) m_cbCameraGroup.DeleteString(0);
    // "Camera 5" in layout 1, "Camera 9-12" in layout 4: the cameras each group shows.
    for (int each = 0; each * layout < domain::kMaxCameras; ++each)
        m_cbCameraGroup.AddString(("Camera " + domain::FormatCameraSet(domain::ViewGroupMask(layout, each))).c_str());
    m_cbCameraGroup.SetCurSel(group);
    UpdateEventGraph(m_cbEventType.GetCurSel());
}

// Without a type chosen, Source's and Motion's slots.
int32_t CPanelDlg::SlotMs() const
{
    EventType type = EventType::Source;
    domain::EventTypeAt(m_cbEventType.GetCurSel(), type);
    return domain::SlotMs(type);
}

bool CPanelDlg::GraphSlotsAt(POINT point, int& first, int& last) const
{
    if (!m_graph.m_hWnd || m_graph.m_nCount == 0) return false;
    // The graph's static lets the mouse through to the panel: its point is the panel's.
    ::MapWindowPoints(m_hWnd, m_graph.m_hWnd, &point, 1);
    RECT client;
    ::GetClientRect(m_graph.m_hWnd, &client);
    if (!PtInRect(&client, point)) return false;
    const int slots = domain::kHourMs / SlotMs();
    if (!m_graph.SlotsAt(point.x, first, last) || first >= slots) return false;
    last = std::min(last, slots - 1);
    return true;
}

BOOL CPanelDlg::OnGraphClick(POINT point)
{
    // Only where the position control takes a seek: playing or paused, and it
    // enabled. Elsewhere the click is any click on the panel.
    if (m_nPlayState != PLAY_PLAYING && m_nPlayState != PLAY_PAUSED) return FALSE;
    if (!::IsWindowEnabled(m_positionCtrl.Window())) return FALSE;
    int first = -1, last = -1;
    if (!GraphSlotsAt(point, first, last)) return FALSE;
    // A column holds more than one slot: go to the first whose bar is drawn,
    // so that a click on a bar never lands before its event.
    int slot = first;
    for (int j = first; j <= last && j < m_graph.m_nCount; ++j)
        if (m_graph.m_pValues[j] > 0) {
            slot = j;
            break;
        }
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
    int first = -1, last = -1;
    if (GraphSlotsAt(point, first, last)) FormatGraphTip(first, last, text, sizeof text);
    if (std::strcmp(text, m_szGraphTip) != 0) {
        std::memcpy(m_szGraphTip, text, sizeof m_szGraphTip);
        TOOLINFOA tool = GraphTool();
        ::SendMessageA(m_hwndGraphTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    MSG relayed = {m_hWnd, WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y)};
    ::SendMessageA(m_hwndGraphTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// "14:32:07  Motion: cameras 3, 5" — the time of day of the column's first
// slot, the type on view and the cameras on view with
// an event in any of its slots ("none" without); for GPI the largest value.
// Slots past the block's count hold no event.
void CPanelDlg::FormatGraphTip(int first, int last, char* text, size_t size) const
{
    EventType type;
    if (!domain::EventTypeAt(m_cbEventType.GetCurSel(), type)) {
        text[0] = '\0';
        return;
    }
    const std::string when = domain::FormatClock(int64_t{m_index.lStartTimeMs} + domain::SlotOffsetMs(type, first),
                                                 domain::Precision::Seconds);

    if (type == EventType::Gpi) {
        int32_t value = 0;
        for (int j = first; j <= last && j < static_cast<int>(EventCount(m_index.Gpi)); ++j)
            value = std::max(value, m_index.Gpi.lValue[j]);
        std::snprintf(text, size, "%s  %s: %ld", when.c_str(), domain::EventTypeName(type), static_cast<long>(value));
        return;
    }
    uint32_t cameras = 0;
    for (int j = first; j <= last; ++j) cameras |= SlotCameras(type, j);
    cameras &= domain::ViewGroupMask(CheckedSplitLayout(), m_cbCameraGroup.GetCurSel());
    // Runs of three or more cameras as a range: "1-4, 7, 9, 10".
    const int count = domain::CameraCount(cameras);
    const std::string list = count ? domain::FormatCameraSet(cameras, ", ") : "none";
    const char* noun = count > 1 ? "cameras " : "camera ";
    if (count == 0) noun = "";
    std::snprintf(text, size, "%s  %s: %s%s", when.c_str(), domain::EventTypeName(type), noun, list.c_str());
}

// The cameras with a Source or Motion event in one slot, whatever is on view.
uint32_t CPanelDlg::SlotCameras(EventType type, int slot) const
{
    uint32_t cameras = 0;
    if (type == EventType::Source) {
        if (slot < static_cast<int>(EventCount(m_index.Source)) && m_index.Source.lStatus[slot] < 0)
            cameras = m_index.Source.dwCameraMask[slot];
    } else if (slot < static_cast<int>(EventCount(m_index.Motion))) {
        for (unsigned k = 0; k < MOTION_EVENT_CAMERAS; ++k)
            if (m_index.Motion.bLevel[k][slot]) cameras |= 1u << k;
    }
    return cameras;
}
