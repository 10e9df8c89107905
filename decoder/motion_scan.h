// A search of one camera of a recording for motion inside a region.
//
// The region is decoded alone, grey, small (CFrameDecoder::DecodeRegionGrey).
// Frames are looked at a few a second, a coarse step; where one differs from
// the background (CMotionModel), every frame since the last quiet one is
// decoded to find where the motion starts, and likewise where it ends. Hits
// closer than kMergeMs merge; hits shorter than the minimum length are dropped.
// The time asked for is cut into one stretch a thread; each learns its own
// background from a few frames before its stretch.
//
// Portable, no Windows header: the decoder control and dvrtool share it.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>
#include "decoder/frame_decoder.h"

namespace rec {
class Recording;
struct Stream;
}  // namespace rec

struct MotionHit {
    int64_t startMs = 0;  // from the recording's start: the first frame that moved
    int64_t endMs = 0;    // the end of the last frame that moved
    double peak = 0;      // the largest share of the region that moved at once, 0..1
};

struct MotionSearch {
    int camera = 1;
    FrameRegion region;  // in the camera's pixels; inside its picture
    int64_t fromMs = 0, toMs = INT64_MAX;
    int sensitivity = 5;  // 1..10
    int64_t minLengthMs = 1000;
    unsigned threads = 2;
    // Called on the calling thread about ten times a second while the
    // threads search: frames of the stretch covered so far, of total.
    std::function<void(uint64_t done, uint64_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;  // set: the search stops soon
    // Called first on each thread that searches: a player lowers their
    // priority, so that playing goes on smoothly beside a search.
    std::function<void()> threadStart;
    // Called on the searching threads with each hit as it is found, before
    // hits are merged and short ones dropped; in order of time within one
    // thread's stretch, not across them.
    std::function<void(const MotionHit& hit)> found;
};

struct MotionResult {
    std::vector<MotionHit> hits;  // in order of time
    uint64_t framesDecoded = 0;
    uint64_t damaged = 0;  // frames that would not decode whole, skipped
    uint64_t missing = 0;  // frame slots with no picture
    bool cancelled = false;
};

// Frames between two looks of the coarse pass: about two a second, and never
// so many that a movement of minLengthMs falls between two looks.
unsigned CoarseStepFor(const rec::Stream& stream, int64_t minLengthMs);

// The search; the recording is read from several threads at once.
MotionResult SearchMotion(const rec::Recording& recording, const MotionSearch& search);

// Hits in order of time, with those closer than gapMs joined, then those shorter than minLengthMs dropped.
std::vector<MotionHit> MergeHits(std::vector<MotionHit> hits, int64_t gapMs, int64_t minLengthMs);

constexpr int64_t kMergeMs = 1000;
