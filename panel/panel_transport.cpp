// The panel's playback logic: the play state, the sets of enabled transport
// controls, and the handlers of Open, Play, Stop, Pause, Step, Source, Exit,
// the speed list, the decoder's state events and the auto-play timer. Every
// action is a message sent to the video window; the panel never calls the
// decoder itself.
#include "panel/panel_dlg.h"
#include <commdlg.h>
#include <cstdio>
#include <cstring>
#include "decoder/dvrctl.h"
#include "framework/filedialog.h"
#include "host/messages.h"
#include "res/resource.h"

namespace {

// One row of EnableControls: 1 on, 0 off, -1 left as it is. The columns are
// applied in this order.
struct ControlRow {
    int nSet;
    signed char pause, stop, play, speed, eventType, source, position, step;
};

// clang-format off
const ControlRow kControlRows[] = {
    //  set            pause stop play speed type source position step
    {CTRL_PLAYING,     1,    1,   1,   1,    1,   1,     1,       1},
    {CTRL_PAUSED,      0,    1,   1,   -1,   -1,  -1,    -1,      -1},
    {CTRL_STOPPED,     0,    0,   1,   -1,   0,   0,     0,       0},
    {CTRL_OPENING,     0,    1,   0,   -1,   0,   0,     0,       0},
};
// clang-format on

void EnableIf(HWND hwnd, signed char value)
{
    if (value >= 0 && hwnd) ::EnableWindow(hwnd, value ? TRUE : FALSE);
}

// The common dialog wants its filter as pieces ended by '\0'; written with
// bars it stays readable here.
const char kOpenFilter[] = "DVR File (*.nwv;*.d00;*.d01)|*.nwv; *.d00; *.d01||";

}  // namespace

void CPanelDlg::EnableControls(int nSet)
{
    m_nControlSet = nSet;
    for (const ControlRow& row : kControlRows) {
        if (row.nSet != nSet) continue;
        EnableIf(GetDlgItem(IDC_PAUSE), row.pause);
        EnableIf(GetDlgItem(IDC_STOP), row.stop);
        EnableIf(GetDlgItem(IDC_PLAY), row.play);
        EnableIf(GetDlgItem(IDC_SPEED), row.speed);
        EnableIf(GetDlgItem(IDC_EVENT_TYPE), row.eventType);
        EnableIf(GetDlgItem(IDC_SOURCE), row.source);
        EnableIf(m_positionCtrl.Window(), row.position);
        EnableIf(GetDlgItem(IDC_STEP), row.step);
        return;
    }
}

void CPanelDlg::OnOpen()
{
    char filter[sizeof kOpenFilter];
    memcpy(filter, kOpenFilter, sizeof filter);
    for (char& c : filter)
        if (c == '|') c = '\0';
    char file[RECORDING_PATH_SIZE] = "";

    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "d01";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    // A cancelled or failed dialog leaves the running file alone.
    if (!fw::ShowOpenFileDialog(&ofn)) return;

    OnStop();
    snprintf(m_szPath, sizeof m_szPath, "%s", file);
    OnPlay();
}

void CPanelDlg::OnPlay()
{
    ShowTimeEdits(FALSE);
    m_bBackward = FALSE;  // the decoder plays forward after any Play
    switch (m_nPlayState) {
    case PLAY_IDLE:
        break;
    case PLAY_STOPPED:
        RunOpenSequence();
        break;
    case PLAY_PAUSED:
        SendCommand(PCMD_PLAY);
        EnableControls(CTRL_PLAYING);
        break;
    case PLAY_PLAYING:
        SendCommand(PCMD_PLAY_AGAIN);
        break;
    default:
        break;
    }
    // Also after a failed open: Play then asks the decoder to play again.
    m_nPlayState = PLAY_PLAYING;
}

