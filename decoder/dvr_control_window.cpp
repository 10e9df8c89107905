// CDvrControl: its window, the view's layout, decoding requests and drawing.
#include "decoder/dvr_control.h"
#include "decoder/layout.h"
#include "decoder/recording_glue.h"

bool CDvrControl::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (OnSearchMessage(msg, wParam, lParam, pResult))  // while a search's region is chosen
        return true;
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return false;
    case WM_SIZE:
        OnSize();
        return false;
    case WM_ERASEBKGND:
        *pResult = 1;  // the back buffer covers everything
        return true;
    case WM_PAINT:
        OnPaint();
        *pResult = 0;
        return true;
    case WM_TIMER:
        if (wParam == kClickTimer) {
            OnClickTimer();
            *pResult = 0;
            return true;
        }
        if (wParam != kPlaybackTimer)
            return false;
        CatchUpScreen();
        OnTick();
        *pResult = 0;
        return true;
    case kTickNowMessage:
        OnTick();
        *pResult = 0;
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
        *pResult = 0;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_CAPTURECHANGED:
        if (!OnMouseMessage(msg, wParam, lParam))
            return false;
        *pResult = 0;
        return true;
    case WM_DESTROY:
        KillTimer(Window(), kPlaybackTimer);
        KillTimer(Window(), kClickTimer);
        EndSearch(false);
        return false;
    default:
        return false;
    }
}

void CDvrControl::OnCreate()
{
    StartDecoding();
    SetTimer(Window(), kPlaybackTimer, kPlaybackTimerMs, nullptr);
    OnSize();
}

void CDvrControl::OnSize()
{
    RECT rc = {};
    GetClientRect(Window(), &rc);
    if (rc.right == m_backBuffer.Width() && rc.bottom == m_backBuffer.Height())
        return;
    m_backBuffer.Resize(rc.right, rc.bottom);
    Relayout();
}

void CDvrControl::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(Window(), &ps);
    if (m_backBuffer.IsEmpty())
        FillRect(hdc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    else
        m_backBuffer.PaintTo(hdc);
    EndPaint(Window(), &ps);
}

void CDvrControl::Present()
{
    const bool bFullSpeed = m_state == State::Playing && m_settings.nSpeed == 0;
    if (bFullSpeed && m_nLastPresentMs >= 0 && m_clock.NowMs() - m_nLastPresentMs < kFullSpeedScreenMs) {
        m_bScreenBehind = true;
        return;
    }
    PresentNow();
}

void CDvrControl::PresentNow()
{
    // Straight to the window rather than through WM_PAINT: at full speed a
    // picture comes every few milliseconds, and invalidating and painting cost
    // more than the drawing itself. WM_PAINT still answers exposure.
    m_bScreenBehind = false;
    m_nLastPresentMs = m_clock.NowMs();
    if (!Window() || !IsWindowVisible(Window()))
        return;
    CClientDC dc(Window());
    if (dc)
        m_backBuffer.PaintTo(dc);
}

void CDvrControl::CatchUpScreen()
{
    if (m_bScreenBehind)
        PresentNow();
}

void CDvrControl::OnClick()
{
    // The container answers a click with Pause; the control only asks.
    FireEvent(DVR_EVENT_STATE_CHANGE, {AxLongVariant(DVR_STATE_PAUSE_CLICK), AxLongVariant(0)});
}

void CDvrControl::Relayout()
{
    std::vector<TileSlot> slots =
        LayOutView(m_settings.nSplit, m_settings.nGroup, m_backBuffer.Width(), m_backBuffer.Height());
    KeepZooms(m_slots, &slots);
    m_slots = std::move(slots);
    RequestPicture();
    Recompose();
}

void CDvrControl::RequestPicture()
{
    if (!m_worker || !m_recording || m_nPictureMs < 0 || m_backBuffer.IsEmpty())
        return;
    PictureRequest request;
    request.nSerial = ++m_nRequestedSerial;
    request.nTimeMs = m_nPictureMs;
    // What playing will most likely ask for next: at full speed the next
    // pictures come as soon as they are decoded, so several are decoded ahead.
    if (m_state == State::Playing)
        request.nAhead = m_settings.nSpeed == 0 ? kPicturesAheadAtFullSpeed : 1;
    request.bBackward = m_pacer.IsBackward();
    request.recording = m_recording;
    const uint32_t nMask = m_recording->cameraMask();
    for (const TileSlot& slot : m_slots) {
        const LONG cx = slot.rc.right - slot.rc.left, cy = slot.rc.bottom - slot.rc.top;
        if (slot.camera != 0 && (nMask & (1u << (slot.camera - 1))) && cx > 0 && cy > 0)
            request.tiles.push_back({slot.camera, unsigned(cx), unsigned(cy), slot.zoom});
    }
    m_worker->Submit(std::move(request));
}

void CDvrControl::PostPicture(std::shared_ptr<DecodedPicture> picture)
{
    m_queue.Post([this, picture] { OnPictureDecoded(picture); });
}

void CDvrControl::OnPictureDecoded(std::shared_ptr<DecodedPicture> picture)
{
    // At full speed each picture asks for the next, which was most likely
    // decoded ahead and comes back at once: those are taken here one after
    // another, rather than each through a round of the message loop (under
    // Wine a message costs a call to the server, and at thousands of pictures
    // a second those calls, not decoding, would set the pace). A few at a time:
    // then the loop has its turn, and the next run goes on from there.
    const bool bOuter = m_run.Begin();
    for (unsigned n = 0; picture && n < kPicturesATurn; ++n) {
        TakePicture(std::move(picture));
        picture = m_run.TakeKept();
    }
    if (bOuter)
        m_run.End();
    if (picture)
        PostPicture(std::move(picture));
}

void CDvrControl::TakePicture(std::shared_ptr<DecodedPicture> picture)
{
    if (picture->nSerial <= m_nShownSerial)
        return;  // made for a file that is no longer open
    m_shown = std::move(picture);
    m_nShownSerial = m_shown->nSerial;
    // At full speed the next picture is asked for at once, before this one is
    // composed, so that decoding it overlaps the drawing of this one.
    if (m_settings.nSpeed == 0 && !IsPicturePending())
        OnTick();
    Recompose();
}

void CDvrControl::Recompose()
{
    ViewScene scene;
    if (m_recording || !m_message.empty())
        scene.slots = m_slots;  // before the first open the window stays black
    scene.pPictures = m_shown ? &m_shown->tiles : nullptr;
    scene.nCameraMask = m_recording ? m_recording->cameraMask() : 0;
    scene.nSelectedCamera = m_settings.nSource + 1;
    scene.nStartOfDayMs = m_recording ? m_recording->startTime().msOfDay : 0;
    scene.message = m_message;
    if (m_recording)
        scene.caption = m_marks.Caption(m_recording->startTime().msOfDay);
    ComposeView(m_backBuffer, scene, m_text);
    DrawSearchRegion();
    Present();
}
