// The panel's construction, initialisation, painting and teardown, and its tables.
#include <olectl.h>
#include <cstring>
#include "domain/event_type.h"
#include "framework/gdi.h"
#include "host/messages.h"
#include "host/view_messages.h"
#include "panel/panel_dlg.h"
#include "res/resource.h"

// Grouped by the file that handles the messages.
BEGIN_MESSAGE_MAP(CPanelDlg, CDialog)
    // panel_init.cpp
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_DESTROY()
    // panel_transport.cpp
    ON_BN_CLICKED(IDC_OPEN, OnOpen)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_STEP, OnStep)
    ON_BN_CLICKED(IDC_SOURCE, OnSource)
    ON_CBN_SELCHANGE(IDC_SPEED, OnSelchangeSpeed)
    ON_MESSAGE(WM_DECODER_STATE, OnDecoderState)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_EXIT, OnExit)
    // panel_seeking.cpp
    ON_MESSAGE(WM_DECODER_POSITION, OnDecoderPosition)
    ON_WM_HSCROLL()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    // panel_graph.cpp
    ON_CBN_SELCHANGE(IDC_EVENT_TYPE, OnSelchangeEventType)
    ON_CBN_SELCHANGE(IDC_CAMERA_GROUP, OnSelchangeCameraGroup)
    ON_BN_CLICKED(IDC_SPLIT_1, OnSplitButton)
    ON_BN_CLICKED(IDC_SPLIT_4, OnSplitButton)
    ON_BN_CLICKED(IDC_SPLIT_8, OnSplitButton)
    ON_BN_CLICKED(IDC_SPLIT_16, OnSplitButton)
    ON_MESSAGE(WM_VIEW_CHANGED, OnViewChanged)
    // panel_placement.cpp
    ON_CBN_SELCHANGE(IDC_DISPLAY_SIZE, OnSelchangeDisplaySize)
END_MESSAGE_MAP()

// The slider's mouse events, handled in panel_seeking.cpp.
BEGIN_EVENTSINK_MAP(CPanelDlg, CDialog)
    ON_EVENT(IDC_SLIDER, DISPID_MOUSEDOWN, OnSliderMouseDown)
    ON_EVENT(IDC_SLIDER, DISPID_MOUSEUP, OnSliderMouseUp)
END_EVENTSINK_MAP()

CPanelDlg::CPanelDlg(CWnd* pParent)
    : CDialog(IDD_PANEL, pParent),
      m_nTimerId(0),
      m_nPlayState(PLAY_IDLE),
      m_nControlSet(CTRL_STOPPED),
      m_hIcon(LoadIconA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_hwndVideo(nullptr),
      m_hbmOpen(nullptr), m_hbmStop(nullptr), m_hbmPlay(nullptr),
      m_hbmPause(nullptr), m_hbmSource(nullptr), m_hbmStep(nullptr),
      m_nStartOffset(0),
      m_bDragging(0),
      m_nLastOffset(0),
      m_hFont(nullptr),
      m_rcTime{0, 0, 0, 0},
      m_hBrush(nullptr),
      m_hPen(nullptr),
      m_rcTimeClick{0, 0, 0, 0},
      m_hHandCursor(nullptr),
      m_hSavedCursor(nullptr),
      m_bCursorSwapped(0),
      m_hbmSplit{nullptr, nullptr, nullptr, nullptr},
      m_hwndGraphTip(nullptr)
{
    m_szPath[0] = '\0';
    m_szIndexPath[0] = '\0';
    m_szGraphTip[0] = '\0';
    std::strcpy(m_szTime, "00:00:00");
    std::memset(&m_index, 0, sizeof m_index);
}

namespace {

// Deletes a GDI object the panel made, and forgets it.
template <class T>
void DeleteAndForget(T& hObject)
{
    if (hObject) DeleteObject(hObject);
    hObject = nullptr;
}

}  // namespace

CPanelDlg::~CPanelDlg()
{
    // The buttons that showed these are gone with the panel's window by now.
    for (HBITMAP* bitmap : {&m_hbmOpen, &m_hbmStop, &m_hbmPlay, &m_hbmPause, &m_hbmSource, &m_hbmStep})
        DeleteAndForget(*bitmap);
}

BOOL CPanelDlg::SetStartPath(const char* path)
{
    const size_t length = path ? std::strlen(path) : 0;
    if (length >= sizeof m_szPath) {
        m_szPath[0] = '\0';
        return FALSE;
    }
    std::memcpy(m_szPath, path ? path : "", length + 1);
    return TRUE;
}

BOOL CPanelDlg::Create(CWnd* pVideoWnd)
{
    m_hwndVideo = pVideoWnd ? pVideoWnd->m_hWnd : nullptr;
    return CDialog::Create(IDD_PANEL, pVideoWnd);
}

void CPanelDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CAMERA_GROUP, m_cbCameraGroup);
    DDX_Control(pDX, IDC_EVENT_TYPE, m_cbEventType);
    DDX_Control(pDX, IDC_SPEED, m_cbSpeed);
    DDX_Control(pDX, IDC_DISPLAY_SIZE, m_cbDisplaySize);
}

