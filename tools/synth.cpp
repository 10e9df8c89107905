// dvrtool synth: a synthetic test recording, every picture drawn by ffmpeg's own sources, with
// events at times the tests can know.
#include "tools/commands.h"

#include "domain/hour.h"

#include "tools/ffmpeg.h"
#include "tools/output.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  synth -o OUT [--cameras N] [--seconds S] [--fps F] [--size WxH] [--quality Q]\n"
    "       [--grain G] [--start \"YYYY-MM-DD HH:MM:SS.mmm\"]\n"
    "      A synthetic recording: each camera its own colour, a large \"CAM n\" label, a clock\n"
    "      and frame counter, and a white box that moves only in two intervals per camera; the\n"
    "      Motion block marks those intervals, a Source event marks each start, GPI pulses\n"
    "      every 20 s. --grain G (1..100) lays a camera's fresh noise of strength G over every\n"
    "      picture, as real footage has (8 and quality 5 make D1 pictures of about 40 KB).\n"
    "      Defaults: 4 cameras, 10 s, 4 fps, 320x240, quality 24, no grain.\n";

// A colour per camera, far apart from each other.
const char* const kColours[16] = {"0x1f4e9c", "0x9c1f1f", "0x1f8c3a", "0x8c6a1f", "0x6a1f8c", "0x1f8c8c",
                                  "0x8c1f6a", "0x4a4a4a", "0x2f6fbf", "0xbf4f2f", "0x3faf5f", "0xaf8f2f",
                                  "0x7f3faf", "0x2fa0a0", "0xa02f7f", "0x606030"};

