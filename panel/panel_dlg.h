// The control panel: the modeless dialog under the video window that carries
// every control of the player. The panel never calls the decoder; it sends the
// video window the messages of host/messages.h.
//
// One class, its files by concern:
//   panel_init.cpp       construction, initialisation, painting, teardown
//   panel_transport.cpp  open, play, pause, step, stop, speed, decoder state
//   panel_seeking.cpp    the time display, the position control and seeks
//   panel_graph.cpp      the event graph, split layouts and camera groups
//   panel_placement.cpp  the layout of the panel and the display size
#pragma once
#include <windows.h>
#include <cstdint>
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/olecontrol.h"
#include "host/event_index.h"
#include "panel/play_state.h"
#include "widgets/bar_graph_wnd.h"
#include "widgets/digit_edit.h"
#include "widgets/slider_tip_hook.h"

class CVideoDlg;

class CPanelDlg : public CDialog {
public:
    explicit CPanelDlg(CWnd* pParent = nullptr);
    ~CPanelDlg() override;

    // Creates the panel window, owned by the video window (its partner).
    BOOL Create(CVideoDlg* pVideoWnd);
    // A 320x240 display becomes 640x480 (a file with several cameras was opened).
    void EnsureLargeDisplay();

    // Removes one pair of double quotes that encloses the whole path, in place.
    static void StripQuotes(char* path);

    char m_szPath[260];          // the recording to open
    UINT_PTR m_nTimerId;         // the auto-play timer; 0 when none runs
    CComboBox m_cbCameraGroup;   // 1012
    CComboBox m_cbEventType;     // 213
    CComboBox m_cbSpeed;         // 212
    CComboBox m_cbDisplaySize;   // 214
    int m_nPlayState;            // PlayState
    int m_nControlSet;           // the ControlSet applied last
    HICON m_hIcon;
    CVideoDlg* m_pVideoWnd;
    HBITMAP m_hbmOpen, m_hbmStop, m_hbmPlay, m_hbmPause, m_hbmSource, m_hbmStep;
    COleControlWnd m_wndSlider;  // host of the slider control, id 1008
    HWND m_hwndSliderArea;       // the position control as a window to move and enable
    HWND m_hwndPosition;         // the window that position messages go to
    int m_bSliderCtrl;           // 1: the slider control; 0: scroll bar 206
    IDispatch* m_pSlider;        // the slider control's interface; one reference held
    int32_t m_nStartOffset;      // ms from the file's start at which the next open begins
    CSliderTipHook m_tipHook;
    CBarGraphWnd m_graph;        // on static 202
    int m_bDragging;
    int32_t m_nLastOffset;       // ms, of the last position event accepted
    char m_szTime[12];           // the time text
    HFONT m_hFont;
    RECT m_rcTime;               // where the time text is drawn, panel client pixels
    HBRUSH m_hBrush;
    HPEN m_hPen;
    CDigitEdit m_editMinutes;    // edit 230
    CDigitEdit m_editSeconds;    // edit 231
    RECT m_rcTimeClick;          // the clickable part of the time text
    HCURSOR m_hHandCursor;
    HCURSOR m_hSavedCursor;
    int m_bCursorSwapped;
    EVENT_INDEX m_index;         // the event index of the open file
    HBITMAP m_hbmSplit[4];       // images of split buttons 1015..1018

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnOK() override;
    void OnCancel() override;

    // Construction and painting.
    void SetupControls();
    void OnPaint();
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

    // Position display and seeking.
    void ShowTimeEdits(BOOL bShow);
    LRESULT OnDecoderPosition(WPARAM wParam, LPARAM lParam);
    void SeekTo(int32_t offset);
    void OnSliderMouseDown(short button, short shift, long x, long y);
    void OnSliderMouseUp(short button, short shift, long x, long y);
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hwndScrollBar);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);

    // Event graph and camera grouping.
    void UpdateEventGraph(int nType);
    void OnSelchangeEventType();
    void OnSelchangeCameraGroup();
    void OnSplitButton();

    // Placement.
    void LayoutControls();
    void ApplyDisplaySize();
    void OnSelchangeDisplaySize();

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    LRESULT SendCommand(UINT code, LPARAM arg = 0);
    LRESULT SendView(UINT code, LPARAM value = 0);
    void PostClick(int nID);
    void RunOpenSequence();
    void NormaliseGpi();
    void SetPositionControl(int position);
    void FormatPositionTime(int32_t shownMs);
    void RepaintTime();
    int CheckedSplitLayout() const;
    // The slider control's interface methods, by their position in its table.
    HRESULT CallSlider(int position, long value);
    HWND SliderWindow();
};
