// The thread that turns a picture time into tile pictures.
//
// The control submits what it wants on view; the worker decodes the frame each
// tile's camera shows at that time and hands the result to the deliver callback,
// on the worker's thread (the control posts it on to its own). Only the newest
// request counts: one submitted while another is being decoded replaces any
// still waiting, so a slow decode never builds a queue behind it.
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
    void DecodeUntilStopped();
    bool TakeNext(PictureRequest* pRequest);

    Deliver m_deliver;
    std::mutex m_lock;
    std::condition_variable m_wake;
    PictureRequest m_next;  // guarded by m_lock
    bool m_bHasNext = false;  // guarded by m_lock
    bool m_bStopping = false;  // guarded by m_lock
    std::thread m_thread;     // last, so that it starts after everything above
};
