// CDvrControl: the motion search of a region once chosen. It runs on threads
// below the player's priority, so that playing stays smooth; its window fills
// with hits as they are found, and a hit chosen there is asked of the container
// as a seek (the panel seeks as its slider does). The region stays drawn while
// the window is open; closing it, opening another file or the control going
// away ends the search, its threads joined.
#include <algorithm>
#include <thread>
#include "decoder/dvr_control.h"
#include "decoder/motion_search_session.h"
#include "decoder/search_window.h"

namespace {

void LowerThisThread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

unsigned SearchThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

}  // namespace

void CDvrControl::StartSearch(int camera, const FrameRegion& region)
{
    EndSearch(false);
    const rec::Stream* pStream = m_recording ? m_recording->streamForCamera(camera) : nullptr;
    if (!pStream)
        return Recompose();
    const uint64_t serial = ++m_search.serial;
    auto window = std::make_unique<CSearchWindow>();
    CSearchWindow::Events events;
    events.choose = [this](const MotionHit& hit) { AskSeek(hit.startMs); };
    events.cancel = [this] {
        if (m_search.session)
            m_search.session->Cancel();
    };
    // Not at once: the window is inside its own message when it tells this.
    events.close = [this, serial] {
        m_queue.Post([this, serial] {
            if (serial == m_search.serial)
                EndSearch();
        });
    };
    const std::wstring title = L"Motion in camera " + std::to_wstring(camera);
    if (!window->Create(GetAncestor(Window(), GA_ROOT), title, m_recording->startTime().msOfDay, std::move(events)))
        return Recompose();
    m_search.window = std::move(window);
    m_search.camera = camera;
    m_search.region = region;
    m_search.cx = pStream->width, m_search.cy = pStream->height;
    m_search.bDone = false;

    MotionSearch search;
    search.camera = camera;
    search.region = region;
    search.threads = SearchThreads();
    search.threadStart = &LowerThisThread;
    m_search.session = std::make_unique<CMotionSearchSession>(m_recording, search, SearchListener(serial));
    Recompose();
}

CMotionSearchSession::Listener CDvrControl::SearchListener(uint64_t serial)
{
    // On the search's threads: everything goes on to this thread, and what an
    // ended search still posts is dropped there.
    CMotionSearchSession::Listener listener;
    listener.hits = [this, serial](const std::vector<MotionHit>& hits) {
        m_queue.Post([this, serial, hits] {
            if (serial == m_search.serial && m_search.window)
                m_search.window->SetHits(hits);
        });
    };
    listener.progress = [this, serial](double share) {
        m_queue.Post([this, serial, share] {
            if (serial == m_search.serial && m_search.window)
                m_search.window->SetProgress(share);
        });
    };
    listener.finished = [this, serial](const MotionResult& result) {
        m_queue.Post([this, serial, result] {
            if (serial != m_search.serial)
                return;
            m_search.bDone = true;
            if (m_search.window)
                m_search.window->Finish(result);
        });
    };
    return listener;
}

void CDvrControl::EndSearch(bool bRedraw)
{
    const bool bShown = m_search.window || m_search.pickCamera != 0;
    if (GetCapture() == Window() && Window())
        ReleaseCapture();
    m_search.pickCamera = 0;
    m_search.bDragging = false;
    ++m_search.serial;
    m_search.session.reset();  // cancels and joins
    m_search.window.reset();
    m_search.camera = 0;
    if (bRedraw && bShown)
        Recompose();
}

void CDvrControl::AskSeek(int64_t nMs)
{
    // The container seeks as it does for its own controls: it opens the file again there.
    FireEvent(DVR_EVENT_STATE_CHANGE,
              {AxLongVariant(DVR_STATE_SEEK_ASKED), AxLongVariant(LONG(std::clamp<int64_t>(nMs, 0, LONG_MAX)))});
}

void CDvrControl::DrawSearchRegion()
{
    if (!m_message.empty())
        return;  // no tiles on view
    if (m_search.bDragging) {
        const RECT* pTile = SearchTile(m_search.pickCamera);
        RECT drawn = RectBetween(m_search.anchor, m_search.current);
        if (pTile && IntersectRect(&drawn, &drawn, pTile))
            DrawRegionOutline(m_backBuffer, drawn);
        return;
    }
    if (!m_search.window)
        return;
    if (const RECT* pTile = SearchTile(m_search.camera))
        DrawRegionOutline(m_backBuffer, TileRectOfRegion(*pTile, m_search.region,
                                                         ShownPart(m_search.camera, m_search.cx, m_search.cy)));
}
