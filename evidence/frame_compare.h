// A clip's pictures and events against those the source holds for the same stretch.
#pragma once

#include "evidence/clip_plan.h"
#include "evidence/file_view.h"

#include <functional>
#include <string>

namespace evidence {

using Report = std::function<void(const std::string&)>;

// The clip's pictures of one camera against the source's, in order: each difference reported
// once, as changed, added, dropped or reordered, with the camera and the time of day.
// The views are of the two files (closed ones are read through the recordings).
void compareCamera(const rec::Recording& source, const FileView& sourceView, const CameraPlan& camera,
                   const rec::Recording& clip, const FileView& clipView, const rec::Stream& clipStream,
                   const Report& report);

// The clip's event blocks against the expected ones; clipStartOfDay (ms) names the slots' times.
void compareEvents(const rec::Recording& clip, const ClipEvents& expected, int64_t clipStartOfDay,
                   const Report& report);

}  // namespace evidence
