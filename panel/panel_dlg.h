// The control panel: the modeless dialog under the video window that carries
// every control of the player. The panel never calls the decoder, and knows the
// video window only as a window: it sends it the messages of host/messages.h
// and is posted the decoder's events the same way.
//
// One class, its files by concern:
//   panel_init.cpp       construction, the message tables, initialisation,
//                        painting, teardown, the messages to the video window
//   panel_transport.cpp  open, play, pause, step, stop, speed, decoder state
//   panel_seeking.cpp    the time display, the position control and seeks
//   panel_graph.cpp      the event graph, split layouts and camera groups
//   panel_placement.cpp  the layout of the panel and the display size
//   panel_review.cpp     step back, backward, nudges, event hops, next recording
//   panel_keys.cpp       the keyboard (its keys in key_table.cpp), the key card, notes
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include "framework/controls.h"
#include "framework/dialog.h"
#include "domain/event_type.h"
#include "host/event_index.h"
#include "panel/key_table.h"
#include "panel/play_state.h"
#include "widgets/bar_graph_wnd.h"
#include "widgets/digit_edit.h"
#include "widgets/position_control.h"

class CPanelDlg : public CDialog {
public:
    // The longest path the open-file dialog gives and the system's ANSI file
    // calls take (MAX_PATH), terminator included.
    static constexpr size_t RECORDING_PATH_SIZE = MAX_PATH;

    explicit CPanelDlg(CWnd* pParent = nullptr);
    ~CPanelDlg() override;

    // The recording to play at start, given before Create so that the panel's
    // initialisation sees it. FALSE, and no path kept, when it does not fit.
    BOOL SetStartPath(const char* path);
    // Creates the panel window owned by the video window, its partner from now on.
    BOOL Create(CWnd* pVideoWnd);
    // A 320x240 display becomes 640x480 (a file with several cameras was opened).
    void EnsureLargeDisplay();

    // The time text as it is painted beside the event-type list.
    const char* TimeText() const { return m_szTime; }
    // A key the keyboard hook saw, acted on when it is one of the player's.
    bool TakeKey(const MSG& msg);
    // A wheel turned over the picture goes to the video window, whichever of the panel's
    // windows has the focus.
    void AimWheel(MSG& msg) const;
    // The card that lists every key.
    void ShowKeyCard();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    // Construction and painting.
    void SetupControls();
    void OnPaint();
    void PaintIcon(HDC dc);
    void PaintContent(HDC dc, const RECT& rcPaint);
    HCURSOR OnQueryDragIcon();
    void OnDestroy();

    // Transport.
    void EnableControls(int nSet);
    void OnOpen();
    void OnPlay();
    void OnStop();
    void OnPause();
    void OnStep();
    void OnSource();
    void OnSelchangeSpeed();
    LRESULT OnDecoderState(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnExit();
    void OnClose();
    void RunOpenSequence();
    void NormaliseGpi();
    void PauseWith(UINT nCommand);

    // Position display and seeking.
    void ShowTimeEdits(BOOL bShow);
    LRESULT OnDecoderPosition(WPARAM wParam, LPARAM lParam);
    void SeekTo(int32_t offset);
    void OnSliderMouseDown(short button, short shift, long x, long y);
    void OnSliderMouseUp(short button, short shift, long x, long y);
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hwndScrollBar);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void FormatPositionTime(int32_t shownMs);
    void RepaintTime();

