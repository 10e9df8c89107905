// The threads that turn a picture time into tile pictures.
//
// The control submits what it wants on view; a coordinating thread takes the
// newest request and spreads its tiles over a small pool of decoding threads
// (each with its own WIC objects), then hands the whole picture to the deliver
// callback, on the coordinating thread (the control posts it on to its own).
// Only the newest request counts: one submitted while another is being decoded
// replaces any still waiting, so a slow decode never builds a queue behind it.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include "recording/recording.h"

struct TileRequest {
    int camera;  // 1..16, present in the recording
    unsigned cx, cy;
};

struct PictureRequest {
    uint64_t nSerial = 0;
    int64_t nTimeMs = 0;
    std::shared_ptr<const rec::Recording> recording;
    std::vector<TileRequest> tiles;
};

struct TilePicture {
    int camera = 0;
    unsigned cx = 0, cy = 0;
    std::vector<uint32_t> pixels;  // cx * cy, top row first; empty when not decoded
};

struct DecodedPicture {
    uint64_t nSerial = 0;
    int64_t nTimeMs = 0;
    std::vector<TilePicture> tiles;
};

// Decoding threads that share out the tiles of one picture at a time.
class CTileDecoderPool {
public:
    explicit CTileDecoderPool(unsigned nThreads);
    ~CTileDecoderPool();
    CTileDecoderPool(const CTileDecoderPool&) = delete;
    CTileDecoderPool& operator=(const CTileDecoderPool&) = delete;

    // Every tile of request, in its order; returns when all are decoded.
    std::vector<TilePicture> DecodeAll(const PictureRequest& request);

private:
    void Run();
    void DecodeTilesUntilStopped();
    bool TakeTile(size_t* pIndex);

    std::mutex m_lock;
    std::condition_variable m_work;
    std::condition_variable m_done;
    const PictureRequest* m_pJob = nullptr;  // guarded by m_lock, set while DecodeAll runs
    std::vector<TilePicture>* m_pOut = nullptr;  // guarded by m_lock
    size_t m_nNextTile = 0;   // guarded by m_lock
    size_t m_nUnfinished = 0;  // guarded by m_lock
    bool m_bStopping = false;  // guarded by m_lock
    std::vector<std::thread> m_threads;  // last, so that they start after everything above
};

class CDecodeWorker {
public:
    using Deliver = std::function<void(std::shared_ptr<DecodedPicture>)>;

    explicit CDecodeWorker(Deliver deliver);
    // Waits for the picture in hand, if any; what is still waiting is dropped.
    ~CDecodeWorker();
    CDecodeWorker(const CDecodeWorker&) = delete;
    CDecodeWorker& operator=(const CDecodeWorker&) = delete;

    void Submit(PictureRequest request);

private:
    void Run();
    bool TakeNext(PictureRequest* pRequest);

    Deliver m_deliver;
    CTileDecoderPool m_pool;
    std::mutex m_lock;
    std::condition_variable m_wake;
    PictureRequest m_next;  // guarded by m_lock
    bool m_bHasNext = false;  // guarded by m_lock
    bool m_bStopping = false;  // guarded by m_lock
    std::thread m_thread;     // last, so that it starts after everything above
};
