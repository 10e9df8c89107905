#include "evidence/clip_writer.h"

#include "domain/file_path.h"
#include "evidence/files.h"
#include "evidence/frame_hashes.h"
#include "evidence/sha256.h"
#include "evidence/side_task.h"
#include "recording/writer.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <vector>

namespace evidence {

namespace {

struct CameraCursor {
    const CameraPlan* plan = nullptr;
    uint64_t next = 0;  // clip frame index
    uint64_t total = 0;
    int64_t clipTime() const { return plan->stream->timeOf(next); }
};

std::vector<rec::StreamFormat> formatsOf(const ClipPlan& plan)
{
    std::vector<rec::StreamFormat> formats;
    for (const CameraPlan& c : plan.cameras)
        formats.push_back({c.camera, c.stream->width, c.stream->height, c.stream->rate, c.stream->scale});
    return formats;
}

uint64_t bytesOf(const ClipPlan& plan)
{
    uint64_t total = 0;
    for (const CameraPlan& c : plan.cameras)
        for (long i = c.first; i < c.end; i++) total += c.stream->frames[size_t(i)].size;
    return total;
}

// Every camera's frames, the earliest in the clip first; false after setting why.
bool writeFrames(FrameAccess& frames, const ClipPlan& plan, rec::Writer& writer, std::vector<CameraCursor>& cursors,
                 const ClipProgress& progress, ClipResult& result)
{
    const uint64_t total = bytesOf(plan);
    uint64_t done = 0, pictures = 0;
    for (;;) {
        CameraCursor* pick = nullptr;
        for (CameraCursor& c : cursors)
            if (c.next < c.total && (!pick || c.clipTime() < pick->clipTime())) pick = &c;
        if (!pick) return true;
        const size_t stream = size_t(pick - cursors.data());
        const uint64_t k = pick->next++;
        if (k < pick->plan->empty) {
            writer.addFrame(stream, nullptr, 0);
            continue;
        }
        const long index = pick->plan->first + long(k - pick->plan->empty);
        const rec::Frame& frame = pick->plan->stream->frames[size_t(index)];
        const uint8_t* bytes = frame.size ? frames.bytes(frame) : nullptr;
        if (frame.size && !bytes) {
            result.why = "cannot read the source's frames";
            return false;
        }
        rec::Status status = writer.addFrame(stream, bytes, frame.size);
        if (!status) {
            result.why = status.reason;
            return false;
        }
        if (!frame.size) continue;
        done += frame.size;
        if (progress && ++pictures % 16 == 0 && !progress(done, total)) {
            result.cancelled = true;
            result.why = "cancelled";
            return false;
        }
    }
}

bool writeClipFile(const rec::Recording& source, const FileView& view, const ClipPlan& plan, const ClipRequest& request,
                   const std::string& path, const ClipProgress& progress, ClipResult& result)
{
    rec::Writer writer;
    rec::WriterOptions options;
    options.rate = plan.cameras.front().stream->rate;
    options.scale = plan.cameras.front().stream->scale;
    rec::Status status = writer.open(path, formatsOf(plan), options);
    if (!status) {
        result.why = status.reason;
        return false;
    }
    std::vector<CameraCursor> cursors;
    for (const CameraPlan& c : plan.cameras) {
        CameraCursor cursor;
        cursor.plan = &c;
        cursor.total = c.empty + uint64_t(c.end - c.first);
        cursors.push_back(cursor);
    }
    FrameAccess frames(source, view);
    bool ok = writeFrames(frames, plan, writer, cursors, progress, result);
    writer.setStartTime(startTimeAfter(source.startTime(), plan.startMs));
    ClipEvents events = moveEvents(source, plan.startMs, request.range.toMs);
    writer.setSourceBlock(events.source);
    writer.setMotionBlock(events.motion);
    writer.setGpiBlock(events.gpi);
    status = writer.close();
    if (ok && !status) result.why = "cannot write " + path + ": " + status.reason;
    return ok && status;
}

// The source's name, size, hash and start into the manifest; false with why when unread.
bool describeSource(const std::string& sourcePath, const rec::Recording& source, const SourceHash& hash,
                    Manifest& manifest, std::string& why)
{
    if (!hash.ok) {
        why = "cannot read " + sourcePath;
        return false;
    }
    manifest.sourcePath = sourcePath;
    manifest.sourceSize = hash.size;
    manifest.sourceSha256 = hash.sha256;
    manifest.sourceStartOfDay = source.startTime().msOfDay;
    return true;
}

void describeRange(const ClipPlan& plan, const ClipRange& range, const char* kind, const std::string& program,
                   Manifest& m)
{
    m.kind = kind;
    m.fromMs = range.fromMs;
    m.toMs = range.toMs;
    m.program = program;
    m.version = programVersion();
    m.created = utcNow();
    for (const CameraPlan& c : plan.cameras) m.cameras |= domain::CameraBit(c.camera);
}

}  // namespace

// The source's own hash runs beside the hash of its frames: two passes, one a core.
bool describeExport(const std::string& sourcePath, const rec::Recording& source, const ClipRange& range,
                    const std::string& program, Manifest& m, std::string& why)
{
    ClipPlan plan;
    if (!planClip(source, range, plan, why)) return false;
    describeRange(plan, range, "mp4", program, m);
    SourceHash sourceHash;
    FrameHashes hashes;
    {
        const FileView view(sourcePath);
        SideTask hashing([&] { sourceHash = hashSourceFile(sourcePath, view); });
        const std::atomic<bool> never{false};
        hashes = hashPlannedFrames(source, view, plan, never);
    }
    if (!describeSource(sourcePath, source, sourceHash, m, why)) return false;
    if (!hashes.ok) {
        why = hashes.why;
        return false;
    }
    m.frames = hashes.frames;
    return true;
}

bool writeManifestFiles(const std::string& exportPath, Manifest& manifest, std::string& why)
{
    Digest exportDigest{};
    if (!sha256OfFile(exportPath, exportDigest)) {
        why = "cannot read " + exportPath;
        return false;
    }
    return writeManifestFiles(exportPath, exportDigest, manifest, why);
}

bool writeManifestFiles(const std::string& exportPath, const Digest& exportDigest, Manifest& manifest, std::string& why)
{
    const std::string json = exportPath + ".manifest.json", sums = exportPath + ".sha256";
    manifest.file = domain::NameOf(exportPath);
    const std::string text = manifestJson(manifest);
    bool ok = writeTextFile(json, text);
    const Digest jsonDigest = sha256Of(text.data(), text.size());
    ok = ok && writeTextFile(sums, sha256Lines({{toHex(exportDigest), manifest.file},
                                                {toHex(jsonDigest), domain::NameOf(json)}}));
    if (!ok) {
        removeFile(json);
        removeFile(sums);
        why = "cannot write the manifest beside " + exportPath;
    }
    return ok;
}

// Two passes a core: the frames are copied on this thread while their hashes are made on
// another; once the clip is whole, its own hash and the source's are made side by side.
ClipResult writeClip(const rec::Recording& source, const ClipRequest& request, const ClipProgress& progress)
{
    ClipResult result;
    std::error_code ignored;
    if (std::filesystem::equivalent(std::filesystem::u8path(request.sourcePath), std::filesystem::u8path(request.outPath),
                                    ignored)) {
        result.why = "the clip would be written over its own source";
        return result;
    }
    ClipPlan plan;
    if (!planClip(source, request.range, plan, result.why)) {
        result.emptyStretch = true;
        return result;
    }
    Manifest& m = result.manifest;
    describeRange(plan, request.range, "clip", request.program, m);

    const std::string partial = request.outPath + ".partial";
    std::atomic<bool> stop{false};
    FrameHashes hashes;
    bool written = false;
    const FileView view(request.sourcePath);  // for the frames, then the source's hash
    {
        SideTask frameHashing([&] { hashes = hashPlannedFrames(source, view, plan, stop); });
        written = writeClipFile(source, view, plan, request, partial, progress, result);
        stop = !written;
    }
    if (written && !hashes.ok) result.why = hashes.why;
    SourceHash sourceHash;
    Digest clipDigest{};
    bool clipHashed = false;
    if (written && hashes.ok) {
        SideTask sourceHashing([&] { sourceHash = hashSourceFile(request.sourcePath, view); });
        clipHashed = sha256OfFile(partial, clipDigest);
    }
    if (!written || !hashes.ok || !describeSource(request.sourcePath, source, sourceHash, m, result.why)) {
        removeFile(partial);
        return result;
    }
    if (!clipHashed) {
        removeFile(partial);
        result.why = "cannot read " + partial;
        return result;
    }
    m.frames = hashes.frames;
    if (!replaceFile(partial, request.outPath)) {
        removeFile(partial);
        result.why = "cannot rename " + partial + " to " + request.outPath;
        return result;
    }
    if (!writeManifestFiles(request.outPath, clipDigest, m, result.why)) {
        removeFile(request.outPath);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace evidence
