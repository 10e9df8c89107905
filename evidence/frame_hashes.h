// What a manifest says of each camera of a clip plan: its pictures' count, first and last times,
// and the SHA-256 of their bytes in order, read from the source.
#pragma once

#include "evidence/clip_plan.h"
#include "evidence/file_view.h"
#include "evidence/manifest.h"

#include <atomic>
#include <string>
#include <vector>

namespace evidence {

struct FrameHashes {
    bool ok = false;
    std::string why;  // when not ok
    std::vector<CameraFrames> frames;
};

// Stops early, not ok, once stop is set (the caller has given up). view: of the source's file.
FrameHashes hashPlannedFrames(const rec::Recording& source, const FileView& view, const ClipPlan& plan,
                              const std::atomic<bool>& stop);

// The whole source file's size and SHA-256, as the manifest names it.
struct SourceHash {
    bool ok = false;
    uint64_t size = 0;
    std::string sha256;
};
SourceHash hashSourceFile(const std::string& path, const std::atomic<bool>* stop = nullptr);
// The same through a view of it already made, when that is open.
SourceHash hashSourceFile(const std::string& path, const FileView& view);

}  // namespace evidence