    // Event graph and camera grouping.
    void UpdateEventGraph(int nType);
    void OnSelchangeEventType();
    void OnSelchangeCameraGroup();
    void OnSplitButton();
    LRESULT OnViewChanged(WPARAM wParam, LPARAM lParam);
    void ShowViewGroups(int layout);
    void SetupSplitButtons();
    int CheckedSplitLayout() const;
    // The slot of the graph under a point of the panel, counted from the
    // file's start over its hour, for the event type on view; -1 where there
    // is none (off the graph, past the hour, or an empty graph).
    // The slots drawn in the graph's column under point; false off the graph.
    bool GraphSlotsAt(POINT point, int& first, int& last) const;
    // How long each slot of the type on view lasts, ms.
    int32_t SlotMs() const;
    // A click on the graph seeks to the start of the slot under it, where the
    // position control takes seeks; TRUE when it did.
    BOOL OnGraphClick(POINT point);
    // The graph's tooltip: made once, its text following the pointer.
    TOOLINFOA GraphTool();
    void CreateGraphTip();
    void TrackGraphTip(UINT nFlags, POINT point);
    void FormatGraphTip(int first, int last, char* text, size_t size) const;
    uint32_t SlotCameras(domain::EventType type, int slot) const;

    // Review: moves through time (panel_review.cpp) and the keyboard (panel_keys.cpp).
    bool CanMove() const;  // playing or paused: a place to move from
    LRESULT SendReview(UINT code, LPARAM arg = 0);
    void OnStepBack();
    void OnPlayBackward();
    void OnPlayForward();
    void MoveSpeed(int nStep);
    void SeekBy(int32_t nDeltaMs);
    void SeekToEnd();
    void HopEvent(int nDirection);
    void OpenAdjacentRecording(int nDirection);
    void InstallKeys();
    void RemoveKeys();
    void RunKey(KeyAction action);
    void RunPlayKey(KeyAction action);
    void ShowNote(const char* pszText);

    // Placement.
    void LayoutControls();
    void ApplyDisplaySize();
    void OnSelchangeDisplaySize();

    // The video window, or null once it is gone.
    HWND VideoWindow() const;
    // To the video window, sent; each replies 0 when it is not there.
    LRESULT SendToVideo(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendCommand(UINT code, LPARAM arg = 0);
    LRESULT SendView(UINT code, LPARAM value = 0);
    // A click on one of the panel's buttons, handled once the queue gets to it.
    void PostClick(int nID);

    char m_szPath[RECORDING_PATH_SIZE];  // the recording to open
    UINT_PTR m_nTimerId;                 // the auto-play timer; 0 when none runs
    CComboBox m_cbCameraGroup;           // 1012
    CComboBox m_cbEventType;             // 213
    CComboBox m_cbSpeed;                 // 212
    CComboBox m_cbDisplaySize;           // 214
    int m_nPlayState;                    // PlayState
    int m_nControlSet;                   // the ControlSet applied last
    HICON m_hIcon;
    HWND m_hwndVideo;  // the video window, partner of every message
    HBITMAP m_hbmOpen, m_hbmStop, m_hbmPlay, m_hbmPause, m_hbmSource, m_hbmStep;
    CPositionControl m_positionCtrl;  // the slider, or scroll bar 206 in its place
    int32_t m_nStartOffset;           // ms from the file's start at which the next open begins
    CBarGraphWnd m_graph;             // on static 202
    int m_bDragging;
    int32_t m_nLastOffset;  // ms, of the last position event accepted
    char m_szTime[12];      // the time text
    HFONT m_hFont;
    RECT m_rcTime;  // where the time text is drawn, panel client pixels
    HBRUSH m_hBrush;
    HPEN m_hPen;
    CDigitEdit m_editMinutes;  // edit 230
    CDigitEdit m_editSeconds;  // edit 231
    RECT m_rcTimeClick;        // the clickable part of the time text
    HCURSOR m_hHandCursor;
    HCURSOR m_hSavedCursor;
    int m_bCursorSwapped;
    EVENT_INDEX m_index;                      // the event index of the open file
    HBITMAP m_hbmSplit[4];                    // images of split buttons 1015..1018
    char m_szIndexPath[RECORDING_PATH_SIZE];  // the file m_index was fetched for
    HWND m_hwndGraphTip;                      // the graph's tooltip, owned by the panel
    char m_szGraphTip[128];                   // what it says now
    BOOL m_bBackward = FALSE;                 // the last play asked for was backward
};
