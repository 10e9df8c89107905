// dvrtool export: a stretch of a recording as an ordinary H.264 MP4 to hand to others, with
// each camera's time of day burned into its picture.
#include "tools/commands.h"

#include "evidence/clip_writer.h"
#include "recording/recording.h"
#include "tools/ffmpeg.h"
#include "tools/interrupt.h"
#include "tools/pipe.h"
#include "tools/progress.h"
#include "tools/shape.h"
#include "tools/stretch.h"

#include "domain/calendar.h"
#include "domain/camera_set.h"
#include "domain/time_of_day.h"
#include "domain/view_grid.h"

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

// Where a camera's pictures of the stretch begin, as a clip takes them: the picture on view at
// its start, else the first one after it; none when the camera has no picture in the stretch.
struct CameraStart {
    bool pictures = false;
    int64_t firstMs = 0;  // that picture's time
    bool held = false;    // it is the only one: it stays on view to the end
};

CameraStart cameraStart(const rec::Recording& recording, const rec::Stream& stream, int64_t fromMs, int64_t toMs)
{
    CameraStart start;
    evidence::ClipPlan plan;
    std::string why;
    if (!evidence::planClip(recording, {fromMs, toMs, domain::CameraBit(stream.camera)}, plan, why)) return start;
    const evidence::CameraPlan& c = plan.cameras.front();
    start.pictures = true;
    start.firstMs = stream.timeOf(uint64_t(c.first));
    long pictures = 0;
    for (long i = c.first; i < c.end; i++) pictures += stream.frames[size_t(i)].size ? 1 : 0;
    start.held = pictures == 1;
    return start;
}

// How the burned-in texts look in a cell of that inner size, and their distance from its edges.
struct Look {
    std::string text, gap;
};

Look lookOf(const Size& inner, bool font)
{
    uint32_t fontSize = std::max<uint32_t>(10, inner.height / 14);
    uint32_t margin = std::max<uint32_t>(2, inner.height / 40);
    return {std::string(font ? "fontfile=" + std::string(kFont) + ":" : "") + "fontsize=" + std::to_string(fontSize) +
                ":fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=" + std::to_string(margin),
            std::to_string(2 * margin)};
}

std::string nameText(const Look& look, int camera)
{
    return ",drawtext=" + look.text + ":text='Camera " + std::to_string(camera) + "':x=" + look.gap + ":y=h-th-" +
           look.gap;
}

std::string padText(const Placement& place)
{
    if (place.inner == place.outer) return "";
    return ",pad=" + std::to_string(place.outer.width) + ":" + std::to_string(place.outer.height) + ":" +
           std::to_string(place.x) + ":" + std::to_string(place.y) + ":black";
}

// The chain of a camera with no picture in the stretch: its cell stays black, and the others go on.
std::string blackChain(const rec::Stream& stream, int64_t fromMs, int64_t toMs, const std::string& rate,
                       const Placement& place, const Look& look, const std::string& label, bool named)
{
    return "color=c=black:s=" + std::to_string(place.inner.width) + "x" + std::to_string(place.inner.height) +
           ":r=" + rate + ":d=" + decimals((toMs - fromMs) / 1000.0) + (named ? nameText(look, stream.camera) : "") +
           ",setpts=PTS+" + decimals(fromMs / 1000.0) + "/TB" + padText(place) + "[" + label + "]";
}

