// The panel's construction, initialisation, painting and teardown, and its tables.
#include <olectl.h>
#include <cstring>
#include "host/messages.h"
#include "host/video_dlg.h"
#include "panel/panel_dlg.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CPanelDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_DESTROY()
    ON_CBN_SELCHANGE(IDC_DISPLAY_SIZE, OnSelchangeDisplaySize)
    ON_BN_CLICKED(IDC_OPEN, OnOpen)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_CBN_SELCHANGE(IDC_SPEED, OnSelchangeSpeed)
    ON_BN_CLICKED(IDC_STEP, OnStep)
    ON_BN_CLICKED(IDC_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_SOURCE, OnSource)
    ON_MESSAGE(WM_DECODER_POSITION, OnDecoderPosition)
    ON_MESSAGE(WM_DECODER_STATE, OnDecoderState)
    ON_WM_HSCROLL()
    ON_CBN_SELCHANGE(IDC_EVENT_TYPE, OnSelchangeEventType)
    ON_WM_TIMER()
    ON_CBN_SELCHANGE(IDC_CAMERA_GROUP, OnSelchangeCameraGroup)
    ON_BN_CLICKED(IDC_SPLIT_1, OnSplitButton)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_SPLIT_4, OnSplitButton)
    ON_BN_CLICKED(IDC_SPLIT_8, OnSplitButton)
    ON_BN_CLICKED(IDC_SPLIT_16, OnSplitButton)
    ON_BN_CLICKED(IDC_EXIT, OnExit)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CPanelDlg, CDialog)
    ON_EVENT(IDC_SLIDER, DISPID_MOUSEDOWN, OnSliderMouseDown)
    ON_EVENT(IDC_SLIDER, DISPID_MOUSEUP, OnSliderMouseUp)
END_EVENTSINK_MAP()

// The slider of the common controls library, and the interface the panel drives it by.
static const CLSID CLSID_Slider = {0xF08DF954, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};
static const IID IID_ISlider = {0xF08DF952, 0x8592, 0x11D1, {0xB1, 0x6A, 0x00, 0xC0, 0xF0, 0x28, 0x36, 0x28}};

// Positions of the slider interface's methods, counted from 0 over the three
// IUnknown and four IDispatch methods, and the values the panel gives them.
enum SliderMethod {
    SLIDER_PAGE_STEP = 10,
    SLIDER_SETTING_12 = 12,
    SLIDER_RANGE_MAX = 14,
    SLIDER_RANGE_MIN = 16,
    SLIDER_SETTING_18 = 18,
    SLIDER_SETTING_26 = 26,
    SLIDER_WINDOW = 38,
    SLIDER_SETTING_53 = 53,
};

CPanelDlg::CPanelDlg(CWnd* pParent)
    : CDialog(IDD_PANEL, pParent),
      m_nTimerId(0),
      m_nPlayState(PLAY_IDLE),
      m_nControlSet(CTRL_STOPPED),
      m_hIcon(LoadIconA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_pVideoWnd(nullptr),
      m_hbmOpen(nullptr), m_hbmStop(nullptr), m_hbmPlay(nullptr),
      m_hbmPause(nullptr), m_hbmSource(nullptr), m_hbmStep(nullptr),
      m_hwndSliderArea(nullptr),
      m_hwndPosition(nullptr),
      m_bSliderCtrl(0),
      m_pSlider(nullptr),
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
      m_hbmSplit{nullptr, nullptr, nullptr, nullptr} {
    m_szPath[0] = '\0';
    std::strcpy(m_szTime, "00:00:00");
    std::memset(&m_index, 0, sizeof m_index);
}

CPanelDlg::~CPanelDlg() {
    // The buttons that showed these are gone with the panel's window by now.
    for (HBITMAP bitmap : {m_hbmOpen, m_hbmStop, m_hbmPlay, m_hbmPause, m_hbmSource, m_hbmStep})
        if (bitmap) DeleteObject(bitmap);
}

BOOL CPanelDlg::Create(CVideoDlg* pVideoWnd) {
    m_pVideoWnd = pVideoWnd;
    return CDialog::Create(IDD_PANEL, pVideoWnd);
}

void CPanelDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CAMERA_GROUP, m_cbCameraGroup);
    DDX_Control(pDX, IDC_EVENT_TYPE, m_cbEventType);
    DDX_Control(pDX, IDC_SPEED, m_cbSpeed);
    DDX_Control(pDX, IDC_DISPLAY_SIZE, m_cbDisplaySize);
}

