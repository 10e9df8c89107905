// dvrtool export: a stretch of a recording as an ordinary H.264 MP4 to hand to others, with
// each camera's time of day burned into its picture.
#include "tools/commands.h"

#include "recording/recording.h"
#include "tools/ffmpeg.h"
#include "tools/pipe.h"
#include "tools/progress.h"
#include "tools/shape.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  export -o OUT.mp4 [--from T] [--to T] [--camera N | --cameras LIST] FILE\n"
    "      An H.264 MP4 of the recording FILE: one camera at its own size, several as a\n"
    "      mosaic in the player's layouts (4, 8 or 16 to a view), each camera's time of day\n"
    "      burned into its picture. T is a time of day on the recording's clock (14:32:00)\n"
    "      or an offset from its start (+12:30); the default is the whole recording. LIST is\n"
    "      e.g. 1,3,5-8; the default is every camera.\n";

const char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::string decimals(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string clockText(int64_t msOfDay)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(msOfDay / 3600000),
                  static_cast<long long>(msOfDay / 60000 % 60), static_cast<long long>(msOfDay / 1000 % 60),
                  static_cast<long long>(msOfDay % 1000));
    return text;
}

// One camera's chain: its stretch of pictures, fitted to its cell, with its time of day: the
// recording's start plus each frame's own time, as the player shows it. A camera whose pictures
// end before the stretch begins shows its last one throughout, as the player holds it.
std::string cameraChain(const rec::Stream& stream, int64_t fromMs, int64_t toMs, int32_t startMsOfDay,
                        const std::string& rate, const Placement& place, bool font, const std::string& label)
{
    const Size inner = place.inner;
    bool held = stream.durationMs() <= fromMs;
    int64_t firstMs = held ? stream.timeOf(stream.frameCount() - 1) : fromMs;
    std::string chain = "[0:" + std::to_string(stream.aviStream) + "]trim=start=" + decimals(firstMs / 1000.0) +
                        ":end=" + decimals(toMs / 1000.0) + ",scale=" + std::to_string(inner.width) + ":" +
                        std::to_string(inner.height) + ",setsar=1";
    uint32_t fontSize = std::max<uint32_t>(10, inner.height / 14);
    uint32_t margin = std::max<uint32_t>(2, inner.height / 40);
    chain += ",drawtext=" + std::string(font ? "fontfile=" + std::string(kFont) + ":" : "") +
             "text='%{pts\\:hms\\:" + decimals(startMsOfDay / 1000.0) + "}':fontsize=" + std::to_string(fontSize) +
             ":fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=" + std::to_string(margin) +
             ":x=w-tw-" + std::to_string(2 * margin) + ":y=" + std::to_string(2 * margin);
    if (held) chain += ",trim=end_frame=1,setpts=" + decimals(fromMs / 1000.0) + "/TB";
    if (!(place.inner == place.outer))
        chain += ",pad=" + std::to_string(place.outer.width) + ":" + std::to_string(place.outer.height) + ":" +
                 std::to_string(place.x) + ":" + std::to_string(place.y) + ":black";
    // A held picture is one frame that the mosaic repeats; the others come at the one rate.
    return chain + (held ? "" : ",fps=" + rate) + "[" + label + "]";
}

// Reads ffmpeg's -progress lines for how far it has come; the number of pictures written.
long long followProgress(Pipe& pipe, int64_t lengthMs, const std::string& step, Progress& progress)
{
    long long frames = 0;
    std::string pending;
    char buf[4096];
    size_t got;
    while ((got = pipe.read(buf, sizeof buf)) > 0) {
        pending.append(buf, got);
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            long long us = 0;
            if (std::sscanf(line.c_str(), "frame=%lld", &frames) == 1) continue;
            if (std::sscanf(line.c_str(), "out_time_us=%lld", &us) == 1 && us >= 0)
                progress.update(step, double(us) / 1000.0 / double(lengthMs));
            else if (line == "progress=end")
                progress.update(step, 1);
        }
    }
    return frames;
}

