#include "evidence/verify.h"

#include "domain/file_path.h"
#include "evidence/clip_plan.h"
#include "evidence/files.h"
#include "evidence/frame_compare.h"
#include "evidence/frame_hashes.h"
#include "evidence/manifest.h"
#include "evidence/sha256.h"
#include "evidence/side_task.h"

#include <exception>

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
        check.problem(domain::NameOf(path) + ".sha256: not in sha256sum's form");
        return true;
    }
    for (const HashLine& line : lines) {
        Digest digest{};
        if (!sha256OfFile(domain::FolderOf(path) + line.file, digest))
            check.problem(line.file + ": missing");
        else if (toHex(digest) != line.sha256)
            check.problem(line.file + ": changed (its SHA-256 differs from " + domain::NameOf(path) + ".sha256)");
    }
    return true;
}

// The clip's own pictures against the manifest's counts and hashes.
void checkAgainstManifest(const rec::Recording& clip, const FileView& clipView, const Manifest& m, Check& check)
{
    FrameAccess frames(clip, clipView);
    for (const CameraFrames& expected : m.frames) {
        const rec::Stream* s = clip.streamForCamera(expected.camera);
        if (!s) {
            check.problem("camera " + std::to_string(expected.camera) + ": missing from the clip");
            continue;
        }
        Sha256 hash;
        uint64_t count = 0;
        for (const rec::Frame& f : s->frames) {
            if (!f.size) continue;
            count++;
            if (const uint8_t* bytes = frames.bytes(f)) hash.update(bytes, f.size);
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

void checkAgainstSource(const rec::Recording& clip, const FileView& clipView, const rec::Recording& source,
                        const FileView& sourceView, const Manifest& m, Check& check)
{
    ClipPlan plan;
    std::string why;
    if (!planClip(source, {m.fromMs, m.toMs, m.cameras}, plan, why)) {
        check.problem("the source has no picture in the manifest's stretch");
        return;
    }
    for (const CameraPlan& camera : plan.cameras) {
        const rec::Stream* s = clip.streamForCamera(camera.camera);
        if (s)
            compareCamera(source, sourceView, camera, clip, clipView, *s,
                          [&](const std::string& text) { check.problem(text); });
    }
    compareEvents(clip, moveEvents(source, plan.startMs, m.toMs), source.startTime().msOfDay + plan.startMs,
                  [&](const std::string& text) { check.problem(text); });
}

// All but NAME.sha256's own check: the manifest, the clip's pictures and the source.
VerifyReport checkExport(const std::string& path, const std::string& sourcePath, SideTask& sourceHashing,
                         const SourceHash& sourceHash)
{
    Check check;
    std::string json;
    Manifest m;
    if (!readTextFile(path + ".manifest.json", json)) return check.unreadable("cannot read " + path + ".manifest.json");
    if (!parseManifest(json, m)) {
        check.problem(domain::NameOf(path) + ".manifest.json: not a manifest");
        return check.report;
    }
    rec::Recording clip, source;
    FileView clipView, sourceView;
    if (m.kind == "clip") {
        if (!clip.open(path)) return check.unreadable("cannot open " + path + " as a recording");
        clipView.open(path);
        checkAgainstManifest(clip, clipView, m, check);
    }
    if (sourcePath.empty()) return check.report;
    sourceHashing.wait();
    if (!sourceHash.ok) return check.unreadable("cannot read " + sourcePath);
    if (sourceHash.sha256 != m.sourceSha256)
        check.problem(sourcePath + ": not the recording the manifest names (its SHA-256 differs)");
    if (m.kind != "clip") return check.report;
    if (!source.open(sourcePath)) return check.unreadable("cannot open " + sourcePath + " as a recording");
    sourceView.open(sourcePath);
    checkAgainstSource(clip, clipView, source, sourceView, m, check);
    return check.report;
}

}  // namespace

// The export's and the source's whole-file hashes run beside the rest, one a core.
VerifyReport verifyExport(const std::string& path, const std::string& sourcePath)
{
    Check sums;
    if (!canRead(path)) return sums.unreadable("cannot read " + path);
    bool sumsRead = false;
    SourceHash sourceHash;
    VerifyReport rest;
    {
        SideTask summing([&] {
            try {
                sumsRead = checkHashes(path, sums);
            } catch (const std::exception&) {
                sumsRead = false;
            }
        });
        SideTask sourceHashing(sourcePath.empty() ? std::function<void()>()
                                                  : [&] { sourceHash = hashSourceFile(sourcePath); });
        rest = checkExport(path, sourcePath, sourceHashing, sourceHash);
    }
    if (!sumsRead) return sums.unreadable("cannot read " + path + ".sha256");
    VerifyReport report = sums.report;
    report.problems.insert(report.problems.end(), rest.problems.begin(), rest.problems.end());
    if (rest.verdict == Verdict::Unreadable) report.error = rest.error;
    if (rest.verdict != Verdict::Verified) report.verdict = rest.verdict;
    return report;
}

}  // namespace evidence
