// The threads that turn a picture time into tile pictures.
//
// The control submits what it wants on view; a coordinating thread takes the
// newest request and spreads its tiles over a small pool of decoding threads
// (each with its own frame decoder), then hands the whole picture to the deliver
// callback, on the coordinating thread (the control posts it on to its own).
// Only the newest request counts: one submitted while another is being decoded
// replaces any still waiting, so a slow decode never builds a queue behind it.
//
// Two things spare the decoding threads work. A tile whose camera shows the same
// frame as in the last picture, at the same size, is copied from it rather than
// decoded again (cameras seldom record at the same moments). And a request may
// name the picture likely to come next (at full speed, the next frame): it is
// decoded while the control composes this one, and given at once when asked
// for; a request for anything else abandons it.
#pragma once
#include <atomic>
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
    int64_t nAheadMs = -1;  // the picture likely asked for next, with the same tiles; -1 none
    std::shared_ptr<const rec::Recording> recording;
    std::vector<TileRequest> tiles;
};

struct TilePicture {
    int camera = 0;
    unsigned cx = 0, cy = 0;
    std::vector<uint32_t> pixels;  // cx * cy, 0x00RRGGBB, top row first; empty: nothing to show
    // The frame shown, in the request's recording. When the frame due could not
    // be decoded, the camera's last picture stays, and this is still its frame.
    const rec::Frame* pFrame = nullptr;
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

    // Every tile of request into *pTiles, in its order; returns when all are done.
    // Tiles of pReuse (decoded from the same recording, or null) that show the
    // same frame at the same size are copied. Once *pAbandon (if given) is set,
    // no more tiles are started; false then.
    bool DecodeAll(const PictureRequest& request, const std::vector<TilePicture>* pReuse,
                   std::vector<TilePicture>* pTiles, const std::atomic<bool>* pAbandon = nullptr);
    // Frames decoded so far (copies not counted).
    uint64_t FramesDecoded() const { return m_nDecoded; }

private:
    void Run();
    bool TakeTile(size_t* pIndex);

    std::mutex m_lock;
    std::condition_variable m_work;
    std::condition_variable m_done;
    const PictureRequest* m_pJob = nullptr;  // guarded by m_lock, set while DecodeAll runs
    const std::vector<TilePicture>* m_pReuse = nullptr;  // guarded by m_lock
    const std::atomic<bool>* m_pAbandon = nullptr;       // guarded by m_lock
    std::vector<TilePicture>* m_pOut = nullptr;  // guarded by m_lock
    size_t m_nNextTile = 0;   // guarded by m_lock
    size_t m_nUnfinished = 0;  // guarded by m_lock
    bool m_bStopping = false;  // guarded by m_lock
    std::atomic<uint64_t> m_nDecoded{0};
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
    uint64_t FramesDecoded() const { return m_pool.FramesDecoded(); }

private:
    void Run();
    bool TakeNext(PictureRequest* pRequest);
    std::shared_ptr<DecodedPicture> Decode(const PictureRequest& request);
    void DecodeAhead(PictureRequest ahead);

    Deliver m_deliver;
    CTileDecoderPool m_pool;
    std::mutex m_lock;
    std::condition_variable m_wake;
    PictureRequest m_next;  // guarded by m_lock
    bool m_bHasNext = false;  // guarded by m_lock
    bool m_bStopping = false;  // guarded by m_lock
    PictureRequest m_ahead;    // guarded by m_lock: what is or was decoded ahead
    bool m_bDecodingAhead = false;  // guarded by m_lock
    std::atomic<bool> m_bAbandonAhead{false};  // set under m_lock
    // The coordinating thread's own.
    std::shared_ptr<const DecodedPicture> m_last;  // tiles to copy from
    std::shared_ptr<const rec::Recording> m_lastRecording;  // theirs; kept, so that frames stay put
    std::shared_ptr<DecodedPicture> m_aheadPicture;  // decoded for m_ahead, whole
    std::thread m_thread;     // last, so that it starts after everything above
};