const char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::string decimals(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// One camera's pictures: a white box over the camera's colour, moving in its intervals, and
// with labelled its name and a clock.
FfmpegArgs cameraPictures(int camera, const PictureFormat& format, double seconds, bool labelled, int grain)
{
    const uint32_t width = format.width, height = format.height;
    uint32_t box = std::max<uint32_t>(8, height / 6);
    std::string boxX = std::to_string((width - box) / 2);
    for (const Interval& interval : synthIntervals(camera, seconds)) {
        // Out and back a whole number of times: the box is at rest again when it ends.
        int swings = std::max(1, int((interval.end - interval.begin) / 2));
        boxX += "+" + std::to_string(width / 3) + "*sin(" + std::to_string(swings) + "*PI*(t-" +
                decimals(interval.begin) + ")/" + decimals(interval.end - interval.begin) + ")*between(t," +
                decimals(interval.begin) + "," + decimals(interval.end) + ")";
    }
    std::string graph =
        "[0][1]overlay=x='" + boxX + "':y=" + std::to_string(height * 5 / 8) + ":eval=frame:shortest=1";
    if (labelled) {
        // The name sits below the strip along the top where the player labels each tile, so
        // that it stays readable even in a tile of a sixteenth of the window.
        graph += ",drawtext=fontfile=" + std::string(kFont) + ":text='CAM " + std::to_string(camera) +
                 "':fontsize=" + std::to_string(height / 5) + ":fontcolor=white:x=" + std::to_string(width / 16) +
                 ":y=" + std::to_string(height * 3 / 10);
        graph += ",drawtext=fontfile=" + std::string(kFont) + ":text='%{pts\\:hms} #%{n}':fontsize=" +
                 std::to_string(height / 12) + ":fontcolor=yellow:x=" + std::to_string(width / 16) +
                 ":y=" + std::to_string(height - height / 8);
    } else {
        // Without a font: camera n shows n small squares along the top.
        for (int square = 0; square < camera; square++)
            graph += ",drawbox=x=" + std::to_string(4 + square * (width / 17)) + ":y=4:w=" +
                     std::to_string(width / 20) + ":h=" + std::to_string(width / 20) + ":color=white:t=fill";
    }
    // Fresh in every picture and in each camera, as a sensor's noise is.
    if (grain) graph += ",noise=alls=" + std::to_string(grain) + ":allf=t:all_seed=" + std::to_string(camera);
    std::string rate = frameRate(format);
    return FfmpegArgs()
        .generated("color=c=" + std::string(kColours[camera - 1]) + ":s=" + std::to_string(width) + "x" +
                   std::to_string(height) + ":r=" + rate + ":d=" + decimals(seconds))
        .generated("color=c=white:s=" + std::to_string(box) + "x" + std::to_string(box) + ":r=" + rate)
        .filterGraph(graph)
        .jpegPictures(format.quality);
}

// Motion in the slots the camera's box moves in, a Source event where each interval starts.
void markIntervals(int camera, double seconds, EventBlocks& events)
{
    for (const Interval& interval : synthIntervals(camera, seconds)) {
        size_t first = rec::motionSlotOf(int64_t(interval.begin * 1000));
        size_t last = rec::motionSlotOf(int64_t(std::ceil(interval.end * 1000)) - 1);
        for (size_t slot = first; slot <= last; slot++)
            rec::setMotionLevel(events.motion, slot, camera, uint8_t(100 + 9 * camera));
        rec::addSourceEvent(events.source, rec::sourceSlotOf(int64_t(interval.begin * 1000)), camera);
    }
}

int runSynth(const Options& options, std::FILE* out, std::FILE* err)
{
    if (!options.positional.empty()) {
        std::fprintf(err, "dvrtool synth: unexpected argument\n");
        return kExitUsage;
    }
    if (!options.has("-o")) {
        std::fprintf(err, "dvrtool synth: needs -o OUT\n");
        return kExitUsage;
    }
    PictureFormat format;
    format.rate = 4;
    format.quality = 24;
    rec::StartTime start;
    parseStartTime("2024-01-01 08:00:00.000", start);
    if (!readPictureOptions(options, format, start, err)) return kExitUsage;
    int cameraCount = 4;
    if (options.has("--cameras") && !parseWhole(options.value("--cameras"), 1, 16, cameraCount)) {
        std::fprintf(err, "dvrtool synth: --cameras must be 1..16\n");
        return kExitUsage;
    }
    double seconds = 10;
    if (options.has("--seconds") && !parseSeconds(options.value("--seconds"), seconds)) {
        std::fprintf(err, "dvrtool synth: bad --seconds (0 < S <= 3600)\n");
        return kExitUsage;
    }
    int grain = 0;
    if (options.has("--grain") && !parseWhole(options.value("--grain"), 1, 100, grain)) {
        std::fprintf(err, "dvrtool synth: --grain must be 1..100\n");
        return kExitUsage;
    }

    if (!requireFfmpeg("synth", err)) return kExitNoFfmpeg;
    bool labelled = std::ifstream(kFont).good();
    if (!labelled) std::fprintf(err, "dvrtool synth: no font at %s; cameras marked by boxes instead\n", kFont);
    std::vector<CameraFeed> cameras;
    EventBlocks events;
    for (int camera = 1; camera <= cameraCount; camera++) {
        cameras.push_back({camera, cameraPictures(camera, format, seconds, labelled, grain), {format.width, format.height}});
        markIntervals(camera, seconds, events);
    }
    for (double pulse = 5; pulse < seconds && pulse < domain::kHourSeconds; pulse += 20)
        rec::setGpiValue(events.gpi, rec::gpiSlotOf(int64_t(pulse * 1000)), 1);

    RecordingOutput output("synth", err);
    Progress progress("synth", err);
    output.showProgress(&progress, uint64_t(std::ceil(seconds * format.rate / format.scale)) * cameras.size());
    if (!output.writePictures(options.value("-o"), cameras, format)) return kExitFailed;
    if (!output.finish(start, events)) return kExitFailed;
    progress.clear();
    std::fprintf(out, "wrote %s: %d cameras, %.3f s, %llu bytes\n", options.value("-o").c_str(), cameraCount,
                 output.durationMs() / 1000.0, static_cast<unsigned long long>(output.bytesWritten()));
    return kExitOk;
}

}  // namespace

std::vector<Interval> synthIntervals(int camera, double seconds)
{
    // The first interval of cameras 1..4 starts at four different times, the second moves on
    // every four cameras: no two of sixteen cameras move alike.
    int index = (camera - 1) % 16;
    double first = seconds * (0.05 + 0.05 * (index % 4));
    double second = seconds * (0.50 + 0.05 * (index / 4));
    return {{first, first + seconds * 0.15}, {second, second + seconds * 0.10}};
}

const Command kSynthCommand = {
    "synth", kUsage, {"-o", "--cameras", "--seconds", "--fps", "--size", "--quality", "--grain", "--start"}, runSynth};

}  // namespace dvrtool