void CPanelDlg::StripQuotes(char* path) {
    const size_t len = std::strlen(path);
    if (len < 2 || path[0] != '"' || path[len - 1] != '"') return;
    std::memmove(path, path + 1, len - 2);
    path[len - 2] = '\0';
}

BOOL CPanelDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetupControls();
    LayoutControls();

    m_bCursorSwapped = 0;
    m_hHandCursor = LoadCursorA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_POINTING_HAND));
    m_hFont = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    m_hBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_hPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));

    m_graph.Attach(GetDlgItem(IDC_GRAPH));
    SendDlgItemMessage(IDC_MINUTES, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessage(IDC_SECONDS, EM_LIMITTEXT, 2, 0);
    m_editMinutes.Attach(GetDlgItem(IDC_MINUTES));
    m_editSeconds.Attach(GetDlgItem(IDC_SECONDS));

    if (m_szPath[0]) {
        // A file from the command line plays two seconds from now.
        StripQuotes(m_szPath);
        m_nPlayState = PLAY_STOPPED;
        m_nTimerId = SetTimer(m_hWnd, 100, 2000, nullptr);
        EnableWindow(GetDlgItem(IDC_OPEN), FALSE);
    } else {
        // Ask for a file as soon as the message loop runs.
        PostClick(IDC_OPEN);
    }
    return TRUE;
}

void CPanelDlg::SetupControls() {
    HINSTANCE res = fw::AfxGetResourceHandle();
    auto bitmap = [res](int id) { return LoadBitmapA(res, MAKEINTRESOURCEA(id)); };
    m_hbmOpen = bitmap(IDB_OPEN);
    m_hbmPlay = bitmap(IDB_PLAY);
    m_hbmStop = bitmap(IDB_STOP);
    m_hbmPause = bitmap(IDB_PAUSE);
    m_hbmSource = bitmap(IDB_SOURCE);
    m_hbmStep = bitmap(IDB_STEP);
    const int splitBitmaps[4] = {IDB_SPLIT_1, IDB_SPLIT_4, IDB_SPLIT_8, IDB_SPLIT_16};
    for (int i = 0; i < 4; ++i) m_hbmSplit[i] = bitmap(splitBitmaps[i]);

    RECT rc = {10, 10, 100, 30};
    if (m_wndSlider.CreateControl(CLSID_Slider, nullptr, WS_VISIBLE, rc, this, IDC_SLIDER) &&
        SUCCEEDED(m_wndSlider.GetControlUnknown()->QueryInterface(IID_ISlider,
                                                                  reinterpret_cast<void**>(&m_pSlider)))) {
        m_bSliderCtrl = 1;
        ::ShowWindow(GetDlgItem(IDC_POSITION_BAR), SW_HIDE);
        m_hwndSliderArea = m_wndSlider.m_hWnd;
        m_hwndPosition = SliderWindow();
        CallSlider(SLIDER_RANGE_MIN, 0);
        CallSlider(SLIDER_RANGE_MAX, 3600);
        CallSlider(SLIDER_SETTING_12, 1);
        CallSlider(SLIDER_PAGE_STEP, 60);
        CallSlider(SLIDER_SETTING_26, 3);
        CallSlider(SLIDER_SETTING_18, 0);
        CallSlider(SLIDER_SETTING_53, 1);
    } else {
        // Without the slider control (or without its interface, which leaves
        // nothing to drive it by) scroll bar 206 serves, on the same scale.
        m_pSlider = nullptr;
        m_wndSlider.DestroyControl();
        m_bSliderCtrl = 0;
        m_hwndSliderArea = m_hwndPosition = GetDlgItem(IDC_POSITION_BAR);
        SendMessageA(m_hwndPosition, SBM_SETRANGE, 0, 3600);
        SCROLLINFO page = {};
        page.cbSize = sizeof page;
        page.fMask = SIF_PAGE;
        page.nPage = 60;
        SendMessageA(m_hwndPosition, SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&page));
    }

    const struct { int id; HBITMAP image; } transport[] = {
        {IDC_OPEN, m_hbmOpen}, {IDC_PLAY, m_hbmPlay}, {IDC_STOP, m_hbmStop},
        {IDC_PAUSE, m_hbmPause}, {IDC_SOURCE, m_hbmSource}, {IDC_STEP, m_hbmStep},
    };
    for (const auto& t : transport)
        SendDlgItemMessage(t.id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(t.image));

    const struct { const char* text; int speed; } speeds[] = {
        {"Full", 0}, {"2x", 2}, {"1x", 1}, {"1/2 x", -2}, {"1/4 x", -4}, {"1/8 x", -8},
    };
    for (const auto& s : speeds) m_cbSpeed.SetItemData(m_cbSpeed.AddString(s.text), static_cast<DWORD_PTR>(s.speed));
    m_cbSpeed.SetCurSel(2);

    for (const char* type : {"Source", "Motion", "GPI"}) m_cbEventType.AddString(type);
    m_cbEventType.SetCurSel(0);

    const int splitButtons[4] = {IDC_SPLIT_1, IDC_SPLIT_4, IDC_SPLIT_8, IDC_SPLIT_16};
    for (int i = 0; i < 4; ++i)
        SendDlgItemMessage(splitButtons[i], BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hbmSplit[i]));
    SendDlgItemMessage(IDC_SPLIT_16, BM_SETCHECK, BST_CHECKED, 0);

    m_cbCameraGroup.AddString("Camera 1-16");
    m_cbCameraGroup.SetCurSel(0);

    for (const char* size : {"320x240", "640x480", "Full screen"}) m_cbDisplaySize.AddString(size);
    m_cbDisplaySize.SetCurSel(1);

    for (int id : {IDC_PLAY, IDC_STEP, IDC_PAUSE, IDC_STOP, IDC_SOURCE, IDC_EVENT_TYPE})
        EnableWindow(GetDlgItem(id), FALSE);
    EnableWindow(GetDlgItem(IDC_SPEED), TRUE);

    if (m_pSlider) m_tipHook.Attach(SliderWindow());
    OnSplitButton();
}

