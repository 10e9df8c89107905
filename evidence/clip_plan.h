// Which frames a lossless clip of a stretch takes from a recording, and its event blocks.
//
// Each camera contributes the picture on view at the stretch's start (the last picture at or
// before it; the first one when the stretch begins before the camera's first) and every frame
// after it that starts before the stretch's end. A camera with no picture in the stretch is left
// out. The clip starts at the earliest of those pictures; a camera whose first picture comes
// later is held back by empty frame slots, so that every frame keeps its time within a frame.
#pragma once

#include "domain/camera_set.h"
#include "recording/recording.h"

#include <cstdint>
#include <string>
#include <vector>

namespace evidence {

struct ClipRange {
    int64_t fromMs = 0;  // from the source's start; the stretch is [fromMs, toMs)
    int64_t toMs = 0;
    domain::CameraMask cameras = domain::kAllCameras;
};

struct CameraPlan {
    int camera = 0;
    const rec::Stream* stream = nullptr;
    long first = 0;  // source frame indices [first, end)
    long end = 0;
    uint64_t empty = 0;  // empty slots before the first picture in the clip
};

struct ClipPlan {
    int64_t startMs = 0;  // the first picture's time, from the source's start
    std::vector<CameraPlan> cameras;
};

// False with a reason when no camera asked for has a picture in the stretch.
bool planClip(const rec::Recording& source, const ClipRange& range, ClipPlan& plan, std::string& why);

// The source's events of the stretch, moved to the clip's slots (the clip's hour begins at
// plan.startMs). A clip slot takes every source slot that begins in it, and the one it begins in.
struct ClipEvents {
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};
ClipEvents moveEvents(const rec::Recording& source, int64_t startMs, int64_t endMs);

// The source's start time moved on by ms (past midnight the date moves to the next day).
rec::StartTime startTimeAfter(const rec::StartTime& start, int64_t ms);

}  // namespace evidence
