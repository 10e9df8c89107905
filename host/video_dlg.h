// The video window: the program's main window, a dialog whose one control is
// the decoder, stretched over the whole client area. It owns the control panel
// and turns the panel's messages into decoder calls, and the decoder's events
// into messages posted to the panel.
#pragma once
#include <cstdint>
#include "framework/dialog.h"
#include "host/review_members.h"
#include "host/stream_decoder.h"
#include "panel/panel_dlg.h"

class CVideoDlg : public CDialog {
public:
    // The command line's path as it comes, quotes and all: room for the longest
    // path the panel takes (RECORDING_PATH_SIZE) in quotes, and more, so that a
    // longer one arrives whole and is refused rather than cut.
    static constexpr size_t COMMAND_LINE_PATH_SIZE = 300;
    static_assert(COMMAND_LINE_PATH_SIZE >= CPanelDlg::RECORDING_PATH_SIZE + 2, "a quoted recording path fits");

    explicit CVideoDlg(CWnd* pParent = nullptr);

    // The command line's path, given by start-up before the run: copied whole,
    // or refused with a message (and the path left empty) when it does not fit.
    bool SetCommandLinePath(const char* path);
    const char* CommandLinePath() const { return m_szPath; }
    // What start-up and the tests look at from outside.
    CPanelDlg& Panel() { return m_panel; }
    const CPanelDlg& Panel() const { return m_panel; }
    HWND DecoderWindow() const { return m_decoder.m_hWnd; }
    HICON Icon() const { return m_hIcon; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnPanelCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnFetchIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnViewProperty(WPARAM wParam, LPARAM lParam);
    LRESULT OnReviewCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnStateChange(long type, long value);
    void OnPositionChange(long ms);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    char m_szPath[COMMAND_LINE_PATH_SIZE];  // recording path from the command line
    CStreamDecoder m_decoder;               // bound to the decoder control when the dialog initialises
    CPanelDlg m_panel;
    HICON m_hIcon;
    int32_t m_nStartOffset;   // ms, for the next open; set only by PCMD_START_OFFSET
    CReviewMembers m_review;  // the decoder's optional members for reviewing

    void RunPanelCommand(WPARAM code, LPARAM arg);
    void OpenRecording(const char* path);
    void PostToPanel(UINT message, WPARAM wParam, LPARAM lParam);
};