int runExport(const Options& options, std::FILE* out, std::FILE* err)
{
    if (!options.has("-o") || options.positional.size() != 1) {
        std::fprintf(err, "dvrtool export: needs -o OUT.mp4 and one recording\n");
        return kExitUsage;
    }
    if (options.has("--camera") && options.has("--cameras")) {
        std::fprintf(err, "dvrtool export: give --camera or --cameras, not both\n");
        return kExitUsage;
    }
    std::vector<int> wanted;
    const char* cameraOption = options.has("--camera") ? "--camera" : "--cameras";
    if (options.has(cameraOption)) {
        int one = 0;
        bool ok = options.has("--camera") ? parseWhole(options.value("--camera"), 1, 16, one)
                                          : parseCameraList(options.value("--cameras"), wanted);
        if (one) wanted = {one};
        if (!ok) {
            std::fprintf(err, "dvrtool export: bad %s (cameras 1..16, as 3 or 1,4,9-12)\n", cameraOption);
            return kExitUsage;
        }
    }
    const std::string& outPath = options.value("-o");
    std::error_code ignored;
    if (std::filesystem::exists(outPath, ignored) && !std::filesystem::is_regular_file(outPath, ignored)) {
        std::fprintf(err, "dvrtool export: %s is not a file to write over\n", outPath.c_str());
        return kExitUsage;
    }

    const std::string& path = options.positional[0];
    if (std::filesystem::equivalent(path, outPath, ignored)) {
        std::fprintf(err, "dvrtool export: %s would be written over the recording itself\n", outPath.c_str());
        return kExitUsage;
    }
    rec::Recording recording;
    rec::Status status = recording.open(path);
    if (!status) {
        std::fprintf(err, "dvrtool export: %s: %s\n", path.c_str(), status.reason.c_str());
        return exitCodeOf(status.error);
    }
    std::vector<const rec::Stream*> streams;
    if (wanted.empty()) {
        for (const rec::Stream& stream : recording.streams())
            if (stream.frameCount() > 0) streams.push_back(&stream);
    }
    for (int camera : wanted) {
        const rec::Stream* stream = recording.streamForCamera(camera);
        if (!stream || stream->frameCount() == 0) {
            std::string present;
            for (const rec::Stream& s : recording.streams())
                if (s.frameCount() > 0) present += " " + std::to_string(s.camera);
            std::fprintf(err, "dvrtool export: no camera %d in %s (cameras:%s)\n", camera, path.c_str(),
                         present.empty() ? " none" : present.c_str());
            return kExitNoCamera;
        }
        streams.push_back(stream);
    }
    if (streams.empty()) {
        std::fprintf(err, "dvrtool export: %s holds no pictures\n", path.c_str());
        return kExitNoCamera;
    }

    // The stretch: [from, to) of the longest of the chosen cameras.
    const int32_t startMs = recording.startTime().msOfDay;
    int64_t lengthMs = 0;
    for (const rec::Stream* stream : streams) lengthMs = std::max(lengthMs, stream->durationMs());
    int64_t fromMs = 0, toMs = lengthMs;
    for (const char* option : {"--from", "--to"}) {
        if (!options.has(option)) continue;
        int64_t& point = std::strcmp(option, "--from") == 0 ? fromMs : toMs;
        if (!parseTimePoint(options.value(option), startMs, point)) {
            std::fprintf(err, "dvrtool export: bad %s (a time of day 14:32:00, or +MM:SS from the start)\n", option);
            return kExitUsage;
        }
    }
    if (fromMs >= lengthMs || toMs > lengthMs || toMs <= fromMs) {
        std::fprintf(err, "dvrtool export: %s to %s is outside the recording, which runs from %s to %s\n",
                     clockText(startMs + fromMs).c_str(), clockText(startMs + toMs).c_str(), clockText(startMs).c_str(),
                     clockText(startMs + lengthMs).c_str());
        return kExitOutOfRange;
    }
    if (!ffmpegFound()) {
        std::fprintf(err, "dvrtool export: ffmpeg not found (%s); install it or name it in $DVRTOOL_FFMPEG\n",
                     ffmpegProgram().c_str());
        return kExitNoFfmpeg;
    }

    // Cells as large as the largest chosen camera; one camera is its own size (made even).
    Size cell;
    const rec::Stream* fastest = streams[0];
    for (const rec::Stream* stream : streams) {
        cell.width = std::max(cell.width, stream->width + (stream->width & 1));
        cell.height = std::max(cell.height, stream->height + (stream->height & 1));
        if (uint64_t(stream->rate) * fastest->scale > uint64_t(fastest->rate) * stream->scale) fastest = stream;
    }
    // Every camera at the fastest one's rate, a picture held until the next, as the player shows them.
    PictureFormat rate;
    rate.rate = fastest->rate;
    rate.scale = fastest->scale;
    const int split = splitFor(int(streams.size()));
    const int side = gridSide(split);
    bool font = std::ifstream(kFont).good();
    std::string graph, layout, inputs;
    for (size_t i = 0; i < streams.size(); i++) {
        const rec::Stream& stream = *streams[i];
        Size inner = streams.size() == 1 ? Size{stream.width, stream.height}
                                         : fitInside({stream.width, stream.height}, cell, true);
        std::string label = "c" + std::to_string(i);
        graph += cameraChain(stream, fromMs, toMs, startMs, frameRate(rate), centred(inner, cell), font, label) + ";";
        inputs += "[" + label + "]";
        layout += (i ? "|" : "") + std::to_string(cell.width * (i % side)) + "_" + std::to_string(cell.height * (i / side));
    }
    if (streams.size() == 1)
        graph += inputs;
    else
        graph += inputs + "xstack=inputs=" + std::to_string(streams.size()) + ":layout=" + layout + ":fill=black,";
    // xstack's picture is split x split cells wide whatever number of inputs fill it.
    Size whole{cell.width * side, cell.height * side};
    if (streams.size() > 1)
        graph += "pad=" + std::to_string(whole.width) + ":" + std::to_string(whole.height) + ":0:0:black,";
    else
        graph += "null,";
    graph += "setpts=PTS-STARTPTS,format=yuv420p[v]";

    // Written beside the output and renamed over it only when whole.
    std::string partial = outPath + ".partial";
    FfmpegArgs command;
    // "file:" so that a name with a colon in it is not taken for a protocol.
    command.add({"-y", "-i", "file:" + path, "-filter_complex", graph, "-map", "[v]", "-an", "-c:v", "libx264",
                 "-preset", "veryfast", "-crf", "20", "-movflags", "+faststart", "-f", "mp4", "-nostats", "-progress",
                 "pipe:1", "file:" + partial});
    Progress progress("export", err);
    std::string step = streams.size() == 1 ? "camera " + std::to_string(streams[0]->camera)
                                           : std::to_string(streams.size()) + " cameras";
    Pipe pipe;
    bool ok = startFfmpeg(pipe, command, err);
    if (ok) {
        // ffmpeg succeeds even when its graph gave no picture at all: that is no export.
        long long frames = followProgress(pipe, toMs - fromMs, step, progress);
        ok = pipe.close() && frames > 0;
    }
    progress.clear();
    if (!ok || std::rename(partial.c_str(), outPath.c_str()) != 0) {
        std::fprintf(err, "dvrtool export: %s could not be written\n", outPath.c_str());
        std::remove(partial.c_str());
        return kExitFailed;
    }
    Size size = streams.size() == 1 ? cell : whole;
    std::fprintf(out, "wrote %s: %zu camera%s, %ux%u, %s to %s\n", outPath.c_str(), streams.size(),
                 streams.size() == 1 ? "" : "s", size.width, size.height, clockText(startMs + fromMs).c_str(),
                 clockText(startMs + toMs).c_str());
    return kExitOk;
}

}  // namespace

const Command kExportCommand = {"export", kUsage, {"-o", "--from", "--to", "--camera", "--cameras"}, runExport};

}  // namespace dvrtool