BOOL CPanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetupControls();
    LayoutControls();
    InstallKeys();

    m_bCursorSwapped = 0;
    m_hHandCursor = LoadCursorA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_POINTING_HAND));
    m_hFont = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    m_hBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_hPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));

    m_graph.Attach(GetDlgItem(IDC_GRAPH));
    CreateGraphTip();
    SendDlgItemMessage(IDC_MINUTES, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessage(IDC_SECONDS, EM_LIMITTEXT, 2, 0);
    m_editMinutes.Attach(GetDlgItem(IDC_MINUTES));
    m_editSeconds.Attach(GetDlgItem(IDC_SECONDS));

    if (m_szPath[0]) {
        // A file from the command line plays two seconds from now.
        m_nPlayState = PLAY_STOPPED;
        m_nTimerId = SetTimer(m_hWnd, 100, 2000, nullptr);
        EnableWindow(GetDlgItem(IDC_OPEN), FALSE);
    } else {
        // Ask for a file as soon as the message loop runs.
        PostClick(IDC_OPEN);
    }
    return TRUE;
}

void CPanelDlg::SetupControls()
{
    // The transport buttons' images, kept in their members until the panel goes.
    const struct {
        int nButton;
        int nBitmap;
        HBITMAP* phbm;
    } transport[] = {
        {IDC_OPEN, IDB_OPEN, &m_hbmOpen},
        {IDC_PLAY, IDB_PLAY, &m_hbmPlay},
        {IDC_STOP, IDB_STOP, &m_hbmStop},
        {IDC_PAUSE, IDB_PAUSE, &m_hbmPause},
        {IDC_SOURCE, IDB_SOURCE, &m_hbmSource},
        {IDC_STEP, IDB_STEP, &m_hbmStep},
    };
    for (const auto& t : transport) *t.phbm = LoadBitmapA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(t.nBitmap));

    m_positionCtrl.Create(this, IDC_SLIDER, GetDlgItem(IDC_POSITION_BAR));

    for (const auto& t : transport)
        SendDlgItemMessage(t.nButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(*t.phbm));

    const struct {
        const char* text;
        int speed;
    } speeds[] = {
        {"Full", 0},
        {"2x", 2},
        {"1x", 1},
        {"1/2 x", -2},
        {"1/4 x", -4},
        {"1/8 x", -8},
    };
    for (const auto& s : speeds) m_cbSpeed.SetItemData(m_cbSpeed.AddString(s.text), static_cast<DWORD_PTR>(s.speed));
    m_cbSpeed.SetCurSel(2);

    for (domain::EventType type : domain::kEventTypes) m_cbEventType.AddString(domain::EventTypeName(type));
    m_cbEventType.SetCurSel(0);

    SetupSplitButtons();

    m_cbCameraGroup.AddString("Camera 1-16");
    m_cbCameraGroup.SetCurSel(0);

    for (const char* size : {"320x240", "640x480", "Full screen"}) m_cbDisplaySize.AddString(size);
    m_cbDisplaySize.SetCurSel(1);

    for (int id : {IDC_PLAY, IDC_STEP, IDC_PAUSE, IDC_STOP, IDC_SOURCE, IDC_EVENT_TYPE})
        EnableWindow(GetDlgItem(id), FALSE);
    EnableWindow(GetDlgItem(IDC_SPEED), TRUE);

    OnSplitButton();
}

void CPanelDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (IsIconic(m_hWnd))
        PaintIcon(dc);
    else
        PaintContent(dc, ps.rcPaint);
    EndPaint(m_hWnd, &ps);
}

// Minimised, the panel shows its icon centred, the usual way.
void CPanelDlg::PaintIcon(HDC dc)
{
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    DrawIcon(dc, (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2, (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2,
             m_hIcon);
}

// The button face over what needs painting, then the time text in blue. Its
// background stays opaque, so the text cells take the button face too.
void CPanelDlg::PaintContent(HDC dc, const RECT& rcPaint)
{
    {
        CScopedSelect brush(dc, m_hBrush);
        CScopedSelect pen(dc, m_hPen);
        Rectangle(dc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
    }
    if (!m_hFont) return;
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    CScopedSelect font(dc, m_hFont);
    SetTextColor(dc, RGB(0, 0, 255));
    TextOutA(dc, m_rcTime.left, m_rcTime.top, m_szTime, static_cast<int>(std::strlen(m_szTime)));
}

HCURSOR CPanelDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CPanelDlg::OnDestroy()
{
    RemoveKeys();
    Default();
    m_positionCtrl.Destroy();
    m_graph.Detach();
    // Owned by the panel, the tooltip goes with it at the latest.
    if (m_hwndGraphTip && ::IsWindow(m_hwndGraphTip)) ::DestroyWindow(m_hwndGraphTip);
    m_hwndGraphTip = nullptr;
    DeleteAndForget(m_hFont);
    DeleteAndForget(m_hBrush);
    DeleteAndForget(m_hPen);
    for (HBITMAP& bitmap : m_hbmSplit) DeleteAndForget(bitmap);
}

HWND CPanelDlg::VideoWindow() const { return m_hwndVideo && ::IsWindow(m_hwndVideo) ? m_hwndVideo : nullptr; }

LRESULT CPanelDlg::SendToVideo(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND video = VideoWindow();
    return video ? SendMessageA(video, message, wParam, lParam) : 0;
}

LRESULT CPanelDlg::SendCommand(UINT code, LPARAM arg) { return SendToVideo(WM_PANEL_COMMAND, code, arg); }

LRESULT CPanelDlg::SendView(UINT code, LPARAM value) { return SendToVideo(WM_VIEW_PROPERTY, code, value); }

void CPanelDlg::PostClick(int nID)
{
    PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(nID)));
}
