#include "decoder/motion_search_session.h"
#include "recording/recording.h"

CMotionSearchSession::CMotionSearchSession(std::shared_ptr<const rec::Recording> recording, MotionSearch search,
                                           Listener listener)
    : m_recording(std::move(recording)), m_search(std::move(search)), m_listener(std::move(listener)),
      m_thread([this] { Run(); })
{
}

CMotionSearchSession::~CMotionSearchSession()
{
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void CMotionSearchSession::Found(const MotionHit& hit)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_found.push_back(hit);
    if (m_listener.hits)
        m_listener.hits(MergeHits(m_found, kMergeMs, m_search.minLengthMs));
}

void CMotionSearchSession::Run()
{
    if (m_search.threadStart)
        m_search.threadStart();
    MotionResult result;
    if (m_recording && !m_cancel) {
        MotionSearch search = m_search;
        search.cancel = &m_cancel;
        search.progress = [this](uint64_t done, uint64_t total) {
            if (m_listener.progress && total > 0)
                m_listener.progress(double(done) / double(total));
        };
        search.found = [this](const MotionHit& hit) { Found(hit); };
        result = SearchMotion(*m_recording, search);
        if (m_listener.progress && !m_cancel)
            m_listener.progress(1.0);
    }
    result.cancelled = result.cancelled || m_cancel;
    if (m_listener.finished)
        m_listener.finished(result);
}
