// CAxControl: in-place activation and the control's window.
#include "framework/axserver/ax_control.h"
#include "framework/axserver/ax_module.h"

using Microsoft::WRL::ComPtr;

namespace {

const char kWindowClass[] = "VorplexAxControl";

bool RegisterControlClass(WNDPROC proc)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = AxThisModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClass;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void CAxControl::UnregisterWindowClass()
{
    // Refused while another control has a window; the last one out takes the
    // class, so that an unloaded DLL leaves no class pointing into it.
    UnregisterClassA(kWindowClass, AxThisModule());
}

// --- Activation

HRESULT CAxControl::ActivateInPlace(IOleClientSite* pActiveSite, HWND hwndParent,
                                    LPCRECT prcPosRect, bool bUIActivate)
{
    if (!m_pInPlaceSite) {
        HRESULT hr = ConnectInPlaceSite(pActiveSite ? pActiveSite : m_pClientSite.Get());
        if (FAILED(hr))
            return hr;
    }
    // Also when the parent destroyed our window while we stayed active.
    if (!m_hWnd) {
        HRESULT hr = CreateControlWindow(hwndParent, prcPosRect);
        if (FAILED(hr)) {
            InPlaceDeactivate();
            return hr;
        }
    }
    ShowWindow(m_hWnd, SW_SHOW);
    if (bUIActivate)
        ActivateUI();
    return S_OK;
}

HRESULT CAxControl::ConnectInPlaceSite(IOleClientSite* pSite)
{
    if (!pSite)
        return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> pInPlaceSite;
    HRESULT hr = pSite->QueryInterface(IID_PPV_ARGS(&pInPlaceSite));
    if (FAILED(hr))
        return hr;
    if (pInPlaceSite->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    m_pInPlaceSite = pInPlaceSite;
    m_pInPlaceSite->OnInPlaceActivate();
    return S_OK;
}

HRESULT CAxControl::CreateControlWindow(HWND hwndParent, LPCRECT prcPosRect)
{
    // The site's window and position rule; DoVerb's are the fallback.
    HWND hwndSite = nullptr;
    if (SUCCEEDED(m_pInPlaceSite->GetWindow(&hwndSite)) && hwndSite)
        hwndParent = hwndSite;
    ComPtr<IOleInPlaceFrame> pFrame;
    ComPtr<IOleInPlaceUIWindow> pDoc;
    RECT rcPos = {}, rcClip = {};
    OLEINPLACEFRAMEINFO frameInfo = {sizeof(frameInfo)};
    if (SUCCEEDED(m_pInPlaceSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &frameInfo)))
        prcPosRect = &rcPos;
    if (!hwndParent)
        return E_UNEXPECTED;
    if (prcPosRect)
        m_rcPos = *prcPosRect;

    if (!RegisterControlClass(&CAxControl::WindowProc))
        return HRESULT_FROM_WIN32(GetLastError());
    HWND hwnd = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                m_rcPos.left, m_rcPos.top, m_rcPos.right - m_rcPos.left,
                                m_rcPos.bottom - m_rcPos.top, hwndParent, nullptr, AxThisModule(),
                                this);
    if (!hwnd)
        return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;  // m_hWnd was set by WM_NCCREATE
}

void CAxControl::DestroyControlWindow()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);  // WM_NCDESTROY clears m_hWnd
}

void CAxControl::ActivateUI()
{
    if (m_bUIActive)
        return;
    m_bUIActive = true;
    m_pInPlaceSite->OnUIActivate();
    SetActiveObjectOnFrame(this);
    if (m_hWnd)
        SetFocus(m_hWnd);
}

void CAxControl::SetActiveObjectOnFrame(IOleInPlaceActiveObject* pActive)
{
    ComPtr<IOleInPlaceFrame> pFrame;
    ComPtr<IOleInPlaceUIWindow> pDoc;
    RECT rcPos = {}, rcClip = {};
    OLEINPLACEFRAMEINFO frameInfo = {sizeof(frameInfo)};
    if (FAILED(m_pInPlaceSite->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &frameInfo)))
        return;
    if (pFrame)
        pFrame->SetActiveObject(pActive, nullptr);
    if (pDoc)
        pDoc->SetActiveObject(pActive, nullptr);
}

// --- IOleWindow

STDMETHODIMP CAxControl::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP CAxControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// --- IOleInPlaceObject

STDMETHODIMP CAxControl::InPlaceDeactivate()
{
    if (!m_pInPlaceSite)
        return S_OK;
    UIDeactivate();
    DestroyControlWindow();
    // Taken out of the member before the call: the site may release us from inside it.
    ComPtr<IOleInPlaceSite> pSite;
    pSite.Swap(m_pInPlaceSite);
    pSite->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP CAxControl::UIDeactivate()
{
    if (!m_bUIActive)
        return S_OK;
    m_bUIActive = false;
    SetActiveObjectOnFrame(nullptr);
    m_pInPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP CAxControl::SetObjectRects(LPCRECT lprcPosRect, LPCRECT)
{
    if (!lprcPosRect)
        return E_POINTER;
    m_rcPos = *lprcPosRect;
    if (m_hWnd)
        MoveWindow(m_hWnd, m_rcPos.left, m_rcPos.top, m_rcPos.right - m_rcPos.left,
                   m_rcPos.bottom - m_rcPos.top, TRUE);
    return S_OK;
}

STDMETHODIMP CAxControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

// --- IOleInPlaceActiveObject

STDMETHODIMP CAxControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP CAxControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CAxControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CAxControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP CAxControl::EnableModeless(BOOL) { return S_OK; }

// --- The window

void CAxControl::RememberWindowPosition()
{
    RECT rc;
    if (!GetWindowRect(m_hWnd, &rc))
        return;
    MapWindowPoints(HWND_DESKTOP, GetParent(m_hWnd), reinterpret_cast<POINT*>(&rc), 2);
    m_rcPos = rc;
}

LRESULT CAxControl::HandleWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_WINDOWPOSCHANGED)
        RememberWindowPosition();
    LRESULT result = 0;
    bool bHandled = OnWindowMessage(msg, wParam, lParam, &result);
    if (msg == WM_NCDESTROY) {
        // Whoever destroyed the window (we, or the parent going away), it is gone.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
    }
    return bHandled ? result : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CAxControl::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* pCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* pControl = static_cast<CAxControl*>(pCreate->lpCreateParams);
        pControl->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pControl));
    }
    auto* pControl = reinterpret_cast<CAxControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!pControl)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return pControl->HandleWindowMessage(hwnd, msg, wParam, lParam);
}