void CPanelDlg::RunOpenSequence()
{
    EnableControls(CTRL_OPENING);
    SendCommand(PCMD_START_OFFSET, m_nStartOffset);
    if (!SendCommand(PCMD_OPEN, reinterpret_cast<LPARAM>(m_szPath))) {
        EnableControls(CTRL_STOPPED);
        ::SetWindowTextA(m_hwndVideo, "");
        return;
    }
    // The fetch keeps whatever a block the decoder does not deliver held, and
    // a failed fetch writes nothing. Another file starts from an empty index,
    // so that no event or start time of the previous one shows for it; the
    // same file opened again (every seek does) keeps its own, so that a fetch
    // failing then does not take a correct graph away.
    if (_stricmp(m_szIndexPath, m_szPath) != 0) {
        memset(&m_index, 0, sizeof m_index);
        memcpy(m_szIndexPath, m_szPath, sizeof m_szIndexPath);
    }
    if (SendToVideo(WM_FETCH_INDEX, reinterpret_cast<WPARAM>(&m_index), 0)) NormaliseGpi();
    ::SetWindowTextA(m_hwndVideo, m_szPath);
    OnSelchangeEventType();
}

// The graph draws a GPI slot as an event or none; any non-zero value is one.
void CPanelDlg::NormaliseGpi()
{
    const unsigned count = EventCount(m_index.Gpi);
    for (unsigned i = 0; i < count; ++i) m_index.Gpi.lValue[i] = m_index.Gpi.lValue[i] ? 100 : 0;
}

void CPanelDlg::OnStop()
{
    ShowTimeEdits(FALSE);
    m_nPlayState = PLAY_STOPPED;
    EnableControls(CTRL_STOPPED);
    m_positionCtrl.SetPosition(0);
    m_nStartOffset = 0;
    SendCommand(PCMD_STOP);
}

void CPanelDlg::OnPause() { PauseWith(PCMD_PAUSE); }

// Step leaves the decoder paused after one picture, as Pause does.
void CPanelDlg::OnStep() { PauseWith(PCMD_STEP); }

void CPanelDlg::PauseWith(UINT nCommand)
{
    ShowTimeEdits(FALSE);
    m_nPlayState = PLAY_PAUSED;
    EnableControls(CTRL_PAUSED);
    SendCommand(nCommand);
}

void CPanelDlg::OnSource()
{
    ShowTimeEdits(FALSE);
    SendCommand(PCMD_SOURCE);
}

void CPanelDlg::OnSelchangeSpeed()
{
    const int selection = m_cbSpeed.GetCurSel();
    if (selection < 0) return;
    SendCommand(PCMD_SPEED, static_cast<LPARAM>(m_cbSpeed.GetItemData(selection)));
}

LRESULT CPanelDlg::OnDecoderState(WPARAM wParam, LPARAM lParam)
{
    switch (static_cast<int>(wParam)) {
    case DVR_STATE_END_OF_FILE:
        // The state stays as it is, so Play then asks the decoder to play again.
        EnableControls(CTRL_STOPPED);
        break;
    case DVR_STATE_PAUSE_CLICK:
        OnPause();
        EnableControls(CTRL_PAUSED);
        break;
    case DVR_STATE_SEEK_ASKED:
        // A hit of the decoder's motion search: there, as the slider would go.
        if (m_nPlayState != PLAY_IDLE && lParam >= 0) SeekTo(static_cast<int32_t>(lParam));
        break;
    default:
        break;
    }
    return 0;
}

void CPanelDlg::OnTimer(UINT_PTR)
{
    // The panel sets only the auto-play timer.
    ::KillTimer(m_hWnd, m_nTimerId);
    m_nTimerId = 0;
    PostClick(IDC_PLAY);
    ::EnableWindow(GetDlgItem(IDC_OPEN), TRUE);
    Default();
}

void CPanelDlg::OnExit()
{
    ::PostMessageA(m_hwndVideo, WM_CLOSE, 0, 0);
    // Not through OnCancel, which is empty so that Escape leaves the panel open.
    CDialog::EndDialog(IDCANCEL);
}

// The default turns it into the cancel command, which the panel ignores.
void CPanelDlg::OnClose() { Default(); }

// Enter and Escape do not close the panel.
void CPanelDlg::OnOK() {}
void CPanelDlg::OnCancel() {}
