// Choosing the camera the decoder treats as its video source: the camera on
// view when one is shown, otherwise the user's choice among the group on view.
#pragma once
#include <cstdint>
#include "framework/controls.h"
#include "framework/dialog.h"

class CStreamDecoder;

// "Select Video Source": lists the cameras of one group.
class CSourceDlg : public CDialog {
public:
    explicit CSourceDlg(CWnd* pParent = nullptr);

    CListBox m_list;
    int32_t m_nCameras;   // cameras per view, set by the caller
    int32_t m_nGroup;     // 0-based group on view, set by the caller
    int32_t m_nSelected;  // the choice, 0-based; -1 when none was selected

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDblclkList();

    DECLARE_MESSAGE_MAP()
};

// Runs the selection against the decoder; decoder errors propagate to the caller.
void SelectVideoSource(CStreamDecoder& decoder);
