#include "decoder/decode_worker.h"
#include <windows.h>
#include <algorithm>
#include "decoder/recording_glue.h"
#include "decoder/wic_jpeg.h"

namespace {

// Enough for a 16-tile view without taking every core from the player.
const unsigned kMaxDecodingThreads = 4;

unsigned PoolSize()
{
    unsigned n = std::thread::hardware_concurrency();
    return std::max(1u, std::min(n, kMaxDecodingThreads));
}

TilePicture DecodeTile(CWicJpegDecoder& decoder, const rec::Recording& recording,
                       const TileRequest& tile, int64_t nTimeMs)
{
    TilePicture picture;
    picture.camera = tile.camera;
    picture.cx = tile.cx;
    picture.cy = tile.cy;
    const rec::Stream* pStream = recording.streamForCamera(tile.camera);
    const rec::Frame* pFrame = pStream ? FrameToShow(*pStream, nTimeMs) : nullptr;
    std::vector<uint8_t> jpeg;
    if (pFrame && recording.readFrame(*pFrame, jpeg)) {
        // A frame WIC cannot decode leaves the tile undrawn rather than stopping playback.
        if (FAILED(decoder.DecodeScaled(jpeg.data(), jpeg.size(), tile.cx, tile.cy, &picture.pixels)))
            picture.pixels.clear();
    }
    return picture;
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

std::vector<TilePicture> CTileDecoderPool::DecodeAll(const PictureRequest& request)
{
    std::vector<TilePicture> tiles(request.tiles.size());
    if (tiles.empty())
        return tiles;
    std::unique_lock<std::mutex> guard(m_lock);
    m_pJob = &request;
    m_pOut = &tiles;
    m_nNextTile = 0;
    m_nUnfinished = tiles.size();
    m_work.notify_all();
    m_done.wait(guard, [this] { return m_nUnfinished == 0; });
    m_pJob = nullptr;
    m_pOut = nullptr;
    return tiles;
}

void CTileDecoderPool::Run()
{
    // WIC's objects live in this thread's apartment, apart from the control's.
    HRESULT hrCom = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    DecodeTilesUntilStopped();  // its WIC objects are gone before COM is
    if (SUCCEEDED(hrCom))
        CoUninitialize();
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

void CTileDecoderPool::DecodeTilesUntilStopped()
{
    CWicJpegDecoder decoder;
    const bool bDecoderReady = SUCCEEDED(decoder.Init());
    size_t index = 0;
    while (TakeTile(&index)) {
        // The job stays put until its last tile is finished, so it is safe to read unlocked.
        const PictureRequest& job = *m_pJob;
        TilePicture picture;
        if (bDecoderReady)
            picture = DecodeTile(decoder, *job.recording, job.tiles[index], job.nTimeMs);
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
    }
    m_wake.notify_one();
    m_thread.join();
}

void CDecodeWorker::Submit(PictureRequest request)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
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

void CDecodeWorker::Run()
{
    PictureRequest request;
    while (TakeNext(&request)) {
        auto picture = std::make_shared<DecodedPicture>();
        picture->nSerial = request.nSerial;
        picture->nTimeMs = request.nTimeMs;
        picture->tiles = m_pool.DecodeAll(request);
        request = PictureRequest();  // let go of the recording before delivering
        m_deliver(std::move(picture));
    }
}
