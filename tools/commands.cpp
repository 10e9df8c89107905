#include "tools/commands.h"

#include "recording/recording.h"
#include "recording/writer.h"
#include "tools/events.h"
#include "tools/jpegsplit.h"
#include "tools/pipe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace dvrtool {

namespace {

const char kHelp[] =
    "usage: dvrtool COMMAND ...\n"
    "\n"
    "  make -o OUT --start \"YYYY-MM-DD HH:MM:SS.mmm\" [--fps F] [--size WxH] [--quality Q]\n"
    "       [--seconds S] [--motion auto] [--source FILE] [--gpi FILE] INPUT...\n"
    "      A recording from ordinary video files, one per camera. The i-th INPUT is camera i;\n"
    "      write N=PATH to give a camera number (1..16) yourself, e.g. 1=a.mp4 3=b.mp4.\n"
    "      Pictures are scaled to --size (default 320x240) at --fps (default 5) and stored as\n"
    "      MJPEG at ffmpeg quality Q (2 best .. 31, default 5). --seconds limits the length.\n"
    "      --motion auto: Motion levels from picture differences per 3.6 s slot.\n"
    "      --source FILE: lines \"SECONDS CAMERA\", one source event each.\n"
    "      --gpi FILE: lines \"SECONDS VALUE\", one GPI value each (1.8 s slots).\n"
    "      In both files blank lines and lines starting with # are ignored.\n"
    "\n"
    "  synth -o OUT [--cameras N] [--seconds S] [--fps F] [--size WxH] [--quality Q]\n"
    "       [--start \"YYYY-MM-DD HH:MM:SS.mmm\"]\n"
    "      A synthetic recording: each camera its own colour, a large \"CAM n\" label, a clock\n"
    "      and frame counter, and a white box that moves only in two intervals per camera; the\n"
    "      Motion block marks those intervals, a Source event marks each start, GPI pulses\n"
    "      every 20 s. Defaults: 4 cameras, 10 s, 4 fps, 320x240, quality 24.\n"
    "\n"
    "  info FILE\n"
    "      Cameras, sizes, frame counts, duration, start time, events and damage.\n"
    "\n"
    "Exit codes: 0 ok, 1 usage, 2 file missing or unreadable, 3 not a recording,\n"
    "4 too damaged to open, 5 ffmpeg or writing failed. $DVRTOOL_FFMPEG names ffmpeg.\n";

struct Options {
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
};

// Every option takes a value; false with a message on an unknown one.
bool parseOptions(const std::vector<std::string>& args, size_t from, const std::vector<std::string>& known,
                  Options& o, std::string& error) {
    for (size_t i = from; i < args.size(); i++) {
        const std::string& a = args[i];
        if (a.size() > 1 && a[0] == '-') {
            if (std::find(known.begin(), known.end(), a) == known.end()) {
                error = "unknown option " + a;
                return false;
            }
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            o.values[a] = args[++i];
        } else {
            o.positional.push_back(a);
        }
    }
    return true;
}

bool readText(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    out = s.str();
    return true;
}

std::string fpsText(uint32_t rate, uint32_t scale) { return std::to_string(rate) + "/" + std::to_string(scale); }

// Reads the next picture from a pipe into out; false at the end.
bool nextPicture(Pipe& p, JpegSplitter& s, std::vector<uint8_t>& out) {
    uint8_t buf[65536];
    while (!s.next(out)) {
        size_t n = p.read(buf, sizeof buf);
        if (n == 0) return false;
        s.feed(buf, n);
    }
    return true;
}

// Raises a block's count so that it covers the recording's length.
void coverDuration(uint8_t* block, int64_t ms, int64_t slotMs, size_t slots) {
    int64_t n = (ms + slotMs - 1) / slotMs;
    if (n > int64_t(slots)) n = int64_t(slots);
    if (rec::blockCount(block) < n) rec::setBlockCount(block, uint16_t(n));
}

struct Camera {
    int number;
    std::vector<std::string> ffmpegArgs;  // producing MJPEG on stdout
    Pipe pipe;
    JpegSplitter split;
    bool done = false;
};

// Runs every camera's ffmpeg at once and writes their pictures interleaved, one from each per
// round, so that memory stays small whatever the length.
int writeInterleaved(std::vector<std::unique_ptr<Camera>>& cams, rec::Writer& w, std::FILE* err,
                     int64_t& durationMs, uint32_t rate, uint32_t scale) {
    for (auto& c : cams) {
        if (!c->pipe.open(c->ffmpegArgs)) {
            std::fprintf(err, "dvrtool: cannot start ffmpeg\n");
            return kExitFailed;
        }
    }
    std::vector<uint8_t> pic;
    std::vector<uint64_t> count(cams.size(), 0);
    size_t live = cams.size();
    while (live > 0) {
        for (size_t i = 0; i < cams.size(); i++) {
            Camera& c = *cams[i];
            if (c.done) continue;
            if (!nextPicture(c.pipe, c.split, pic)) {
                c.done = true;
                live--;
                bool ok = c.pipe.close();
                if (!ok || count[i] == 0) {
                    std::fprintf(err, "dvrtool: ffmpeg gave no pictures for camera %d\n", c.number);
                    return kExitFailed;
                }
                continue;
            }
            rec::Status s = w.addFrame(i, pic.data(), pic.size());
            if (!s) {
                std::fprintf(err, "dvrtool: %s\n", s.reason.c_str());
                return kExitFailed;
            }
            count[i]++;
        }
    }
    uint64_t most = *std::max_element(count.begin(), count.end());
    durationMs = int64_t(most * scale * 1000 / rate);
    return kExitOk;
}

int commonSettings(const Options& o, uint32_t& rate, uint32_t& scale, uint32_t& w, uint32_t& h, int& quality,
                   rec::StartTime& start, std::FILE* err) {
    if (o.values.count("--fps") && !parseFps(o.values.at("--fps"), rate, scale)) {
        std::fprintf(err, "dvrtool: bad --fps\n");
        return kExitUsage;
    }
    if (o.values.count("--size") && !parseSize(o.values.at("--size"), w, h)) {
        std::fprintf(err, "dvrtool: bad --size (WxH, even, 16..4096)\n");
        return kExitUsage;
    }
    if (o.values.count("--quality")) {
        quality = std::atoi(o.values.at("--quality").c_str());
        if (quality < 2 || quality > 31) {
            std::fprintf(err, "dvrtool: --quality must be 2..31\n");
            return kExitUsage;
        }
    }
    if (o.values.count("--start") && !parseStartTime(o.values.at("--start"), start)) {
        std::fprintf(err, "dvrtool: bad --start (YYYY-MM-DD HH:MM:SS.mmm)\n");
        return kExitUsage;
    }
    return kExitOk;
}

bool parseSeconds(const std::string& s, double& out) {
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end != s.c_str() && *end == 0 && std::isfinite(out) && out > 0 && out <= 3600;
}

int cmdMake(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options o;
    std::string error;
    if (!parseOptions(args, 1, {"-o", "--start", "--fps", "--size", "--quality", "--seconds", "--motion", "--source", "--gpi"},
                      o, error)) {
        std::fprintf(err, "dvrtool make: %s\n", error.c_str());
        return kExitUsage;
    }
    if (!o.values.count("-o") || !o.values.count("--start") || o.positional.empty()) {
        std::fprintf(err, "dvrtool make: needs -o OUT, --start and at least one input\n");
        return kExitUsage;
    }
    uint32_t rate = 5, scale = 1, w = 320, h = 240;
    int quality = 5;
    rec::StartTime start;
    if (int e = commonSettings(o, rate, scale, w, h, quality, start, err)) return e;
    double seconds = 0;
    if (o.values.count("--seconds") && !parseSeconds(o.values.at("--seconds"), seconds)) {
        std::fprintf(err, "dvrtool make: bad --seconds\n");
        return kExitUsage;
    }
    bool motion = false;
    if (o.values.count("--motion")) {
        if (o.values.at("--motion") != "auto" && o.values.at("--motion") != "off") {
            std::fprintf(err, "dvrtool make: --motion takes auto or off\n");
            return kExitUsage;
        }
        motion = o.values.at("--motion") == "auto";
    }
    rec::SourceBlock source{};
    rec::GpiBlock gpi{};
    rec::MotionBlock motionBlock{};
    for (const char* opt : {"--source", "--gpi"}) {
        if (!o.values.count(opt)) continue;
        std::string text;
        if (!readText(o.values.at(opt), text)) {
            std::fprintf(err, "dvrtool make: cannot read %s\n", o.values.at(opt).c_str());
            return kExitUsage;
        }
        bool ok = std::strcmp(opt, "--source") == 0 ? parseSourceEvents(text, source, error)
                                                     : parseGpiEvents(text, gpi, error);
        if (!ok) {
            std::fprintf(err, "dvrtool make: %s\n", error.c_str());
            return kExitUsage;
        }
    }

    // Inputs: PATH is camera i (its position), N=PATH is camera N.
    std::vector<std::unique_ptr<Camera>> cams;
    std::vector<std::string> paths;
    uint32_t taken = 0;
    for (size_t i = 0; i < o.positional.size(); i++) {
        std::string a = o.positional[i];
        int cam = int(i) + 1;
        size_t eq = a.find('=');
        if (eq != std::string::npos && eq > 0 && eq <= 2 &&
            std::all_of(a.begin(), a.begin() + long(eq), [](char c) { return c >= '0' && c <= '9'; })) {
            cam = std::atoi(a.substr(0, eq).c_str());
            a = a.substr(eq + 1);
        }
        if (cam < 1 || cam > 16 || (taken & (1u << (cam - 1)))) {
            std::fprintf(err, "dvrtool make: camera numbers must be distinct, 1..16\n");
            return kExitUsage;
        }
        taken |= 1u << (cam - 1);
        auto c = std::make_unique<Camera>();
        c->number = cam;
        c->ffmpegArgs = {ffmpegProgram(), "-v", "error", "-nostdin", "-i", a};
        if (seconds > 0) c->ffmpegArgs.insert(c->ffmpegArgs.end(), {"-t", std::to_string(seconds)});
        c->ffmpegArgs.insert(c->ffmpegArgs.end(),
                             {"-an", "-vf",
                              "fps=" + fpsText(rate, scale) + ",scale=" + std::to_string(w) + ":" + std::to_string(h),
                              "-pix_fmt", "yuvj420p", "-c:v", "mjpeg", "-q:v", std::to_string(quality), "-f",
                              "image2pipe", "-"});
        cams.push_back(std::move(c));
        paths.push_back(a);
    }

    std::vector<rec::StreamSpec> specs;
    for (auto& c : cams) specs.push_back({c->number, w, h});
    rec::WriterOptions wo;
    wo.rate = rate;
    wo.scale = scale;
    rec::Writer wr;
    rec::Status s = wr.open(o.values.at("-o"), specs, wo);
    if (!s) {
        std::fprintf(err, "dvrtool make: %s\n", s.reason.c_str());
        return kExitFailed;
    }
    int64_t durationMs = 0;
    if (int e = writeInterleaved(cams, wr, err, durationMs, rate, scale)) return e;

    if (motion) {
        // Small gray pictures, a second ffmpeg run per camera: differences need no colour.
        const size_t kW = 64, kH = 48;
        for (size_t i = 0; i < cams.size(); i++) {
            std::vector<std::string> a = {ffmpegProgram(), "-v", "error", "-nostdin", "-i", paths[i]};
            if (seconds > 0) a.insert(a.end(), {"-t", std::to_string(seconds)});
            a.insert(a.end(), {"-an", "-vf", "fps=" + fpsText(rate, scale) + ",scale=64:48", "-pix_fmt", "gray", "-f",
                               "rawvideo", "-"});
            Pipe p;
            if (!p.open(a)) return kExitFailed;
            MotionMeter m;
            std::vector<uint8_t> frame(kW * kH);
            uint64_t n = 0;
            while (p.read(frame.data(), frame.size()) == frame.size()) {
                m.add(frame.data(), frame.size(), double(n) * scale / rate);
                n++;
            }
            p.close();
            m.store(motionBlock, cams[i]->number);
        }
    }
    coverDuration(source.data(), durationMs, rec::kSourceSlotMs, rec::kSourceSlots);
    coverDuration(motionBlock.data(), durationMs, rec::kMotionSlotMs, rec::kMotionSlots);
    coverDuration(gpi.data(), durationMs, rec::kGpiSlotMs, rec::kGpiSlots);
    wr.setStartTime(start);
    wr.setSourceBlock(source);
    wr.setMotionBlock(motionBlock);
    wr.setGpiBlock(gpi);
    s = wr.close();
    if (!s) {
        std::fprintf(err, "dvrtool make: %s\n", s.reason.c_str());
        return kExitFailed;
    }
    std::fprintf(out, "wrote %s: %zu cameras, %.3f s\n", o.values.at("-o").c_str(), cams.size(), durationMs / 1000.0);
    return kExitOk;
}

// A colour per camera, far apart from each other.
const char* const kColours[16] = {"0x1f4e9c", "0x9c1f1f", "0x1f8c3a", "0x8c6a1f", "0x6a1f8c", "0x1f8c8c",
                                  "0x8c1f6a", "0x4a4a4a", "0x2f6fbf", "0xbf4f2f", "0x3faf5f", "0xaf8f2f",
                                  "0x7f3faf", "0x2fa0a0", "0xa02f7f", "0x606030"};

const char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.3f", v);
    return b;
}

