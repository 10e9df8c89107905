#include "decoder/decode_worker.h"
#include <algorithm>
#include "decoder/frame_decoder.h"
#include "decoder/recording_glue.h"

namespace {

// One a core and one more: the player's own thread mostly waits, and a thread
// more keeps every core decoding while it does (measured: 4 cameras at full
// speed, 1994 pictures a second with three threads on two cores, 1753 with two).
const unsigned kMaxDecodingThreads = 4;

enum class TileState {
    Waiting,     // to be decoded
    Decoding,    // a thread has it
    FromBefore,  // to be settled from the picture before: the same frame, or a failed one's stand-in
    Done,
};

// The tile of a picture of the same recording showing this camera at this size and zoom.
const TilePicture* TileOf(const DecodedPicture& picture, const TilePicture& tile)
{
    for (const TilePicture& other : picture.tiles) {
        if (other.camera == tile.camera && other.cx == tile.cx && other.cy == tile.cy && other.zoom == tile.zoom)
            return &other;
    }
    return nullptr;
}

}  // namespace

// --- CPixelBuffers

std::shared_ptr<TilePixels> CPixelBuffers::Take(size_t n)
{
    std::unique_ptr<TilePixels> buffer;
    {
        std::lock_guard<CThreadLock> guard(m_lock);
        if (!m_free.empty()) {
            buffer = std::move(m_free.back());
            m_free.pop_back();
        }
    }
    if (!buffer)
        buffer = std::make_unique<TilePixels>();
    buffer->resize(n);  // no work at all when the tiles keep their size
    std::shared_ptr<CPixelBuffers> self = shared_from_this();
    return std::shared_ptr<TilePixels>(buffer.release(), [self](TilePixels* p) { self->Give(p); });
}

void CPixelBuffers::Give(TilePixels* pBuffer)
{
    std::unique_ptr<TilePixels> buffer(pBuffer);
    std::lock_guard<CThreadLock> guard(m_lock);
    if (m_free.size() < kMaxKept)
        m_free.push_back(std::move(buffer));
}

// --- CDecodeWorker

struct CDecodeWorker::Job {
    std::shared_ptr<DecodedPicture> picture;
    std::vector<const rec::Frame*> due;  // the frame each tile is due to show; null: none yet
    std::vector<TileState> states;
    std::vector<bool> failed;  // the frame due could not be decoded
    size_t nUnfinished = 0;

    void Finish(size_t i, std::shared_ptr<const TilePixels> pixels, const rec::Frame* pFrame,
                const FrameRegion& crop = FrameRegion())
    {
        picture->tiles[i].pixels = std::move(pixels);
        picture->tiles[i].crop = crop;
        picture->tiles[i].pFrame = pFrame;
        states[i] = TileState::Done;
        --nUnfinished;
    }
};

CDecodeWorker::CDecodeWorker(Deliver deliver, unsigned nThreads) : m_deliver(std::move(deliver))
{
    if (nThreads == 0)
        nThreads = std::max(1u, std::min(std::thread::hardware_concurrency() + 1, kMaxDecodingThreads));
    for (unsigned i = 0; i < nThreads; ++i)
        m_threads.emplace_back([this] { Run(); });
}

CDecodeWorker::~CDecodeWorker()
{
    {
        std::lock_guard<CThreadLock> guard(m_lock);
        m_bStopping = true;
        m_jobs.clear();
    }
    m_work.NotifyAll();
    for (std::thread& thread : m_threads)
        thread.join();
}

bool CDecodeWorker::SameTiles(const PictureRequest& request) const
{
    if (request.recording != m_recording || request.tiles.size() != m_tiles.size())
        return false;
    for (size_t i = 0; i < m_tiles.size(); ++i) {
        const TileRequest &a = request.tiles[i], &b = m_tiles[i];
        if (a.camera != b.camera || a.cx != b.cx || a.cy != b.cy || a.zoom != b.zoom)
            return false;
    }
    return true;
}

std::shared_ptr<CDecodeWorker::Job> CDecodeWorker::MakeJob(int64_t nTimeMs) const
{
    auto job = std::make_shared<Job>();
    job->picture = std::make_shared<DecodedPicture>();
    job->picture->nTimeMs = nTimeMs;
    for (const TileRequest& tile : m_tiles) {
        TilePicture picture;
        picture.camera = tile.camera;
        picture.cx = tile.cx;
        picture.cy = tile.cy;
        picture.zoom = tile.zoom;
        const rec::Stream* pStream = m_recording->streamForCamera(tile.camera);
        const rec::Frame* pDue = pStream ? FrameToShow(*pStream, nTimeMs) : nullptr;
        job->due.push_back(pDue);
        // No frame yet: nothing to show. Otherwise the picture before may have it.
        const bool bDone = pDue == nullptr;
        job->states.push_back(bDone ? TileState::Done : TileState::FromBefore);
        job->nUnfinished += bDone ? 0 : 1;
        job->picture->tiles.push_back(std::move(picture));
    }
    job->failed.assign(m_tiles.size(), false);
    return job;
}

