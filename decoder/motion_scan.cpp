#include "decoder/motion_scan.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include "decoder/motion_model.h"
#include "recording/recording.h"

namespace {

const double kLooksPerSecond = 2;
// A thread's stretch is at least this many coarse looks, or one thread does it all.
const size_t kMinLooksPerThread = 64;
const auto kProgressEvery = std::chrono::milliseconds(100);

// What the threads share: the search, where they are, which frames were counted.
struct Shared {
    const rec::Recording& recording;
    const rec::Stream& stream;
    const MotionSearch& search;
    size_t begin, end;  // frames of the whole search
    unsigned step;
    std::atomic<uint64_t> done{0};
    std::unique_ptr<std::atomic<bool>[]> counted {};  // a frame's damage counted once, by whichever thread saw it
    std::atomic<uint64_t> damaged{0}, missing{0}, decoded{0};

    bool Cancelled() const { return search.cancel && search.cancel->load(std::memory_order_relaxed); }
};

// One thread's share: the frames [first, end) looked at on the coarse step, a
// movement that began inside followed past end to its end.
class CStretchScan {
public:
    CStretchScan(Shared& shared, size_t first, size_t end)
        : m_shared(shared), m_first(first), m_end(end), m_model(shared.search.sensitivity),
          m_quiet(shared.search.sensitivity)
    {
    }
    void Run();
    std::vector<MotionHit> TakeHits() { return std::move(m_hits); }

private:
    // Frame f's region into *pSamples; false when it has none (counted).
    bool Look(size_t f, std::vector<uint8_t>* pSamples);
    void Count(size_t f, std::atomic<uint64_t>& counter);
    // The first frame after quiet, up to f, that moved against the quiet background.
    size_t RefineStart(size_t quiet, size_t f, double* pPeak);
    // The last frame from moved, up to f, that did.
    size_t RefineEnd(size_t moved, size_t f, double* pPeak);
    void Emit(size_t first, size_t last, double peak);

    Shared& m_shared;
    size_t m_first, m_end;
    CFrameDecoder m_decoder;
    CMotionModel m_model, m_quiet;  // the background as it goes, and as it was at the last quiet look
    std::vector<uint8_t> m_jpeg, m_coarse, m_fine;
    unsigned m_cx = 0, m_cy = 0;  // of the first region decoded
    std::vector<MotionHit> m_hits;
};

void CStretchScan::Count(size_t f, std::atomic<uint64_t>& counter)
{
    if (!m_shared.counted[f - m_shared.begin].exchange(true))
        counter.fetch_add(1, std::memory_order_relaxed);
}

bool CStretchScan::Look(size_t f, std::vector<uint8_t>* pSamples)
{
    const rec::Frame& frame = m_shared.stream.frames[f];
    if (frame.size == 0) {
        Count(f, m_shared.missing);
        return false;
    }
    unsigned cx = 0, cy = 0;
    const bool bRead = m_shared.recording.readFrame(frame, m_jpeg);
    m_shared.decoded.fetch_add(1, std::memory_order_relaxed);
    if (!bRead || m_decoder.DecodeRegionGrey(m_jpeg.data(), m_jpeg.size(), m_shared.search.region, &cx, &cy,
                                             pSamples) != FrameResult::Decoded) {
        Count(f, m_shared.damaged);
        return false;
    }
    if (m_cx == 0)
        m_cx = cx, m_cy = cy;
    if (cx != m_cx || cy != m_cy) {  // a frame of another size than the camera's
        Count(f, m_shared.damaged);
        return false;
    }
    return true;
}

size_t CStretchScan::RefineStart(size_t quiet, size_t f, double* pPeak)
{
    for (size_t g = quiet + 1; g < f; ++g) {
        if (!Look(g, &m_fine))
            continue;
        const double share = m_quiet.Compare(m_fine.data(), m_fine.size());
        if (m_quiet.IsMotion(share)) {
            *pPeak = std::max(*pPeak, share);
            return g;
        }
    }
    return f;
}

size_t CStretchScan::RefineEnd(size_t moved, size_t f, double* pPeak)
{
    size_t last = moved;
    for (size_t g = moved + 1; g < f; ++g) {
        if (!Look(g, &m_fine))
            continue;
        const double share = m_quiet.Compare(m_fine.data(), m_fine.size());
        if (m_quiet.IsMotion(share)) {
            *pPeak = std::max(*pPeak, share);
            last = g;
        }
    }
    return last;
}

void CStretchScan::Emit(size_t first, size_t last, double peak)
{
    const rec::Stream& stream = m_shared.stream;
    m_hits.push_back({stream.timeOf(first), stream.timeOf(last + 1), peak});
    if (m_shared.search.found)
        m_shared.search.found(m_hits.back());
}

void CStretchScan::Run()
{
    const unsigned step = m_shared.step;
    // A few looks before the stretch to learn the background from, where there are any.
    const size_t warm = size_t(CMotionModel::kWarmFrames) * step;
    size_t f = m_first >= m_shared.begin + warm ? m_first - warm : m_shared.begin;
    bool bRun = false, bQuiet = false;
    size_t lastQuiet = 0, runFirst = 0, runLast = 0;
    double peak = 0;
    for (; f < m_shared.end && (f < m_end || bRun) && !m_shared.Cancelled(); f += step) {
        if (f >= m_first && f < m_end)
            m_shared.done.fetch_add(std::min<size_t>(step, m_end - f), std::memory_order_relaxed);
        if (!Look(f, &m_coarse))
            continue;
        const double share = m_model.Compare(m_coarse.data(), m_coarse.size());
        const bool bMoved = m_model.Warm() && f >= m_first && m_model.IsMotion(share);
        if (bMoved && !bRun) {
            bRun = true;
            peak = share;
            runFirst = bQuiet ? RefineStart(lastQuiet, f, &peak) : f;
        }
        m_model.Learn(m_coarse.data(), m_coarse.size());
        if (bMoved) {
            peak = std::max(peak, share);
            runLast = f;
            continue;
        }
        if (bRun) {
            Emit(runFirst, RefineEnd(runLast, f, &peak), peak);
            bRun = false;
        }
        m_quiet = m_model;
        lastQuiet = f, bQuiet = true;
    }
    if (bRun)
        Emit(runFirst, RefineEnd(runLast, std::min(f, m_shared.end), &peak), peak);
}

// The first frame at or after ms.
size_t FrameFrom(const rec::Stream& stream, int64_t ms)
{
    if (ms <= 0)
        return 0;
    if (ms >= stream.durationMs())
        return stream.frameCount();
    const long i = stream.frameAt(ms);
    if (i < 0)
        return 0;
    return stream.timeOf(uint64_t(i)) < ms ? size_t(i) + 1 : size_t(i);
}

}  // namespace