void CPanelDlg::OnPaint() {
    PAINTSTRUCT ps;
    if (IsIconic(m_hWnd)) {
        HDC dc = BeginPaint(m_hWnd, &ps);
        SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        DrawIcon(dc, (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                 (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
        EndPaint(m_hWnd, &ps);
        return;
    }
    HDC dc = BeginPaint(m_hWnd, &ps);
    HGDIOBJ oldBrush = SelectObject(dc, m_hBrush);
    HGDIOBJ oldPen = SelectObject(dc, m_hPen);
    Rectangle(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (m_hFont) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        HGDIOBJ oldFont = SelectObject(dc, m_hFont);
        SetTextColor(dc, RGB(0, 0, 255));
        TextOutA(dc, m_rcTime.left, m_rcTime.top, m_szTime, static_cast<int>(std::strlen(m_szTime)));
        SelectObject(dc, oldFont);
    }
    EndPaint(m_hWnd, &ps);
}

HCURSOR CPanelDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CPanelDlg::OnDestroy() {
    Default();
    if (m_bSliderCtrl) m_tipHook.Detach();
    m_graph.Detach();
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_hFont), static_cast<HGDIOBJ>(m_hBrush), static_cast<HGDIOBJ>(m_hPen)})
        if (object) DeleteObject(object);
    m_hFont = nullptr;
    m_hBrush = nullptr;
    m_hPen = nullptr;
    for (HBITMAP& bitmap : m_hbmSplit) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (m_pSlider) {
        m_pSlider->Release();
        m_pSlider = nullptr;
    }
}

LRESULT CPanelDlg::SendCommand(UINT code, LPARAM arg) {
    if (!m_pVideoWnd || !m_pVideoWnd->IsWindow()) return 0;
    return SendMessageA(m_pVideoWnd->m_hWnd, WM_PANEL_COMMAND, code, arg);
}

LRESULT CPanelDlg::SendView(UINT code, LPARAM value) {
    if (!m_pVideoWnd || !m_pVideoWnd->IsWindow()) return 0;
    return SendMessageA(m_pVideoWnd->m_hWnd, WM_VIEW_PROPERTY, code, value);
}

void CPanelDlg::PostClick(int nID) {
    PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(nID)));
}

HRESULT CPanelDlg::CallSlider(int position, long value) {
    if (!m_pSlider) return E_POINTER;
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, long);
    Method method = reinterpret_cast<Method*>(*reinterpret_cast<void***>(m_pSlider))[position];
    return method(m_pSlider, value);
}

HWND CPanelDlg::SliderWindow() {
    if (!m_pSlider) return nullptr;
    // The window handle travels as a 32-bit OLE_HANDLE; window handles fit in 32 bits.
    using Getter = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, long*);
    Getter getter = reinterpret_cast<Getter*>(*reinterpret_cast<void***>(m_pSlider))[SLIDER_WINDOW];
    long handle = 0;
    if (FAILED(getter(m_pSlider, &handle))) return nullptr;
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}
