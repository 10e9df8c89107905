// ffmpeg, where every picture dvrtool writes or measures comes from: its command lines, built
// here alone, and its start.
#pragma once

#include "tools/format.h"
#include "tools/pipe.h"
#include "tools/shape.h"

#include <cstdio>
#include <string>
#include <vector>

namespace dvrtool {

// The ffmpeg to run: $DVRTOOL_FFMPEG, else "ffmpeg" from PATH.
std::string ffmpegProgram();

// Whether the ffmpeg to run is there: a path that can be run, or a name found on PATH.
bool ffmpegFound();

// True when ffmpeg is there; otherwise says so for command ("make") on err.
bool requireFfmpeg(const char* command, std::FILE* err);

// "rate/scale", a frame rate as ffmpeg takes it.
std::string frameRate(const PictureFormat& format);

// An ffmpeg command line, from its inputs to the one output it writes to stdout.
class FfmpegArgs {
public:
    FfmpegArgs();  // quiet but for errors, and never reading our terminal

    // A video file, cut to its first seconds unless seconds is 0.
    FfmpegArgs& inputFile(const std::string& path, double seconds);
    // One of libavfilter's sources, e.g. "color=c=red:s=320x240:r=5".
    FfmpegArgs& generated(const std::string& source);
    // The video alone, at the format's rate and scaled to width x height.
    FfmpegArgs& resampled(const PictureFormat& format, uint32_t width, uint32_t height);
    // The video alone, at the format's rate, scaled to place.inner without changing its shape
    // and centred on black in place.outer.
    FfmpegArgs& fitted(const PictureFormat& format, const Placement& place);
    FfmpegArgs& filterGraph(const std::string& graph);
    // Anything else, as it is.
    FfmpegArgs& add(const std::vector<std::string>& args);

    // Output: JPEG pictures one after another, as ffmpeg's image2pipe writes them.
    FfmpegArgs& jpegPictures(int quality);
    // Output: the first picture alone, as JPEG at its own size (to learn the size).
    FfmpegArgs& firstPicture();
    // Output: 8-bit gray frames, no header.
    FfmpegArgs& grayFrames();

    const std::vector<std::string>& args() const { return m_args; }

private:
    std::vector<std::string> m_args;
};

// Starts ffmpeg with its stdout on pipe; false after saying so on err.
bool startFfmpeg(Pipe& pipe, const FfmpegArgs& command, std::FILE* err);

// The size of a video file's pictures, from the first one ffmpeg decodes; false if it gives none.
bool probePictureSize(const std::string& path, Size& size);
// The length in seconds ffmpeg reads from a video file's header; 0 if it says none.
double probeSeconds(const std::string& path);

}  // namespace dvrtool
