// dvrtool make: a recording from ordinary video files, one per camera.
#include "tools/commands.h"

#include "tools/events.h"
#include "tools/ffmpeg.h"
#include "tools/output.h"
#include "tools/pipe.h"
#include "tools/progress.h"
#include "tools/shape.h"

#include "domain/camera_set.h"
#include "domain/time_of_day.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  make -o OUT --start \"YYYY-MM-DD HH:MM:SS.mmm\" [--fps F] [--size WxH] [--quality Q]\n"
    "       [--seconds S] [--motion auto] [--source FILE] [--gpi FILE] INPUT...\n"
    "      A recording from ordinary video files, one per camera. The i-th INPUT is camera i;\n"
    "      write N=PATH to give a camera number (1..16) yourself, e.g. 1=a.mp4 3=b.mp4.\n"
    "      Each camera keeps its own size, brought down to fit 704x576 when larger, always\n"
    "      keeping its shape; --size WxH gives every camera that size, the picture fitted\n"
    "      inside with black bars where the shapes differ. Pictures are taken at --fps\n"
    "      (default 5) and stored as MJPEG at ffmpeg quality Q (2 best .. 31, default 5).\n"
    "      --seconds limits the length.\n"
    "      --motion auto: Motion levels from picture differences per 3.6 s slot.\n"
    "      --source FILE: lines \"SECONDS CAMERA\", one source event each.\n"
    "      --gpi FILE: lines \"SECONDS VALUE\", one GPI value each (1.8 s slots).\n"
    "      In both files blank lines and lines starting with # are ignored.\n";

// The largest picture a camera keeps by default: a D1 picture of the PAL DVRs.
const Size kLargestPicture = {704, 576};

struct Input {
    int camera;
    std::string path;
    Size size;  // as ffmpeg decodes it
};