unsigned CoarseStepFor(const rec::Stream& stream, int64_t minLengthMs)
{
    const double fps = stream.scale ? double(stream.rate) / stream.scale : 25.0;
    const double often = std::round(fps / kLooksPerSecond);
    // Two looks at least inside any movement of minLengthMs.
    const double inside = std::floor(double(std::max<int64_t>(minLengthMs, 0)) * fps / 2000.0);
    return unsigned(std::max(1.0, std::min(often, inside)));
}

std::vector<MotionHit> MergeHits(std::vector<MotionHit> hits, int64_t gapMs, int64_t minLengthMs)
{
    std::sort(hits.begin(), hits.end(), [](const MotionHit& a, const MotionHit& b) { return a.startMs < b.startMs; });
    std::vector<MotionHit> merged;
    for (const MotionHit& hit : hits) {
        if (!merged.empty() && hit.startMs - merged.back().endMs < gapMs) {
            merged.back().endMs = std::max(merged.back().endMs, hit.endMs);
            merged.back().peak = std::max(merged.back().peak, hit.peak);
        } else
            merged.push_back(hit);
    }
    merged.erase(std::remove_if(merged.begin(), merged.end(),
                                [&](const MotionHit& hit) { return hit.endMs - hit.startMs < minLengthMs; }),
                 merged.end());
    return merged;
}

MotionResult SearchMotion(const rec::Recording& recording, const MotionSearch& search)
{
    MotionResult result;
    const rec::Stream* pStream = recording.streamForCamera(search.camera);
    if (!pStream)
        return result;
    Shared shared{recording, *pStream, search, FrameFrom(*pStream, search.fromMs), FrameFrom(*pStream, search.toMs),
                  CoarseStepFor(*pStream, search.minLengthMs)};
    if (shared.end <= shared.begin)
        return result;
    const size_t nFrames = shared.end - shared.begin;
    shared.counted.reset(new std::atomic<bool>[nFrames]());
    // Stretches of whole steps, so that every thread looks at the same frames one would.
    const size_t nLooks = (nFrames + shared.step - 1) / shared.step;
    const size_t nThreads = std::clamp<size_t>(nLooks / kMinLooksPerThread, 1, std::max(1u, search.threads));
    std::vector<std::unique_ptr<CStretchScan>> scans;
    for (size_t t = 0; t < nThreads; ++t) {
        const size_t first = shared.begin + nLooks * t / nThreads * shared.step;
        const size_t end = std::min(shared.end, shared.begin + nLooks * (t + 1) / nThreads * shared.step);
        scans.push_back(std::make_unique<CStretchScan>(shared, first, end));
    }
    std::atomic<size_t> finished{0};
    std::vector<std::thread> threads;
    for (auto& scan : scans)
        threads.emplace_back([&scan, &finished, &search] {
            if (search.threadStart)
                search.threadStart();
            scan->Run();
            finished.fetch_add(1);
        });
    auto lastProgress = std::chrono::steady_clock::now();
    while (finished.load() < threads.size()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (search.progress && std::chrono::steady_clock::now() - lastProgress >= kProgressEvery) {
            search.progress(shared.done.load(), nFrames);
            lastProgress = std::chrono::steady_clock::now();
        }
    }
    for (std::thread& thread : threads)
        thread.join();
    for (auto& scan : scans) {
        std::vector<MotionHit> hits = scan->TakeHits();
        result.hits.insert(result.hits.end(), hits.begin(), hits.end());
    }
    result.hits = MergeHits(std::move(result.hits), kMergeMs, search.minLengthMs);
    result.framesDecoded = shared.decoded, result.damaged = shared.damaged, result.missing = shared.missing;
    result.cancelled = shared.Cancelled();
    return result;
}