bool CDecodeWorker::ResolveFromBefore()
{
    bool bToDecode = false;
    const DecodedPicture* pLast = m_last && m_lastRecording == m_recording ? m_last.get() : nullptr;
    for (size_t k = 0; k < m_jobs.size(); ++k) {
        Job& job = *m_jobs[k];
        const Job* pBeforeJob = k > 0 ? m_jobs[k - 1].get() : nullptr;
        for (size_t i = 0; i < job.states.size(); ++i) {
            if (job.states[i] != TileState::FromBefore)
                continue;
            // The same tile of the picture before: of the job before, or the
            // last picture delivered. A frame of its own is decoded at once,
            // alongside the job before; the same frame, or a failed frame's
            // stand-in, waits for the job before to settle that tile.
            const TilePicture* pBefore = nullptr;
            if (pBeforeJob) {
                if (!job.failed[i] && pBeforeJob->due[i] != job.due[i]) {
                    job.states[i] = TileState::Waiting;
                    bToDecode = true;
                    continue;
                }
                if (pBeforeJob->states[i] != TileState::Done)
                    continue;
                pBefore = &pBeforeJob->picture->tiles[i];
            } else if (pLast) {
                pBefore = TileOf(*pLast, job.picture->tiles[i]);
                if (pBefore && !job.failed[i] && (!pBefore->pixels || pBefore->pFrame != job.due[i]))
                    pBefore = nullptr;
            }
            if (pBefore || job.failed[i]) {
                // What the camera showed before stays (or nothing, when it showed nothing).
                job.Finish(i, pBefore ? pBefore->pixels : nullptr, pBefore ? pBefore->pFrame : nullptr,
                           pBefore ? pBefore->crop : FrameRegion());
            } else {
                job.states[i] = TileState::Waiting;
                bToDecode = true;
            }
        }
    }
    return bToDecode;
}

std::shared_ptr<CDecodeWorker::Job> CDecodeWorker::JobWithWaitingTile(size_t* pIndex) const
{
    for (const std::shared_ptr<Job>& job : m_jobs) {
        for (size_t i = 0; i < job->states.size(); ++i) {
            if (job->states[i] == TileState::Waiting) {
                *pIndex = i;
                return job;
            }
        }
    }
    return nullptr;
}

std::shared_ptr<DecodedPicture> CDecodeWorker::TakeDeliverable()
{
    if (m_bStopping || m_jobs.empty() || m_jobs.front()->picture->nSerial == 0 ||
        m_jobs.front()->nUnfinished != 0)
        return nullptr;
    std::shared_ptr<DecodedPicture> picture = m_jobs.front()->picture;
    m_jobs.pop_front();
    m_last = picture;
    m_lastRecording = m_recording;
    return picture;
}

void CDecodeWorker::Submit(PictureRequest request)
{
    std::shared_ptr<DecodedPicture> ready;
    {
        std::lock_guard<CThreadLock> guard(m_lock);
        if (m_bStopping)
            return;
        if (!SameTiles(request)) {
            m_jobs.clear();
            m_recording = std::move(request.recording);
            m_tiles = std::move(request.tiles);
        }
        // What was decoded ahead of the picture now wanted is of no more use;
        // if the picture was not among those ahead, none of them is.
        while (!m_jobs.empty() && m_jobs.front()->picture->nTimeMs != request.nTimeMs)
            m_jobs.pop_front();
        if (m_recording) {
            if (m_jobs.empty())
                m_jobs.push_back(MakeJob(request.nTimeMs));
            m_jobs.front()->picture->nSerial = request.nSerial;
            while (m_jobs.size() > size_t(request.nAhead) + 1)
                m_jobs.pop_back();
            while (m_jobs.size() < size_t(request.nAhead) + 1) {
                const int64_t nFrom = m_jobs.back()->picture->nTimeMs;
                const int64_t nNext = request.bBackward ? FrameTimeBefore(*m_recording, nFrom)
                                                        : NextFrameTimeAfter(*m_recording, nFrom);
                if (nNext < 0)
                    break;
                m_jobs.push_back(MakeJob(nNext));
            }
            ResolveFromBefore();
            ready = TakeDeliverable();
        }
    }
    m_work.NotifyAll();  // for the tiles of the pictures that came
    if (ready)
        m_deliver(std::move(ready));
}

void CDecodeWorker::Run()
{
    CFrameDecoder decoder;      // each thread its own
    std::vector<uint8_t> jpeg;  // and its own buffer for a frame's bytes
    std::unique_lock<CThreadLock> lock(m_lock);
    for (;;) {
        size_t index = 0;
        std::shared_ptr<Job> job;
        m_work.Wait(lock, [&] { return m_bStopping || (job = JobWithWaitingTile(&index)) != nullptr; });
        if (m_bStopping)
            return;
        job->states[index] = TileState::Decoding;
        const std::shared_ptr<const rec::Recording> recording = m_recording;
        const TilePicture tile = job->picture->tiles[index];
        const rec::Frame* const pFrame = job->due[index];
        lock.unlock();

        std::shared_ptr<TilePixels> pixels = m_buffers->Take(size_t(tile.cx) * tile.cy);
        bool bDecoded = false;
        FrameRegion crop;
        if (recording->readFrame(*pFrame, jpeg)) {
            ++m_nDecoded;
            // A damaged frame the library still made a picture of is shown.
            const FrameResult result =
                tile.zoom.IsZoomed()
                    ? decoder.DecodeZoomedToTile(jpeg.data(), jpeg.size(), tile.zoom, tile.cx, tile.cy, pixels.get(), &crop)
                    : decoder.DecodeToTile(jpeg.data(), jpeg.size(), tile.cx, tile.cy, pixels.get());
            bDecoded = result != FrameResult::Failed;
        }

        lock.lock();
        if (bDecoded) {
            job->Finish(index, std::move(pixels), pFrame, crop);
        } else {
            job->states[index] = TileState::FromBefore;
            job->failed[index] = true;
        }
        // Tiles that waited on this one may now need decoding: this thread
        // takes one, the others are woken for the rest.
        if (ResolveFromBefore())
            m_work.NotifyAll();
        if (std::shared_ptr<DecodedPicture> ready = TakeDeliverable()) {
            lock.unlock();
            m_deliver(std::move(ready));
            lock.lock();
        }
    }
}
