// The threads that turn picture times into tile pictures.
//
// The control submits the picture it wants on view. A few decoding threads
// take its tiles, and then, while the control composes and draws, those of
// the pictures likely to be asked for next: the recording's next frame times,
// with the same tiles, as many as the request says. A picture goes to the
// deliver callback, on the thread that finished its last tile, once it is
// whole and wanted. A request for a picture decoded ahead is answered at once;
// a request for anything else abandons what was decoded ahead (tiles being
// decoded finish, no new ones start). Threads take the wanted picture's tiles
// first, so that decoding ahead never delays it.
//
// Two rules spare work and keep the view steady. A tile whose camera shows the
// same frame as in the picture before, at the same size and zoom, shares that
// picture's pixels rather than being decoded again (cameras seldom record at
// the same moments). And a frame that cannot be decoded leaves that camera's
// picture before on view.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <vector>
#include "framework/axserver/thread_sync.h"
#include "decoder/zoom.h"
#include "recording/recording.h"

struct TileRequest {
    int camera;  // 1..16, present in the recording
    unsigned cx, cy;
    ZoomView zoom;  // the part of the frame shown; the whole frame unless zoomed
};

struct PictureRequest {
    uint64_t nSerial = 0;  // above 0, rising from request to request
    int64_t nTimeMs = 0;
    unsigned nAhead = 0;     // pictures to decode ahead: the next frame times after nTimeMs
    bool bBackward = false;  // ahead means before nTimeMs: playing backward
    std::shared_ptr<const rec::Recording> recording;
    std::vector<TileRequest> tiles;
};

using TilePixels = std::vector<uint32_t>;

struct TilePicture {
    int camera = 0;
    unsigned cx = 0, cy = 0;
    ZoomView zoom;
    FrameRegion crop;  // when zoomed, the part of the frame the pixels show, in its pixels
    // cx * cy pixels, 0xFFRRGGBB, top row first; null: nothing to show. Shared
    // by the pictures that show the same frame.
    std::shared_ptr<const TilePixels> pixels;
    // The frame shown, in the request's recording; when the frame due could
    // not be decoded, still that of the picture kept on view.
    const rec::Frame* pFrame = nullptr;
};

struct DecodedPicture {
    uint64_t nSerial = 0;
    int64_t nTimeMs = 0;
    std::vector<TilePicture> tiles;  // in the request's order
};

// Tile pixel buffers kept for reuse. Under Wine the heap gives a large block
// back to the system when it is freed, and taking one again costs more than
// decoding into it (0.57 ms for 640 x 480, 0.1 ms for 320 x 240): a buffer
// goes back here when the last picture showing it lets go.
class CPixelBuffers : public std::enable_shared_from_this<CPixelBuffers> {
public:
    // A buffer of n pixels, their values undefined.
    std::shared_ptr<TilePixels> Take(size_t n);

private:
    void Give(TilePixels* pBuffer);

    static const size_t kMaxKept = 128;  // a 16-tile view's pictures in flight, and more
    CThreadLock m_lock;
    std::vector<std::unique_ptr<TilePixels>> m_free;  // guarded by m_lock
};

class CDecodeWorker {
public:
    using Deliver = std::function<void(std::shared_ptr<DecodedPicture>)>;

    // nThreads 0: one a core and one more, at most four.
    explicit CDecodeWorker(Deliver deliver, unsigned nThreads = 0);
    // Waits for the tiles being decoded; nothing more is delivered.
    ~CDecodeWorker();
    CDecodeWorker(const CDecodeWorker&) = delete;
    CDecodeWorker& operator=(const CDecodeWorker&) = delete;

    void Submit(PictureRequest request);
    // Frames decoded so far (shared tiles not counted).
    uint64_t FramesDecoded() const { return m_nDecoded; }

private:
    struct Job;
    void Run();
    bool SameTiles(const PictureRequest& request) const;
    std::shared_ptr<Job> MakeJob(int64_t nTimeMs) const;
    // Settles the tiles that wait on the picture before them; true when some
    // turned out to need decoding.
    bool ResolveFromBefore();
    std::shared_ptr<Job> JobWithWaitingTile(size_t* pIndex) const;
    // The wanted picture, if whole: taken out, and remembered as the last one.
    std::shared_ptr<DecodedPicture> TakeDeliverable();

    Deliver m_deliver;
    // Shared with the pictures' pixels, which may outlive the worker.
    const std::shared_ptr<CPixelBuffers> m_buffers = std::make_shared<CPixelBuffers>();
    CThreadLock m_lock;
    CThreadCondition m_work;
    // All below guarded by m_lock.
    std::shared_ptr<const rec::Recording> m_recording;  // of the jobs
    std::vector<TileRequest> m_tiles;                   // of every job
    // The wanted picture first (when it is not delivered yet), then those ahead.
    std::deque<std::shared_ptr<Job>> m_jobs;
    std::shared_ptr<const DecodedPicture> m_last;           // the last one delivered
    std::shared_ptr<const rec::Recording> m_lastRecording;  // its; kept, so that its frames stay put
    bool m_bStopping = false;
    std::atomic<uint64_t> m_nDecoded{0};
    std::vector<std::thread> m_threads;  // last, so that they start after everything above
};
