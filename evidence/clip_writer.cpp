#include "evidence/clip_writer.h"

#include "evidence/files.h"
#include "evidence/sha256.h"
#include "recording/writer.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace evidence {

namespace {

struct CameraCursor {
    const CameraPlan* plan = nullptr;
    uint64_t next = 0;  // clip frame index
    uint64_t total = 0;
    std::unique_ptr<Sha256> hash;
    CameraFrames frames;
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
bool writeFrames(const rec::Recording& source, const ClipPlan& plan, rec::Writer& writer, std::vector<CameraCursor>& cursors,
                 const ClipProgress& progress, ClipResult& result)
{
    const uint64_t total = bytesOf(plan);
    uint64_t done = 0, pictures = 0;
    std::vector<uint8_t> bytes;
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
        if (frame.size && !source.readFrame(frame, bytes)) {
            result.why = "cannot read the source's frames";
            return false;
        }
        rec::Status status = writer.addFrame(stream, bytes.data(), frame.size);
        if (!status) {
            result.why = status.reason;
            return false;
        }
        if (!frame.size) continue;
        pick->hash->update(bytes.data(), frame.size);
        if (!pick->frames.count++) pick->frames.firstMs = frame.timeMs;
        pick->frames.lastMs = frame.timeMs;
        done += frame.size;
        if (progress && ++pictures % 16 == 0) {
            if (!progress(done, total)) {
                result.cancelled = true;
                result.why = "cancelled";
                return false;
            }
        }
    }
}

bool writeClipFile(const rec::Recording& source, const ClipPlan& plan, const ClipRequest& request,
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
        cursor.hash.reset(new Sha256);
        cursor.frames.camera = c.camera;
        cursors.push_back(std::move(cursor));
    }
    bool ok = writeFrames(source, plan, writer, cursors, progress, result);
    writer.setStartTime(startTimeAfter(source.startTime(), plan.startMs));
    ClipEvents events = moveEvents(source, plan.startMs, request.range.toMs);
    writer.setSourceBlock(events.source);
    writer.setMotionBlock(events.motion);
    writer.setGpiBlock(events.gpi);
    status = writer.close();
    if (ok && !status) result.why = "cannot write " + path + ": " + status.reason;
    if (!ok || !status) return false;
    for (CameraCursor& c : cursors) {
        c.frames.sha256 = toHex(c.hash->digest());
        result.manifest.frames.push_back(c.frames);
    }
    return true;
}

}  // namespace

bool describeSource(const std::string& sourcePath, const rec::Recording& source, Manifest& manifest, std::string& why)
{
    Digest digest{};
    if (!sha256OfFile(sourcePath, digest, &manifest.sourceSize)) {
        why = "cannot read " + sourcePath;
        return false;
    }
    manifest.sourcePath = sourcePath;
    manifest.sourceSha256 = toHex(digest);
    manifest.sourceStartOfDay = source.startTime().msOfDay;
    return true;
}

bool describeExport(const std::string& sourcePath, const rec::Recording& source, const ClipRange& range,
                    const std::string& program, Manifest& m, std::string& why)
{
    ClipPlan plan;
    if (!planClip(source, range, plan, why) || !describeSource(sourcePath, source, m, why)) return false;
    m.kind = "mp4";
    m.fromMs = range.fromMs;
    m.toMs = range.toMs;
    m.program = program;
    m.version = programVersion();
    m.created = utcNow();
    std::vector<uint8_t> bytes;
    for (const CameraPlan& c : plan.cameras) {
        m.cameras |= domain::CameraBit(c.camera);
        CameraFrames frames;
        frames.camera = c.camera;
        Sha256 hash;
        for (long i = c.first; i < c.end; i++) {
            const rec::Frame& f = c.stream->frames[size_t(i)];
            if (!f.size) continue;
            if (!source.readFrame(f, bytes)) {
                why = "cannot read the source's frames";
                return false;
            }
            hash.update(bytes.data(), bytes.size());
            if (!frames.count++) frames.firstMs = f.timeMs;
            frames.lastMs = f.timeMs;
        }
        frames.sha256 = toHex(hash.digest());
        m.frames.push_back(frames);
    }
    return true;
}

bool writeManifestFiles(const std::string& exportPath, Manifest& manifest, std::string& why)
{
    const std::string json = exportPath + ".manifest.json", sums = exportPath + ".sha256";
    manifest.file = nameOf(exportPath);
    Digest exportDigest{};
    bool ok = sha256OfFile(exportPath, exportDigest);
    const std::string text = manifestJson(manifest);
    ok = ok && writeTextFile(json, text);
    const Digest jsonDigest = sha256Of(text.data(), text.size());
    ok = ok && writeTextFile(sums, sha256Lines({{toHex(exportDigest), manifest.file},
                                                {toHex(jsonDigest), nameOf(json)}}));
    if (!ok) {
        removeFile(json);
        removeFile(sums);
        why = "cannot write the manifest beside " + exportPath;
    }
    return ok;
}

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
    if (!planClip(source, request.range, plan, result.why)) return result;
    Manifest& m = result.manifest;
    m.kind = "clip";
    m.fromMs = request.range.fromMs;
    m.toMs = request.range.toMs;
    m.program = request.program;
    m.version = programVersion();
    m.created = utcNow();
    for (const CameraPlan& c : plan.cameras) m.cameras |= domain::CameraBit(c.camera);
    if (!describeSource(request.sourcePath, source, m, result.why)) return result;

    const std::string partial = request.outPath + ".partial";
    if (!writeClipFile(source, plan, request, partial, progress, result)) {
        removeFile(partial);
        return result;
    }
    if (!replaceFile(partial, request.outPath)) {
        removeFile(partial);
        result.why = "cannot rename " + partial + " to " + request.outPath;
        return result;
    }
    if (!writeManifestFiles(request.outPath, m, result.why)) {
        removeFile(request.outPath);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace evidence
