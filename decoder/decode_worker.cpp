#include "decoder/decode_worker.h"
#include <algorithm>
#include "decoder/frame_decoder.h"
#include "decoder/recording_glue.h"

namespace {

// Enough for a 16-tile view without taking every core from the player.
const unsigned kMaxDecodingThreads = 4;

unsigned PoolSize()
{
    unsigned n = std::thread::hardware_concurrency();
    return std::max(1u, std::min(n, kMaxDecodingThreads));
}

// The tile of pReuse (null: none) that shows this camera at this size.
const TilePicture* LastPictureOf(const std::vector<TilePicture>* pReuse, const TileRequest& tile)
{
    if (!pReuse)
        return nullptr;
    for (const TilePicture& old : *pReuse) {
        if (old.camera == tile.camera && old.cx == tile.cx && old.cy == tile.cy && !old.pixels.empty())
            return &old;
    }
    return nullptr;
}

TilePicture DecodeTile(CFrameDecoder& decoder, const rec::Recording& recording, const TileRequest& tile,
                       int64_t nTimeMs, const std::vector<TilePicture>* pReuse,
                       std::atomic<uint64_t>* pDecoded)
{
    TilePicture picture;
    picture.camera = tile.camera;
    picture.cx = tile.cx;
    picture.cy = tile.cy;
    const rec::Stream* pStream = recording.streamForCamera(tile.camera);
    const rec::Frame* pFrame = pStream ? FrameToShow(*pStream, nTimeMs) : nullptr;
    const TilePicture* pLast = LastPictureOf(pReuse, tile);
    if (pLast && pFrame && pLast->pFrame == pFrame) {
        picture.pixels = pLast->pixels;  // the same frame: no need to decode it again
        picture.pFrame = pFrame;
        return picture;
    }
    std::vector<uint8_t> jpeg;
    if (pFrame && recording.readFrame(*pFrame, jpeg)) {
        ++*pDecoded;
        // A damaged frame the library still made a picture of is shown.
        if (decoder.DecodeToTile(jpeg.data(), jpeg.size(), tile.cx, tile.cy, &picture.pixels) !=
            FrameResult::Failed) {
            picture.pFrame = pFrame;
            return picture;
        }
    }
    // Nothing to show: the camera's last picture stays, and playback goes on.
    if (pLast) {
        picture.pixels = pLast->pixels;
        picture.pFrame = pLast->pFrame;
    }
    return picture;
}

bool SameTiles(const PictureRequest& a, const PictureRequest& b)
{
    if (a.recording != b.recording || a.tiles.size() != b.tiles.size())
        return false;
    for (size_t i = 0; i < a.tiles.size(); ++i) {
        const TileRequest &x = a.tiles[i], &y = b.tiles[i];
        if (x.camera != y.camera || x.cx != y.cx || x.cy != y.cy)
            return false;
    }
    return true;
}

// Whether the picture decoded ahead for `ahead` is the one `request` asks for.
bool IsAheadFor(const PictureRequest& ahead, const PictureRequest& request)
{
    return ahead.recording && ahead.nTimeMs == request.nTimeMs && SameTiles(ahead, request);
}

}  // namespace

// --- CTileDecoderPool

CTileDecoderPool::CTileDecoderPool(unsigned nThreads)
{
    for (unsigned i = 0; i < nThreads; ++i)
        m_threads.emplace_back([this] { Run(); });
}

CTileDecoderPool::~CTileDecoderPool()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopping = true;
    }
    m_work.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

bool CTileDecoderPool::DecodeAll(const PictureRequest& request, const std::vector<TilePicture>* pReuse,
                                 std::vector<TilePicture>* pTiles, const std::atomic<bool>* pAbandon)
{
    pTiles->assign(request.tiles.size(), TilePicture());
    if (pTiles->empty())
        return !(pAbandon && *pAbandon);
    std::unique_lock<std::mutex> guard(m_lock);
    m_pJob = &request;
    m_pReuse = pReuse;
    m_pAbandon = pAbandon;
    m_pOut = pTiles;
    m_nNextTile = 0;
    m_nUnfinished = pTiles->size();
    m_work.notify_all();
    m_done.wait(guard, [this] { return m_nUnfinished == 0; });
    m_pJob = nullptr;
    m_pReuse = nullptr;
    m_pAbandon = nullptr;
    m_pOut = nullptr;
    return !(pAbandon && *pAbandon);
}

