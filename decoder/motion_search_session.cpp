#include "decoder/motion_search_session.h"
#include <algorithm>
#include "decoder/motion_model.h"
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

MotionResult CMotionSearchSession::SearchStretch(int64_t startMs, int64_t endMs, int64_t warmMs,
                                                 std::vector<MotionHit>* pAll)
{
    MotionSearch part = m_search;
    part.fromMs = std::max(m_fromMs, startMs - warmMs);
    part.toMs = endMs;
    part.cancel = &m_cancel;
    const double whole = double(m_toMs - m_fromMs);
    part.progress = [&](uint64_t done, uint64_t total) {
        if (m_listener.progress && total > 0)
            m_listener.progress((double(startMs - m_fromMs) + double(endMs - startMs) * done / total) / whole);
    };
    MotionResult result = SearchMotion(*m_recording, part);
    pAll->insert(pAll->end(), result.hits.begin(), result.hits.end());
    return result;
}

void CMotionSearchSession::Run()
{
    if (m_search.threadStart)
        m_search.threadStart();
    MotionResult total;
    const rec::Stream* pStream = m_recording ? m_recording->streamForCamera(m_search.camera) : nullptr;
    if (pStream && pStream->rate > 0) {
        m_fromMs = std::max<int64_t>(m_search.fromMs, 0);
        m_toMs = std::min(m_search.toMs, pStream->durationMs());
        // The looks a stretch learns from before it can tell motion, as time.
        const int64_t warmMs = int64_t(CMotionModel::kWarmFrames) * CoarseStepFor(*pStream, m_search.minLengthMs) *
                                   1000 * pStream->scale / pStream->rate +
                               1;
        std::vector<MotionHit> found;
        for (int64_t start = m_fromMs; start < m_toMs && !m_cancel; start += kStretchMs) {
            const MotionResult part =
                SearchStretch(start, std::min(m_toMs, start + kStretchMs), start > m_fromMs ? warmMs : 0, &found);
            total.framesDecoded += part.framesDecoded, total.damaged += part.damaged, total.missing += part.missing;
            std::vector<MotionHit> merged = MergeHits(found, kMergeMs, m_search.minLengthMs);
            if (!part.hits.empty() && m_listener.hits)
                m_listener.hits(merged);
            total.hits = std::move(merged);
        }
        if (m_listener.progress && !m_cancel)
            m_listener.progress(1.0);
    }
    total.cancelled = m_cancel;
    if (m_listener.finished)
        m_listener.finished(total);
}
