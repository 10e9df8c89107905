// The control panel: the modeless dialog under the video window that carries
// the player's controls.
//
// What is here so far is what the video window relies on: the path buffer, the
// window, and the rule that a file with several cameras is not shown at the
// smallest display size. The controls themselves come with the panel's own work.
#pragma once
#include "framework/dialog.h"

class CVideoDlg;

class CPanelDlg : public CDialog {
public:
    explicit CPanelDlg(CWnd* pParent = nullptr);

    char m_szPath[260];       // the recording to open
    CVideoDlg* m_pVideoWnd;   // the owning video window; set by Create

    // Creates the panel window, owned by the video window.
    BOOL Create(CVideoDlg* pVideoWnd);
    // A 320x240 display becomes 640x480.
    void EnsureLargeDisplay();

    // The display size chosen: 0 for 320x240, 1 for 640x480, 2 for full screen.
    int m_nDisplaySize;

protected:
    void OnOK() override {}
    void OnCancel() override {}

private:
    void ApplyDisplaySize();
};
