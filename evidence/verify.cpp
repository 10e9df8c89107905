#include "evidence/verify.h"

#include "evidence/clip_plan.h"
#include "evidence/files.h"
#include "evidence/frame_compare.h"
#include "evidence/manifest.h"
#include "evidence/sha256.h"

namespace evidence {

namespace {

struct Check {
    VerifyReport report;
    void problem(const std::string& text)
    {
        report.verdict = Verdict::NotVerified;
        report.problems.push_back(text);
    }
    VerifyReport unreadable(const std::string& why)
    {
        report.verdict = Verdict::Unreadable;
        report.error = why;
        return report;
    }
};

// Every file NAME.sha256 lists, from the folder it is in.
bool checkHashes(const std::string& path, Check& check)
{
    std::string text;
    std::vector<HashLine> lines;
    if (!readTextFile(path + ".sha256", text)) return false;
    if (!parseSha256Lines(text, lines)) {
        check.problem(nameOf(path) + ".sha256: not in sha256sum's form");
        return true;
    }
    for (const HashLine& line : lines) {
        Digest digest{};
        if (!sha256OfFile(folderOf(path) + line.file, digest))
            check.problem(line.file + ": missing");
        else if (toHex(digest) != line.sha256)
            check.problem(line.file + ": changed (its SHA-256 differs from " + nameOf(path) + ".sha256)");
    }
    return true;
}

// The clip's own pictures against the manifest's counts and hashes.
void checkAgainstManifest(const rec::Recording& clip, const Manifest& m, Check& check)
{
    for (const CameraFrames& expected : m.frames) {
        const rec::Stream* s = clip.streamForCamera(expected.camera);
        if (!s) {
            check.problem("camera " + std::to_string(expected.camera) + ": missing from the clip");
            continue;
        }
        Sha256 hash;
        uint64_t count = 0;
        std::vector<uint8_t> bytes;
        for (const rec::Frame& f : s->frames) {
            if (!f.size) continue;
            count++;
            if (clip.readFrame(f, bytes)) hash.update(bytes.data(), bytes.size());
        }
        const std::string camera = "camera " + std::to_string(expected.camera);
        if (count != expected.count)
            check.problem(camera + ": frames differ from the manifest (" + std::to_string(count) +
                          " frames, the manifest says " + std::to_string(expected.count) + ")");
        else if (toHex(hash.digest()) != expected.sha256)
            check.problem(camera + ": frames differ from the manifest (their SHA-256)");
    }
    for (const rec::Stream& s : clip.streams())
        if (!(m.cameras & domain::CameraBit(s.camera)))
            check.problem("camera " + std::to_string(s.camera) + ": added, not in the manifest");
}

void checkAgainstSource(const rec::Recording& clip, const rec::Recording& source, const Manifest& m, Check& check)
{
    ClipPlan plan;
    std::string why;
    if (!planClip(source, {m.fromMs, m.toMs, m.cameras}, plan, why)) {
        check.problem("the source has no picture in the manifest's stretch");
        return;
    }
    for (const CameraPlan& camera : plan.cameras) {
        const rec::Stream* s = clip.streamForCamera(camera.camera);
        if (s) compareCamera(source, camera, clip, *s, [&](const std::string& text) { check.problem(text); });
    }
    compareEvents(clip, moveEvents(source, plan.startMs, m.toMs), source.startTime().msOfDay + plan.startMs,
                  [&](const std::string& text) { check.problem(text); });
}

}  // namespace

VerifyReport verifyExport(const std::string& path, const std::string& sourcePath)
{
    Check check;
    if (!checkHashes(path, check)) return check.unreadable("cannot read " + path + ".sha256");
    std::string json;
    Manifest m;
    if (!readTextFile(path + ".manifest.json", json)) return check.unreadable("cannot read " + path + ".manifest.json");
    if (!parseManifest(json, m)) {
        check.problem(nameOf(path) + ".manifest.json: not a manifest");
        return check.report;
    }
    rec::Recording clip, source;
    if (m.kind == "clip") {
        if (!clip.open(path)) return check.unreadable("cannot open " + path + " as a recording");
        checkAgainstManifest(clip, m, check);
    }
    if (sourcePath.empty()) return check.report;
    Digest digest{};
    if (!sha256OfFile(sourcePath, digest)) return check.unreadable("cannot read " + sourcePath);
    if (toHex(digest) != m.sourceSha256)
        check.problem(sourcePath + ": not the recording the manifest names (its SHA-256 differs)");
    if (m.kind != "clip") return check.report;
    if (!source.open(sourcePath)) return check.unreadable("cannot open " + sourcePath + " as a recording");
    checkAgainstSource(clip, source, m, check);
    return check.report;
}

}  // namespace evidence
