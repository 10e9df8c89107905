// dvrtool clip: a stretch of a recording as a recording of its own, the original frames byte
// for byte, with its manifest. Needs no ffmpeg.
#include "tools/commands.h"

#include "domain/camera_set.h"
#include "evidence/clip_writer.h"
#include "tools/interrupt.h"

namespace dvrtool {

namespace {

const char kUsage[] =
    "  clip -o OUT.d01 [--from T] [--to T] [--cameras LIST] REC\n"
    "      The stretch from T to T (\"+MM:SS\" from the start, or a time of day; the whole\n"
    "      recording by default) of the cameras in LIST (\"1,3,5-8\"; all by default), the\n"
    "      picture on view at --from included, every frame byte for byte. Writes OUT.d01,\n"
    "      OUT.d01.manifest.json and OUT.d01.sha256 (for sha256sum -c).\n";

bool readRange(const Options& options, const rec::Recording& source, evidence::ClipRange& range, std::FILE* err)
{
    const int32_t start = source.startTime().msOfDay;
    range.fromMs = 0;
    range.toMs = source.durationMs();
    if (options.has("--from") && !parseTimePoint(options.value("--from"), start, range.fromMs)) {
        std::fprintf(err, "dvrtool clip: bad --from\n");
        return false;
    }
    if (options.has("--to") && !parseTimePoint(options.value("--to"), start, range.toMs)) {
        std::fprintf(err, "dvrtool clip: bad --to\n");
        return false;
    }
    if (options.has("--cameras") && !domain::ParseCameraSet(options.value("--cameras"), range.cameras)) {
        std::fprintf(err, "dvrtool clip: bad --cameras (as 1,3,5-8)\n");
        return false;
    }
    return true;
}

int runClip(const Options& options, std::FILE* out, std::FILE* err)
{
    if (options.positional.size() != 1 || !options.has("-o")) {
        std::fprintf(err, "dvrtool clip: needs -o OUT and one REC\n");
        return kExitUsage;
    }
    evidence::ClipRequest request;
    request.sourcePath = options.positional[0];
    request.outPath = options.value("-o");
    request.program = "dvrtool clip";
    rec::Recording source;
    rec::Status status = source.open(request.sourcePath);
    if (!status) {
        std::fprintf(err, "dvrtool clip: %s: %s\n", request.sourcePath.c_str(), status.reason.c_str());
        return exitCodeOf(status.error);
    }
    if (!readRange(options, source, request.range, err)) return kExitUsage;
    if (!options.has("--cameras")) request.range.cameras = source.cameraMask();
    if (request.range.cameras & ~source.cameraMask()) {
        std::fprintf(err, "dvrtool clip: the recording has no camera %s\n",
                     domain::FormatCameraSet(request.range.cameras & ~source.cameraMask()).c_str());
        return kExitNoCamera;
    }
    catchInterrupts();
    catchCutShortFiles((request.outPath + ".partial").c_str());
    evidence::ClipResult result =
        evidence::writeClip(source, request, [](uint64_t, uint64_t) { return !interrupted(); });
    if (!result.ok) {
        std::fprintf(err, "dvrtool clip: %s; nothing written\n", result.why.c_str());
        return result.cancelled || result.why.find("picture") == std::string::npos ? kExitFailed : kExitOutOfRange;
    }
    for (const evidence::CameraFrames& c : result.manifest.frames)
        std::fprintf(out, "camera %d: %llu frames\n", c.camera, (unsigned long long)c.count);
    std::fprintf(out, "wrote %s, its manifest and %s.sha256\n", request.outPath.c_str(), request.outPath.c_str());
    return kExitOk;
}

}  // namespace

const Command kClipCommand = {"clip", kUsage, {"-o", "--from", "--to", "--cameras"}, runClip};

}  // namespace dvrtool
