#include "host/video_dlg.h"
#include <cstring>
#include "decoder/dvrctl.h"
#include "framework/app.h"
#include "framework/exceptions.h"
#include "host/event_fetch.h"
#include "host/messages.h"
#include "host/path_limits.h"
#include "host/source_selection.h"
#include "host/view_messages.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CVideoDlg, CDialog)
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_PANEL_COMMAND, OnPanelCommand)
    ON_MESSAGE(WM_FETCH_INDEX, OnFetchIndex)
    ON_MESSAGE(WM_VIEW_PROPERTY, OnViewProperty)
    ON_MESSAGE(WM_REVIEW_COMMAND, OnReviewCommand)
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CVideoDlg, CDialog)
    ON_EVENT(IDC_DECODER, DVR_EVENT_STATE_CHANGE, OnStateChange)
    ON_EVENT(IDC_DECODER, DVR_EVENT_POSITION_CHANGE, OnPositionChange)
END_EVENTSINK_MAP()

CVideoDlg::CVideoDlg(CWnd* pParent)
    : CDialog(IDD_VIDEO, pParent),
      m_hIcon(LoadIconA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_nStartOffset(0)
{
    m_szPath[0] = '\0';
}

bool CVideoDlg::SetCommandLinePath(const char* path) { return CopyPathOrRefuse(m_szPath, sizeof m_szPath, path); }

void CVideoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DECODER, m_decoder);
}

BOOL CVideoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    // The panel sees the path in its own initialisation, so it goes in first,
    // without its quotes: only the path itself has to fit the panel's buffer.
    if (m_szPath[0]) {
        char path[sizeof m_szPath];
        std::memcpy(path, m_szPath, sizeof path);
        StripQuotes(path);
        if (PathFitsOrRefuse(path, CPanelDlg::RECORDING_PATH_SIZE)) m_panel.SetStartPath(path);
    }
    m_panel.Create(this);
    m_panel.ShowWindow(SW_SHOW);
    return TRUE;
}

void CVideoDlg::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (GetDlgItem(IDC_DECODER)) m_decoder.MoveWindow(0, 0, cx, cy, TRUE);
    // Every write of the layout, even of the same value, re-tiles the views for the new size.
    m_decoder.SetViewSplit(m_decoder.GetViewSplit());
}

void CVideoDlg::OnDestroy()
{
    m_decoder.Stop();
    Default();
    if (m_panel.IsWindow()) m_panel.DestroyWindow();
}

// An error the decoder raises ends the command where it stands and replies 0;
// any other failure goes on to the framework's general handling.
LRESULT CVideoDlg::OnPanelCommand(WPARAM wParam, LPARAM lParam)
{
    try {
        RunPanelCommand(wParam, lParam);
    } catch (const COleDispatchException&) {
        return 0;
    }
    return 1;
}

void CVideoDlg::RunPanelCommand(WPARAM code, LPARAM arg)
{
    switch (code) {
    case PCMD_PLAY: m_decoder.Play(); break;
    case PCMD_PAUSE: m_decoder.Pause(); break;
    case PCMD_STOP: m_decoder.Stop(); break;
    case PCMD_SPEED: m_decoder.SetSpeed(static_cast<short>(LOWORD(arg))); break;
    case PCMD_STEP: m_decoder.Step(); break;
    case PCMD_PLAY_AGAIN: m_decoder.PlayAgain(); break;
    case PCMD_OPEN: OpenRecording(reinterpret_cast<const char*>(arg)); break;
    case PCMD_SOURCE: SelectVideoSource(m_decoder); break;
    case PCMD_START_OFFSET: m_nStartOffset = static_cast<int32_t>(arg); break;
    default: break;
    }
}

void CVideoDlg::OpenRecording(const char* path)
{
    m_decoder.SetFileName(path ? path : "");
    m_decoder.SetStartOffset(m_nStartOffset);
    m_decoder.SetOpenMode(1);
    const unsigned mask = static_cast<unsigned long>(m_decoder.GetCameraMask()) & 0xFFFFu;
    // More than one camera is never shown at the smallest size.
    if (mask & (mask - 1)) m_panel.EnsureLargeDisplay();
}

LRESULT CVideoDlg::OnFetchIndex(WPARAM wParam, LPARAM)
{
    return FetchEventIndex(m_decoder, reinterpret_cast<EVENT_INDEX*>(wParam));
}

LRESULT CVideoDlg::OnViewProperty(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case VIEW_SET_SPLIT: m_decoder.SetViewSplit(static_cast<long>(lParam)); return 0;
    case VIEW_GET_SPLIT: return m_decoder.GetViewSplit();
    case VIEW_SET_GROUP: m_decoder.SetViewGroup(static_cast<long>(lParam)); return 0;
    case VIEW_GET_GROUP: return m_decoder.GetViewGroup();
    default: return 0;
    }
}

LRESULT CVideoDlg::OnReviewCommand(WPARAM wParam, LPARAM lParam) { return m_review.Run(m_decoder, wParam, lParam); }

void CVideoDlg::PostToPanel(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_panel.IsWindow()) PostMessageA(m_panel.m_hWnd, message, wParam, lParam);
}

void CVideoDlg::OnStateChange(long type, long value)
{
    if (type == DVR_STATE_VIEW_CHANGED)
        PostToPanel(WM_VIEW_CHANGED, 0, 0);
    else
        PostToPanel(WM_DECODER_STATE, static_cast<WPARAM>(type), value);
}

// The wheel comes to the window with the focus; over the picture it is the decoder's, for its zoom.
LRESULT CVideoDlg::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT rc = {};
    if (DecoderWindow() && GetWindowRect(DecoderWindow(), &rc) && PtInRect(&rc, pt))
        return SendMessageA(DecoderWindow(), WM_MOUSEWHEEL, wParam, lParam);
    return Default();
}

void CVideoDlg::OnPositionChange(long ms)
{
    PostToPanel(WM_DECODER_POSITION, static_cast<WPARAM>(ms), 0);
}