int cmdSynth(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options o;
    std::string error;
    if (!parseOptions(args, 1, {"-o", "--cameras", "--seconds", "--fps", "--size", "--quality", "--start"}, o, error) ||
        !o.positional.empty()) {
        std::fprintf(err, "dvrtool synth: %s\n", error.empty() ? "unexpected argument" : error.c_str());
        return kExitUsage;
    }
    if (!o.values.count("-o")) {
        std::fprintf(err, "dvrtool synth: needs -o OUT\n");
        return kExitUsage;
    }
    uint32_t rate = 4, scale = 1, w = 320, h = 240;
    int quality = 24;
    rec::StartTime start;
    parseStartTime("2024-01-01 08:00:00.000", start);
    if (int e = commonSettings(o, rate, scale, w, h, quality, start, err)) return e;
    int n = 4;
    if (o.values.count("--cameras")) {
        n = std::atoi(o.values.at("--cameras").c_str());
        if (n < 1 || n > 16) {
            std::fprintf(err, "dvrtool synth: --cameras must be 1..16\n");
            return kExitUsage;
        }
    }
    double seconds = 10;
    if (o.values.count("--seconds") && !parseSeconds(o.values.at("--seconds"), seconds)) {
        std::fprintf(err, "dvrtool synth: bad --seconds (0 < S <= 3600)\n");
        return kExitUsage;
    }

    bool text = std::ifstream(kFont).good();
    if (!text) std::fprintf(err, "dvrtool synth: no font at %s; cameras marked by boxes instead\n", kFont);
    uint32_t box = std::max<uint32_t>(8, h / 6);
    std::vector<std::unique_ptr<Camera>> cams;
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
    for (int cam = 1; cam <= n; cam++) {
        std::string fr = fpsText(rate, scale);
        std::string x = std::to_string((w - box) / 2);
        for (const Interval& iv : synthIntervals(cam, seconds)) {
            // Out and back a whole number of times: the box is at rest again when it ends.
            int k = std::max(1, int((iv.end - iv.begin) / 2));
            x += "+" + std::to_string(w / 3) + "*sin(" + std::to_string(k) + "*PI*(t-" + num(iv.begin) + ")/" +
                 num(iv.end - iv.begin) + ")*between(t," + num(iv.begin) + "," + num(iv.end) + ")";
            size_t first = rec::motionSlotOf(int64_t(iv.begin * 1000));
            size_t last = rec::motionSlotOf(int64_t(std::ceil(iv.end * 1000)) - 1);
            for (size_t j = first; j <= last; j++) rec::setMotionLevel(motion, j, cam, uint8_t(100 + 9 * cam));
            rec::addSourceEvent(source, rec::sourceSlotOf(int64_t(iv.begin * 1000)), cam);
        }
        std::string graph = "[0][1]overlay=x='" + x + "':y=" + std::to_string(h * 5 / 8) + ":eval=frame:shortest=1";
        if (text) {
            graph += ",drawtext=fontfile=" + std::string(kFont) + ":text='CAM " + std::to_string(cam) +
                     "':fontsize=" + std::to_string(h / 5) + ":fontcolor=white:x=" + std::to_string(w / 16) +
                     ":y=" + std::to_string(h / 12);
            graph += ",drawtext=fontfile=" + std::string(kFont) + ":text='%{pts\\:hms} #%{n}':fontsize=" +
                     std::to_string(h / 12) + ":fontcolor=yellow:x=" + std::to_string(w / 16) +
                     ":y=" + std::to_string(h - h / 8);
        } else {
            // Without a font: camera n shows n small squares along the top.
            for (int b = 0; b < cam; b++)
                graph += ",drawbox=x=" + std::to_string(4 + b * (w / 17)) + ":y=4:w=" + std::to_string(w / 20) +
                         ":h=" + std::to_string(w / 20) + ":color=white:t=fill";
        }
        auto c = std::make_unique<Camera>();
        c->number = cam;
        c->ffmpegArgs = {ffmpegProgram(), "-v", "error", "-nostdin",
                         "-f", "lavfi", "-i",
                         "color=c=" + std::string(kColours[cam - 1]) + ":s=" + std::to_string(w) + "x" +
                             std::to_string(h) + ":r=" + fr + ":d=" + num(seconds),
                         "-f", "lavfi", "-i",
                         "color=c=white:s=" + std::to_string(box) + "x" + std::to_string(box) + ":r=" + fr,
                         "-filter_complex", graph,
                         "-pix_fmt", "yuvj420p", "-c:v", "mjpeg", "-q:v", std::to_string(quality),
                         "-f", "image2pipe", "-"};
        cams.push_back(std::move(c));
    }
    for (double t = 5; t < seconds && t < 3600; t += 20) rec::setGpiValue(gpi, rec::gpiSlotOf(int64_t(t * 1000)), 1);

    std::vector<rec::StreamSpec> specs;
    for (auto& c : cams) specs.push_back({c->number, w, h});
    rec::WriterOptions wo;
    wo.rate = rate;
    wo.scale = scale;
    rec::Writer wr;
    rec::Status s = wr.open(o.values.at("-o"), specs, wo);
    if (!s) {
        std::fprintf(err, "dvrtool synth: %s\n", s.reason.c_str());
        return kExitFailed;
    }
    int64_t durationMs = 0;
    if (int e = writeInterleaved(cams, wr, err, durationMs, rate, scale)) return e;
    coverDuration(source.data(), durationMs, rec::kSourceSlotMs, rec::kSourceSlots);
    coverDuration(motion.data(), durationMs, rec::kMotionSlotMs, rec::kMotionSlots);
    coverDuration(gpi.data(), durationMs, rec::kGpiSlotMs, rec::kGpiSlots);
    wr.setStartTime(start);
    wr.setSourceBlock(source);
    wr.setMotionBlock(motion);
    wr.setGpiBlock(gpi);
    s = wr.close();
    if (!s) {
        std::fprintf(err, "dvrtool synth: %s\n", s.reason.c_str());
        return kExitFailed;
    }
    std::fprintf(out, "wrote %s: %d cameras, %.3f s, %llu bytes\n", o.values.at("-o").c_str(), n,
                 durationMs / 1000.0, static_cast<unsigned long long>(wr.bytesWritten()));
    return kExitOk;
}