bool CTileDecoderPool::TakeTile(size_t* pIndex)
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_work.wait(guard, [this] {
        return m_bStopping || (m_pJob && m_nNextTile < m_pJob->tiles.size());
    });
    if (m_bStopping)
        return false;
    *pIndex = m_nNextTile++;
    return true;
}

void CTileDecoderPool::Run()
{
    CFrameDecoder decoder;  // each thread its own
    size_t index = 0;
    while (TakeTile(&index)) {
        // The job stays put until its last tile is finished, so it is safe to read unlocked.
        const PictureRequest& job = *m_pJob;
        TilePicture picture;
        if (!(m_pAbandon && *m_pAbandon))
            picture = DecodeTile(decoder, *job.recording, job.tiles[index], job.nTimeMs, m_pReuse,
                                 &m_nDecoded);
        std::lock_guard<std::mutex> guard(m_lock);
        (*m_pOut)[index] = std::move(picture);
        if (--m_nUnfinished == 0)
            m_done.notify_one();
    }
}

// --- CDecodeWorker

CDecodeWorker::CDecodeWorker(Deliver deliver)
    : m_deliver(std::move(deliver)), m_pool(PoolSize()), m_thread([this] { Run(); })
{
}

CDecodeWorker::~CDecodeWorker()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopping = true;
        m_bAbandonAhead = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CDecodeWorker::Submit(PictureRequest request)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bDecodingAhead && !IsAheadFor(m_ahead, request))
            m_bAbandonAhead = true;  // that picture will not be wanted
        m_next = std::move(request);
        m_bHasNext = true;
    }
    m_wake.notify_one();
}

bool CDecodeWorker::TakeNext(PictureRequest* pRequest)
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_wake.wait(guard, [this] { return m_bStopping || m_bHasNext; });
    if (m_bStopping)
        return false;
    *pRequest = std::move(m_next);
    m_next = PictureRequest();
    m_bHasNext = false;
    return true;
}

std::shared_ptr<DecodedPicture> CDecodeWorker::Decode(const PictureRequest& request)
{
    std::shared_ptr<DecodedPicture> picture;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_aheadPicture && IsAheadFor(m_ahead, request))
            picture = std::move(m_aheadPicture);
        m_aheadPicture.reset();
        m_ahead = PictureRequest();
    }
    if (!picture) {
        picture = std::make_shared<DecodedPicture>();
        const bool bSameFile = m_last && m_lastRecording == request.recording;
        m_pool.DecodeAll(request, bSameFile ? &m_last->tiles : nullptr, &picture->tiles);
    }
    picture->nSerial = request.nSerial;
    picture->nTimeMs = request.nTimeMs;
    m_last = picture;
    m_lastRecording = request.recording;
    return picture;
}

void CDecodeWorker::DecodeAhead(PictureRequest ahead)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bStopping || (m_bHasNext && !IsAheadFor(ahead, m_next)))
            return;  // something else is already wanted
        m_ahead = ahead;
        m_bDecodingAhead = true;
        m_bAbandonAhead = false;
    }
    auto picture = std::make_shared<DecodedPicture>();
    const bool bWhole = m_pool.DecodeAll(ahead, &m_last->tiles, &picture->tiles, &m_bAbandonAhead);
    std::lock_guard<std::mutex> guard(m_lock);
    m_bDecodingAhead = false;
    if (bWhole)
        m_aheadPicture = std::move(picture);
}

void CDecodeWorker::Run()
{
    PictureRequest request;
    while (TakeNext(&request)) {
        std::shared_ptr<DecodedPicture> picture = Decode(request);
        PictureRequest ahead;
        if (request.nAheadMs >= 0 && request.nAheadMs != request.nTimeMs) {
            ahead.nTimeMs = request.nAheadMs;
            ahead.recording = request.recording;
            ahead.tiles = request.tiles;
        }
        request = PictureRequest();
        m_deliver(std::move(picture));
        if (ahead.recording)
            DecodeAhead(std::move(ahead));
    }
    m_last.reset();
    m_lastRecording.reset();
}
