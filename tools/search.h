// dvrtool search: what it reads from its command line and its recordings, apart from the
// search itself (decoder/motion_scan.h) and its output (search.cpp).
#pragma once

#include "decoder/frame_decoder.h"
#include "recording/recording.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace dvrtool {

// X,Y,W,H, each in pixels or, with '%' after it, a share of the picture's width or height.
struct RegionText {
    double value[4] = {0, 0, 100, 100};
    bool share[4] = {true, true, true, true};  // the default: the whole picture
};
bool parseRegion(const std::string& text, RegionText& region);
// The region in a picture of width x height; false when it is not inside it.
bool resolveRegion(const RegionText& text, uint32_t width, uint32_t height, FrameRegion& region);

// One recording to search, and the part of it asked for (ms from its start).
struct SearchFile {
    std::string path;
    std::unique_ptr<rec::Recording> recording;
    int64_t startMs = 0;  // on a line of days: its date (when known) and time of day
    int64_t fromMs = 0, toMs = 0;
    FrameRegion region;  // in the camera's pixels
};

// Opens every path and sorts them by their starts; an exit code after saying why on err.
int openRecordings(const std::vector<std::string>& paths, std::vector<SearchFile>& files, std::FILE* err);
// The part of each file inside --from and --to, which are times of day (the first such moment
// from the first file's start) or offsets from the first file's start. Files outside it are
// dropped; an exit code after saying why on err.
int chooseStretches(const std::string* from, const std::string* to, std::vector<SearchFile>& files, std::FILE* err);

}  // namespace dvrtool