bool readText(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

// --source and --gpi, where given; false after saying why on err.
bool readEventFiles(const Options& options, EventBlocks& events, std::FILE* err)
{
    for (const char* option : {"--source", "--gpi"}) {
        if (!options.has(option)) continue;
        std::string text, error;
        if (!readText(options.value(option), text)) {
            std::fprintf(err, "dvrtool make: cannot read %s\n", options.value(option).c_str());
            return false;
        }
        bool ok = std::string(option) == "--source" ? parseSourceEvents(text, events.source, error)
                                                    : parseGpiEvents(text, events.gpi, error);
        if (!ok) {
            std::fprintf(err, "dvrtool make: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

// PATH is camera i (its position), N=PATH is camera N; false if two are the same camera.
bool readInputs(const std::vector<std::string>& words, std::vector<Input>& inputs)
{
    uint32_t taken = 0;
    for (size_t i = 0; i < words.size(); i++) {
        Input input{int(i) + 1, words[i], {}};
        size_t eq = input.path.find('=');
        bool numbered = eq != std::string::npos && eq > 0 && eq <= 2 &&
                        std::all_of(input.path.begin(), input.path.begin() + long(eq),
                                    [](char c) { return c >= '0' && c <= '9'; });
        if (numbered) {
            input.camera = std::atoi(input.path.substr(0, eq).c_str());
            input.path = input.path.substr(eq + 1);
        }
        if (input.camera < 1 || input.camera > 16 || (taken & (1u << (input.camera - 1)))) return false;
        taken |= 1u << (input.camera - 1);
        inputs.push_back(input);
    }
    return true;
}

// Source events the recording cannot show: a camera it does not have, or past its end.
// They are kept (the file says so), but the user should know.
void warnStrayEvents(const rec::SourceBlock& source, const std::vector<Input>& inputs, int64_t durationMs,
                     std::FILE* err)
{
    uint32_t have = 0;
    for (const Input& input : inputs) have |= 1u << (input.camera - 1);
    for (size_t slot = 0; slot < rec::kSourceSlots; slot++) {
        if (rec::sourceStatus(source, slot) >= 0) continue;
        const uint32_t mask = rec::sourceMask(source, slot);
        const std::string at = domain::FormatClock(int64_t(slot) * rec::kSourceSlotMs, domain::Precision::Seconds);
        if (mask & ~have)
            std::fprintf(err, "dvrtool make: warning: Source event at +%s for camera %s, which the recording lacks\n",
                         at.c_str(), domain::FormatCameraSet(mask & ~have, ", ").c_str());
        if (int64_t(slot) * rec::kSourceSlotMs >= durationMs)
            std::fprintf(err, "dvrtool make: warning: Source event at +%s is past the recording's end\n", at.c_str());
    }
}

// Small gray pictures, a second ffmpeg run per camera: differences need no colour.
bool measureMotion(const std::vector<Input>& inputs, const PictureFormat& format, double seconds,
                   rec::MotionBlock& motion, const std::vector<uint64_t>& expected, Progress& progress,
                   std::FILE* err)
{
    const uint32_t kWidth = 64, kHeight = 48;
    for (size_t i = 0; i < inputs.size(); i++) {
        const Input& input = inputs[i];
        std::string step = "motion, camera " + std::to_string(input.camera);
        Pipe pipe;
        FfmpegArgs command =
            FfmpegArgs().inputFile(input.path, seconds).resampled(format, kWidth, kHeight).grayFrames();
        if (!startFfmpeg(pipe, command, err)) return false;
        MotionMeter meter;
        std::vector<uint8_t> frame(kWidth * kHeight);
        uint64_t frames = 0;
        while (pipe.read(frame.data(), frame.size()) == frame.size()) {
            meter.add(frame.data(), frame.size(), format.secondsOf(frames));
            frames++;
            progress.update(step, expected[i] ? double(frames) / double(expected[i]) : -1);
        }
        // Levels from a run cut short would read as a camera that stopped moving.
        if (!pipe.close()) {
            progress.clear();
            std::fprintf(err, "dvrtool: ffmpeg could not measure motion for camera %d\n", input.camera);
            return false;
        }
        meter.store(motion, input.camera);
    }
    return true;
}

int runMake(const Options& options, std::FILE* out, std::FILE* err)
{
    if (!options.has("-o") || !options.has("--start") || options.positional.empty()) {
        std::fprintf(err, "dvrtool make: needs -o OUT, --start and at least one input\n");
        return kExitUsage;
    }
    PictureFormat format;
    rec::StartTime start;
    if (!readPictureOptions(options, format, start, err)) return kExitUsage;
    double seconds = 0;  // the inputs' whole length
    if (options.has("--seconds") && !parseSeconds(options.value("--seconds"), seconds)) {
        std::fprintf(err, "dvrtool make: bad --seconds\n");
        return kExitUsage;
    }
    bool motion = false;
    if (options.has("--motion")) {
        if (options.value("--motion") != "auto" && options.value("--motion") != "off") {
            std::fprintf(err, "dvrtool make: --motion takes auto or off\n");
            return kExitUsage;
        }
        motion = options.value("--motion") == "auto";
    }
    EventBlocks events;
    if (!readEventFiles(options, events, err)) return kExitUsage;
    std::vector<Input> inputs;
    if (!readInputs(options.positional, inputs)) {
        std::fprintf(err, "dvrtool make: camera numbers must be distinct, 1..16\n");
        return kExitUsage;
    }

    for (const Input& input : inputs)
        if (access(input.path.c_str(), R_OK) != 0) {
            std::fprintf(err, "dvrtool make: cannot read %s (camera %d)\n", input.path.c_str(), input.camera);
            return kExitUnreadable;
        }
    if (!requireFfmpeg("make", err)) return kExitNoFfmpeg;

    Progress progress("make", err);
    // Each input's size decides its picture's; the lengths only how far along the work is.
    std::vector<uint64_t> expected;
    uint64_t expectedInAll = 0;
    for (Input& input : inputs) {
        progress.update("looking at camera " + std::to_string(input.camera), -1);
        if (!probePictureSize(input.path, input.size)) {
            progress.clear();
            std::fprintf(err, "dvrtool: ffmpeg gave no pictures for camera %d\n", input.camera);
            return kExitFailed;
        }
        double length = seconds;
        if (progress.shown()) {
            double own = probeSeconds(input.path);
            if (length == 0 || (own > 0 && own < length)) length = own;
        }
        expected.push_back(uint64_t(std::ceil(length * format.rate / format.scale)));
        expectedInAll += expected.back();
    }
    if (std::find(expected.begin(), expected.end(), 0) != expected.end()) expectedInAll = 0;

    bool forced = options.has("--size");
    std::vector<CameraFeed> cameras;
    for (const Input& input : inputs) {
        Size box = forced ? Size{format.width, format.height} : kLargestPicture;
        Size inner = fitInside(input.size, box, forced);
        Placement place = centred(inner, forced ? box : inner);
        cameras.push_back({input.camera,
                           FfmpegArgs().inputFile(input.path, seconds).fitted(format, place).jpegPictures(format.quality),
                           place.outer});
    }
    RecordingOutput output("make", err);
    output.showProgress(&progress, expectedInAll);
    if (!output.writePictures(options.value("-o"), cameras, format)) return kExitFailed;
    warnStrayEvents(events.source, inputs, output.durationMs(), err);
    if (motion && !measureMotion(inputs, format, seconds, events.motion, expected, progress, err)) return kExitFailed;
    if (!output.finish(start, events)) return kExitFailed;
    progress.clear();
    std::fprintf(out, "wrote %s: %zu cameras, %.3f s\n", options.value("-o").c_str(), cameras.size(),
                 output.durationMs() / 1000.0);
    return kExitOk;
}

}  // namespace

const Command kMakeCommand = {
    "make", kUsage, {"-o", "--start", "--fps", "--size", "--quality", "--seconds", "--motion", "--source", "--gpi"}, runMake};

}  // namespace dvrtool