// One camera's chain: its stretch of pictures, fitted to its cell, with its time of day: the
// recording's start plus each frame's own time, as the player shows it. A camera whose pictures
// end before the stretch begins shows its last one throughout, as the player holds it; one whose
// pictures begin later in the stretch shows black until its first.
std::string cameraChain(const rec::Stream& stream, const CameraStart& start, int64_t fromMs, int64_t toMs,
                        int32_t startMsOfDay, const std::string& rate, const Placement& place, const Look& look,
                        const std::string& label, const std::string (&dates)[2], bool named)
{
    const Size inner = place.inner;
    std::string chain = "[0:" + std::to_string(stream.aviStream) + "]trim=start=" + decimals(start.firstMs / 1000.0) +
                        ":end=" + decimals(toMs / 1000.0) + ",scale=" + std::to_string(inner.width) + ":" +
                        std::to_string(inner.height) + ",setsar=1";
    // The date of the recording's start with the time of day; 24HH: the hours wrap at midnight,
    // as the tiles' do. In a mosaic each tile also says which camera it is.
    auto clock = [&](const std::string& date) {
        return ":text='" + date + "%{pts\\:hms\\:" + decimals(startMsOfDay / 1000.0) + "\\:24HH}':x=w-tw-" +
               look.gap + ":y=" + look.gap;
    };
    // From midnight on, the next day's date.
    const std::string midnight = decimals((domain::kDayMs - startMsOfDay) / 1000.0);
    if (dates[0].empty())
        chain += ",drawtext=" + look.text + clock("");
    else
        chain += ",drawtext=" + look.text + ":enable='lt(t," + midnight + ")'" + clock(dates[0]) +
                 ",drawtext=" + look.text + ":enable='gte(t," + midnight + ")'" + clock(dates[1]);
    if (named) chain += nameText(look, stream.camera);
    if (start.held) chain += ",trim=end_frame=1";
    // The picture on view at the start shows from fromMs on; a later first picture at its own
    // time, after black from fromMs.
    if (start.firstMs > fromMs)
        chain += ",setpts=PTS-STARTPTS,tpad=start_duration=" + decimals((start.firstMs - fromMs) / 1000.0) +
                 ":color=black,setpts=PTS+" + decimals(fromMs / 1000.0) + "/TB";
    else
        chain += ",setpts=max(PTS\\," + decimals(fromMs / 1000.0) + "/TB)";
    chain += padText(place);
    // A held picture is one frame that the mosaic repeats; the others come at the one rate.
    return chain + (start.held ? "" : ",fps=" + rate) + "[" + label + "]";
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

// -o and one recording, a camera chosen one way at most, and an output that is neither a
// directory nor the recording itself.
int checkArguments(const Options& options, std::FILE* err)
{
    if (!options.has("-o") || options.positional.size() != 1) {
        std::fprintf(err, "dvrtool export: needs -o OUT.mp4 and one recording\n");
        return kExitUsage;
    }
    if (options.has("--camera") && options.has("--cameras")) {
        std::fprintf(err, "dvrtool export: give --camera or --cameras, not both\n");
        return kExitUsage;
    }
    const std::string& outPath = options.value("-o");
    std::error_code ignored;
    if (std::filesystem::exists(outPath, ignored) && !std::filesystem::is_regular_file(outPath, ignored)) {
        std::fprintf(err, "dvrtool export: %s is not a file to write over\n", outPath.c_str());
        return kExitUsage;
    }
    if (std::filesystem::equivalent(options.positional[0], outPath, ignored)) {
        std::fprintf(err, "dvrtool export: %s would be written over the recording itself\n", outPath.c_str());
        return kExitUsage;
    }
    return kExitOk;
}

// The container OUT's extension names: MP4, or another that ffmpeg writes and H.264 fits in.
// Any other is refused, rather than an MP4 hidden under a name that says otherwise.
int outputContainer(const std::string& outPath, std::string& muxer, std::FILE* err)
{
    std::string ext = std::filesystem::path(outPath).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const std::pair<const char*, const char*> kContainers[] = {
        {".mp4", "mp4"}, {".m4v", "mp4"}, {".mov", "mov"}, {".mkv", "matroska"}, {".avi", "avi"}};
    muxer.clear();
    for (const auto& container : kContainers)
        if (ext == container.first) muxer = container.second;
    if (muxer == "mp4") return kExitOk;
    if (!muxer.empty()) {
        Pipe pipe;
        std::string list;
        char buf[4096];
        size_t got;
        if (pipe.open({ffmpegProgram(), "-hide_banner", "-muxers"}, true))
            while ((got = pipe.read(buf, sizeof buf)) > 0) list.append(buf, got);
        pipe.close();
        if (list.find(" " + muxer + " ") != std::string::npos) return kExitOk;
    }
    std::fprintf(err, "dvrtool export: %s: ffmpeg cannot write a '%s' file here; name the output .mp4\n",
                 outPath.c_str(), ext.c_str());
    return kExitUsage;
}

// The cameras --camera or --cameras asks for; none when neither is given. False after saying
// what is wrong.
bool wantedCameras(const Options& options, domain::CameraMask& wanted, std::FILE* err)
{
    wanted = 0;
    const char* option = options.has("--camera") ? "--camera" : "--cameras";
    if (!options.has(option)) return true;
    int one = 0;
    const bool ok = options.has("--camera") ? parseWhole(options.value(option), 1, domain::kMaxCameras, one)
                                            : domain::ParseCameraSet(options.value(option), wanted);
    if (!ok) {
        std::fprintf(err, "dvrtool export: bad %s (cameras 1..16, as 3 or 1,4,9-12)\n", option);
        return false;
    }
    if (one) wanted = domain::CameraBit(one);
    return true;
}

// The streams of the cameras wanted, in camera order; with none wanted, every camera with
// pictures in the recording's order.
int chooseStreams(const rec::Recording& recording, domain::CameraMask wanted, const std::string& path,
                  std::vector<const rec::Stream*>& streams, std::FILE* err)
{
    domain::CameraMask present = 0;
    for (const rec::Stream& stream : recording.streams()) {
        if (stream.frameCount() == 0) continue;
        present |= domain::CameraBit(stream.camera);
        if (!wanted) streams.push_back(&stream);
    }
    for (int camera : domain::CamerasOf(wanted)) {
        const rec::Stream* stream = recording.streamForCamera(camera);
        if (!stream || stream->frameCount() == 0) {
            std::fprintf(err, "dvrtool export: no camera %d in %s (cameras: %s)\n", camera, path.c_str(),
                         present ? domain::FormatCameraSet(present).c_str() : "none");
            return kExitNoCamera;
        }
        streams.push_back(stream);
    }
    if (streams.empty()) {
        std::fprintf(err, "dvrtool export: %s holds no pictures\n", path.c_str());
        return kExitNoCamera;
    }
    return kExitOk;
}

// ffmpeg's filter graph: each camera in its cell of the player's grid for that many cameras.
struct Mosaic {
    std::string graph;
    Size size;
};

Mosaic buildMosaic(const rec::Recording& recording, const std::vector<const rec::Stream*>& streams,
                   const Stretch& stretch)
{
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
    const domain::Grid grid = domain::GridOf(domain::SplitFor(int(streams.size())));
    // The grid's picture is whole cells, whatever number of cameras fill it.
    const Size whole{cell.width * uint32_t(grid.cols), cell.height * uint32_t(grid.rows)};
    const bool font = std::ifstream(kFont).good();
    Mosaic mosaic{"", streams.size() == 1 ? cell : whole};
    std::string layout, inputs;
    for (size_t i = 0; i < streams.size(); i++) {
        const rec::Stream& stream = *streams[i];
        Size inner = streams.size() == 1 ? Size{stream.width, stream.height}
                                         : fitInside({stream.width, stream.height}, cell, true);
        const std::string label = "c" + std::to_string(i);
        const Placement place = centred(inner, cell);
        const CameraStart start = cameraStart(recording, stream, stretch.fromMs, stretch.toMs);
        const bool named = streams.size() > 1;
        mosaic.graph += (start.pictures ? cameraChain(stream, start, stretch.fromMs, stretch.toMs, stretch.startMsOfDay,
                                                      frameRate(rate), place, lookOf(inner, font), label,
                                                      stretch.dates, named)
                                        : blackChain(stream, stretch.fromMs, stretch.toMs, frameRate(rate), place,
                                                     lookOf(inner, font), label, named)) +
                        ";";
        inputs += "[" + label + "]";
        const domain::CellRect at = domain::CellOf(grid, int(i), int(whole.width), int(whole.height));
        layout += (i ? "|" : "") + std::to_string(at.left) + "_" + std::to_string(at.top);
    }
    if (streams.size() == 1)
        mosaic.graph += inputs + "null,";
    else
        mosaic.graph += inputs + "xstack=inputs=" + std::to_string(streams.size()) + ":layout=" + layout +
                        ":fill=black,pad=" + std::to_string(whole.width) + ":" + std::to_string(whole.height) +
                        ":0:0:black,";
    mosaic.graph += "setpts=PTS-STARTPTS,format=yuv420p[v]";
    return mosaic;
}

// Runs ffmpeg into a file beside the output and renames it over the output only when whole.
bool writeExport(const std::string& path, const std::string& outPath, const std::string& muxer, const Mosaic& mosaic,
                 const std::string& step, int64_t lengthMs, std::FILE* err)
{
    std::string partial = outPath + ".partial";
    FfmpegArgs command;
    // "file:" so that a name with a colon in it is not taken for a protocol.
    command.add({"-y", "-i", "file:" + path, "-filter_complex", mosaic.graph, "-map", "[v]", "-an", "-c:v", "libx264",
                 "-preset", "veryfast", "-crf", "20", "-movflags", "+faststart", "-f", muxer, "-nostats", "-progress",
                 "pipe:1", "file:" + partial});
    Progress progress("export", err);
    Pipe pipe;
    bool ok = startFfmpeg(pipe, command, err);
    if (ok) {
        // ffmpeg succeeds even when its graph gave no picture at all: that is no export.
        long long frames = followProgress(pipe, lengthMs, step, progress);
        ok = pipe.close() && frames > 0;
    }
    progress.clear();
    if (interrupted()) std::fprintf(err, "dvrtool export: interrupted\n");
    if (!ok || interrupted() || std::rename(partial.c_str(), outPath.c_str()) != 0) {
        std::fprintf(err, "dvrtool export: %s could not be written\n", outPath.c_str());
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

// NAME.manifest.json and NAME.sha256 beside the MP4; without them the MP4 is removed too.
bool writeExportManifest(const rec::Recording& recording, const std::vector<const rec::Stream*>& streams,
                         const Stretch& stretch, const Options& options, std::FILE* err)
{
    const std::string& outPath = options.value("-o");
    evidence::ClipRange range{stretch.fromMs, stretch.toMs, 0};
    for (const rec::Stream* stream : streams) range.cameras |= domain::CameraBit(stream->camera);
    evidence::Manifest manifest;
    std::string why;
    catchCutShortFiles(outPath.c_str());
    if (evidence::describeExport(options.positional[0], recording, range, "dvrtool export", manifest, why) &&
        evidence::writeManifestFiles(outPath, manifest, why))
        return true;
    std::fprintf(err, "dvrtool export: %s; %s removed\n", why.c_str(), outPath.c_str());
    std::remove(outPath.c_str());
    return false;
}

int runExport(const Options& options, std::FILE* out, std::FILE* err)
{
    int code = checkArguments(options, err);
    domain::CameraMask wanted = 0;
    if (code == kExitOk && !wantedCameras(options, wanted, err)) code = kExitUsage;
    if (code != kExitOk) return code;

    const std::string& path = options.positional[0];
    const std::string& outPath = options.value("-o");
    rec::Recording recording;
    rec::Status status = recording.open(path);
    if (!status) {
        std::fprintf(err, "dvrtool export: %s: %s\n", path.c_str(), status.reason.c_str());
        return exitCodeOf(status.error);
    }
    std::vector<const rec::Stream*> streams;
    Stretch stretch;
    if ((code = chooseStreams(recording, wanted, path, streams, err)) != kExitOk) return code;
    if ((code = resolveStretch("export", options, recording.startTime().msOfDay, streams, stretch, err)) != kExitOk)
        return code;
    const rec::StartTime& start = recording.startTime();
    for (int i = 0; i < 2; i++) {
        const domain::Date date = domain::DaysAfter({start.year, start.month, start.day}, i);
        if (date.IsKnown()) stretch.dates[i] = domain::FormatDate(date) + " ";
    }
    if (!ffmpegFound()) {
        std::fprintf(err, "dvrtool export: ffmpeg not found (%s); install it or name it in $DVRTOOL_FFMPEG\n",
                     ffmpegProgram().c_str());
        return kExitNoFfmpeg;
    }
    std::string muxer;
    if ((code = outputContainer(outPath, muxer, err)) != kExitOk) return code;

    catchInterrupts();
    const Mosaic mosaic = buildMosaic(recording, streams, stretch);
    const std::string step = streams.size() == 1 ? "camera " + std::to_string(streams[0]->camera)
                                                 : std::to_string(streams.size()) + " cameras";
    if (!writeExport(path, outPath, muxer, mosaic, step, stretch.toMs - stretch.fromMs, err)) return kExitFailed;
    if (!writeExportManifest(recording, streams, stretch, options, err)) return kExitFailed;
    std::fprintf(out, "wrote %s: %zu camera%s, %ux%u, %s to %s\n", outPath.c_str(), streams.size(),
                 streams.size() == 1 ? "" : "s", mosaic.size.width, mosaic.size.height,
                 clockText(stretch.startMsOfDay + stretch.fromMs).c_str(),
                 clockText(stretch.startMsOfDay + stretch.toMs).c_str());
    return kExitOk;
}

}  // namespace

const Command kExportCommand = {"export", kUsage, {"-o", "--from", "--to", "--camera", "--cameras"}, runExport};

}  // namespace dvrtool
