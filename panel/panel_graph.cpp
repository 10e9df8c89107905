// The event graph for the cameras on view, the split layouts and the camera groups.
#include <cstdio>
#include <cstring>
#include "host/messages.h"
#include "panel/panel_dlg.h"
#include "res/resource.h"

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

enum EventType { EVENT_SOURCE = 0, EVENT_MOTION = 1, EVENT_GPI = 2 };

const COLORREF kSourceColour = 0xFFFF80;  // light cyan
const COLORREF kMotionColour = 0x00FFFF;  // yellow
const COLORREF kGpiColour = 0x0000FF;     // red
const int32_t kFullBar = 100;

// Cameras of group g in layout s, bit k for camera k+1. With no group selected
// (g = -1) no camera counts, except in layout 16 where every camera does.
uint32_t SelectionMask(int layout, int group) {
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
void CPanelDlg::SetupSplitButtons() {
    for (int i = 0; i < 4; ++i) {
        m_hbmSplit[i] = LoadBitmapA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(kSplits[i].nBitmap));
        SendDlgItemMessage(kSplits[i].nButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hbmSplit[i]));
    }
    SendDlgItemMessage(IDC_SPLIT_16, BM_SETCHECK, BST_CHECKED, 0);
}

int CPanelDlg::CheckedSplitLayout() const {
    for (const auto& split : kSplits)
        if (SendDlgItemMessage(split.nButton, BM_GETCHECK) == BST_CHECKED) return split.nLayout;
    return 0;
}

void CPanelDlg::UpdateEventGraph(int nType) {
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

void CPanelDlg::OnSelchangeEventType() {
    const int type = m_cbEventType.GetCurSel();
    if (type >= 0) UpdateEventGraph(type);
}

void CPanelDlg::OnSelchangeCameraGroup() {
    SendView(VIEW_SET_GROUP, m_cbCameraGroup.GetCurSel());
    UpdateEventGraph(m_cbEventType.GetCurSel());
}

void CPanelDlg::OnSplitButton() {
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