const char* startSourceName(rec::Recording::StartSource s) {
    switch (s) {
    case rec::Recording::StartSource::Dvrx: return "dvrx";
    case rec::Recording::StartSource::AviDate: return "AVI date";
    case rec::Recording::StartSource::None: break;
    }
    return "none, midnight";
}

int cmdInfo(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 2) {
        std::fprintf(err, "dvrtool info: needs one FILE\n");
        return kExitUsage;
    }
    rec::Recording r;
    rec::Status s = r.open(args[1]);
    if (!s) {
        std::fprintf(err, "dvrtool info: %s: %s\n", args[1].c_str(), s.reason.c_str());
        switch (s.error) {
        case rec::Error::NotRecording: return kExitNotRecording;
        case rec::Error::Damaged: return kExitDamaged;
        default: return kExitUnreadable;
        }
    }
    std::string start = rec::formatStartTime(r.startTime());
    std::replace(start.begin(), start.end(), '\t', ' ');
    std::fprintf(out, "file: %s\nsize: %llu bytes\nstart: %s (%s)\nduration: %.3f s\n", args[1].c_str(),
                 static_cast<unsigned long long>(r.fileSize()), start.c_str(), startSourceName(r.startSource()),
                 r.durationMs() / 1000.0);
    std::fprintf(out, "cameras: %zu (mask 0x%04x)\n", r.streams().size(), r.cameraMask());
    for (const rec::Stream& st : r.streams())
        std::fprintf(out, "  camera %d: %ux%u, %u/%u fps, %zu frames, %.3f s\n", st.camera, st.width, st.height,
                     st.rate, st.scale, st.frameCount(), st.durationMs() / 1000.0);
    size_t srcEvents = 0, motSlots = 0, gpiSet = 0;
    uint16_t sc = rec::blockCount(r.sourceBlock().data()), mc = rec::blockCount(r.motionBlock().data()),
             gc = rec::blockCount(r.gpiBlock().data());
    for (size_t j = 0; j < sc; j++)
        if (rec::sourceStatus(r.sourceBlock(), j) < 0)
            for (uint32_t m = rec::sourceMask(r.sourceBlock(), j); m; m &= m - 1) srcEvents++;
    for (size_t j = 0; j < mc; j++)
        for (int c = 1; c <= 16; c++)
            if (rec::motionLevel(r.motionBlock(), j, c)) motSlots++;
    for (size_t j = 0; j < gc; j++)
        if (rec::gpiValue(r.gpiBlock(), j)) gpiSet++;
    std::fprintf(out, "events: %s\n", r.hasDvrx() ? "dvrx" : "none (no dvrx chunk)");
    std::fprintf(out, "  source: %u slots, %zu camera events\n", sc, srcEvents);
    std::fprintf(out, "  motion: %u slots, %zu camera slots with motion\n", mc, motSlots);
    std::fprintf(out, "  gpi: %u slots, %zu with a value\n", gc, gpiSet);
    if (r.damage().empty()) {
        std::fprintf(out, "damage: none\n");
    } else {
        std::fprintf(out, "damage: %zu\n", r.damage().size());
        for (const rec::Damage& d : r.damage())
            std::fprintf(out, "  at 0x%llx: %s\n", static_cast<unsigned long long>(d.offset), d.what.c_str());
    }
    return kExitOk;
}

}  // namespace

