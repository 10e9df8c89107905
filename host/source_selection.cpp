#include "host/source_selection.h"
#include <cstdio>
#include "host/stream_decoder.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CSourceDlg, CDialog)
    ON_LBN_DBLCLK(IDC_SOURCE_LIST, OnDblclkList)
END_MESSAGE_MAP()

// No view holds more cameras than the recorder has; a larger count from the
// decoder would otherwise fill the list without end.
static const int64_t kMaxListedCameras = 16;

CSourceDlg::CSourceDlg(CWnd* pParent)
    : CDialog(IDD_SOURCE, pParent), m_nCameras(16), m_nGroup(0), m_nSelected(0) {}

void CSourceDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SOURCE_LIST, m_list);
}

BOOL CSourceDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const int64_t first = int64_t(m_nCameras) * m_nGroup;
    const int64_t count = m_nCameras < kMaxListedCameras ? m_nCameras : kMaxListedCameras;
    for (int64_t i = first; i < first + count; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "Camera %lld", static_cast<long long>(i + 1));
        int index = m_list.AddString(text);
        if (index >= 0) m_list.SetItemData(index, static_cast<DWORD_PTR>(i));
    }
    return TRUE;
}

void CSourceDlg::OnOK()
{
    // With nothing selected both reads give the list's error value, -1.
    m_nSelected = static_cast<int32_t>(m_list.GetItemData(m_list.GetCurSel()));
    CDialog::OnOK();
}

void CSourceDlg::OnDblclkList() { OnOK(); }

void SelectVideoSource(CStreamDecoder& decoder)
{
    CSourceDlg dlg;
    const long cameras = decoder.GetViewSplit();
    const long group = decoder.GetViewGroup();
    if (cameras == 1) {
        // One camera per view: the group is the camera.
        decoder.SelectSource(group);
        return;
    }
    dlg.m_nCameras = cameras;
    dlg.m_nGroup = group;
    dlg.m_nSelected = 0;
    if (dlg.DoModal() == IDOK) decoder.SelectSource(dlg.m_nSelected);
}
