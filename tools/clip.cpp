// dvrtool clip: a stretch of a recording as a recording of its own, the original frames byte
// for byte, with its manifest. Needs no ffmpeg.
#include "tools/commands.h"

#include "domain/camera_set.h"
#include "evidence/clip_writer.h"
#include "tools/interrupt.h"
#include "tools/stretch.h"

namespace dvrtool {

namespace {

const char kUsage[] =
    "  clip -o OUT.d01 [--from T] [--to T] [--cameras LIST] REC\n"
    "      The stretch from T to T (\"+MM:SS\" from the start, or a time of day; the whole\n"
    "      recording by default) of the cameras in LIST (\"1,3,5-8\"; all by default), the\n"
    "      picture on view at --from included, every frame byte for byte. Writes OUT.d01,\n"
    "      OUT.d01.manifest.json and OUT.d01.sha256 (for sha256sum -c).\n";

// The cameras asked for (every one by default), then the stretch inside them; an exit code.
int readRange(const Options& options, const rec::Recording& source, evidence::ClipRange& range, std::FILE* err)
{
    range.cameras = source.cameraMask();
    if (options.has("--cameras") && !domain::ParseCameraSet(options.value("--cameras"), range.cameras)) {
        std::fprintf(err, "dvrtool clip: bad --cameras (as 1,3,5-8)\n");
        return kExitUsage;
    }
    if (range.cameras & ~source.cameraMask()) {
        std::fprintf(err, "dvrtool clip: the recording has no camera %s\n",
                     domain::FormatCameraSet(range.cameras & ~source.cameraMask()).c_str());
        return kExitNoCamera;
    }
    std::vector<const rec::Stream*> streams;
    for (int camera : domain::CamerasOf(range.cameras)) streams.push_back(source.streamForCamera(camera));
    Stretch stretch;
    const int code = resolveStretch("clip", options, source.startTime().msOfDay, streams, stretch, err);
    range.fromMs = stretch.fromMs;
    range.toMs = stretch.toMs;
    return code;
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
    if (const int code = readRange(options, source, request.range, err)) return code;
    catchInterrupts();
    catchCutShortFiles((request.outPath + ".partial").c_str());
    evidence::ClipResult result =
        evidence::writeClip(source, request, [](uint64_t, uint64_t) { return !interrupted(); });
    if (!result.ok) {
        std::fprintf(err, "dvrtool clip: %s; nothing written\n", result.why.c_str());
        return result.emptyStretch ? kExitOutOfRange : kExitFailed;
    }
    for (const evidence::CameraFrames& c : result.manifest.frames)
        std::fprintf(out, "camera %d: %llu frames\n", c.camera, (unsigned long long)c.count);
    std::fprintf(out, "wrote %s, its manifest and %s.sha256\n", request.outPath.c_str(), request.outPath.c_str());
    return kExitOk;
}

}  // namespace

const Command kClipCommand = {"clip", kUsage, {"-o", "--from", "--to", "--cameras"}, runClip};

}  // namespace dvrtool