std::vector<Interval> synthIntervals(int cam, double seconds) {
    int k = (cam - 1) % 16;
    double a = seconds * (0.05 + 0.05 * (k % 4));
    double b = seconds * (0.50 + 0.05 * (k / 4));
    return {{a, a + seconds * 0.15}, {b, b + seconds * 0.10}};
}

bool parseFps(const std::string& s, uint32_t& rate, uint32_t& scale) {
    char* end = nullptr;
    size_t slash = s.find('/');
    if (slash != std::string::npos) {
        unsigned long r = std::strtoul(s.c_str(), &end, 10);
        if (end != s.c_str() + slash) return false;
        const char* d = s.c_str() + slash + 1;
        unsigned long q = std::strtoul(d, &end, 10);
        if (end == d || *end || r == 0 || q == 0 || r > 1000000 || q > 1000000 || r > q * 1000) return false;
        rate = uint32_t(r);
        scale = uint32_t(q);
        return true;
    }
    double f = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end || !(f > 0) || f > 1000) return false;
    // Three decimals are plenty for frame rates.
    uint32_t r = uint32_t(std::llround(f * 1000)), q = 1000;
    if (r == 0) return false;
    for (uint32_t g : {2u, 2u, 2u, 5u, 5u, 5u})
        if (r % g == 0 && q % g == 0) r /= g, q /= g;
    rate = r;
    scale = q;
    return true;
}

bool parseSize(const std::string& s, uint32_t& w, uint32_t& h) {
    unsigned a = 0, b = 0;
    char x = 0, extra = 0;
    if (std::sscanf(s.c_str(), "%5u%c%5u%c", &a, &x, &b, &extra) != 3 || x != 'x') return false;
    if (a < 16 || b < 16 || a > 4096 || b > 4096 || (a & 1) || (b & 1)) return false;
    w = a;
    h = b;
    return true;
}

void printHelp(std::FILE* out) { std::fputs(kHelp, out); }

int run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.empty()) {
        printHelp(err);
        return kExitUsage;
    }
    const std::string& c = args[0];
    if (c == "--help" || c == "-h" || c == "help") {
        printHelp(out);
        return kExitOk;
    }
    if (c == "make") return cmdMake(args, out, err);
    if (c == "synth") return cmdSynth(args, out, err);
    if (c == "info") return cmdInfo(args, out, err);
    std::fprintf(err, "dvrtool: unknown command %s\n", c.c_str());
    printHelp(err);
    return kExitUsage;
}

}  // namespace dvrtool
