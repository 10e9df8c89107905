#include "domain/file_path.h"
#include "evidence/frame_hashes.h"
#include "evidence/sha256.h"
#include "tests/evidence/evidence_fixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace evtest;

namespace {

// Camera 1 at 4 pictures a second, camera 3 at 2, camera 5 at 4 with its first picture at 1.5 s.
rectest::Sample mixedRates()
{
    rectest::Sample s;
    s.start = {2024, 3, 5, kStartOfDay};
    s.streams = {{1, 320, 240, 4, 1}, {3, 320, 240, 2, 1}, {5, 320, 240, 4, 1}};
    s.frames.resize(3);
    for (size_t k = 0; k < 40; k++) s.frames[0].push_back(rectest::fakeJpeg(1, k));
    for (size_t k = 0; k < 20; k++) s.frames[1].push_back(rectest::fakeJpeg(3, k));
    for (size_t k = 0; k < 40; k++) s.frames[2].push_back(k < 6 ? Bytes() : rectest::fakeJpeg(5, k));
    rec::addSourceEvent(s.source, 0, 1);  // 0..3.6 s: in the stretch
    rec::addSourceEvent(s.source, 3, 3);  // 10.8 s: past it
    rec::setGpiValue(s.gpi, 1, 7);        // 1.8..3.6 s
    return s;
}

std::vector<Bytes> picturesOf(const rec::Recording& r, int camera, std::vector<int64_t>* times)
{
    std::vector<Bytes> out;
    for (const rec::Frame& f : r.streamForCamera(camera)->frames) {
        if (!f.size) continue;
        out.emplace_back();
        r.readFrame(f, out.back());
        times->push_back(f.timeMs);
    }
    return out;
}

}  // namespace

TEST(Sha256, KnownDigestsWholeAndInPieces)
{
    EXPECT_EQ(evidence::toHex(evidence::sha256Of("abc", 3)),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    evidence::Sha256 hash;
    hash.update("a", 1);
    hash.update("bc", 2);
    EXPECT_EQ(evidence::toHex(hash.digest()), evidence::toHex(evidence::sha256Of("abc", 3)));
    EXPECT_EQ(evidence::toHex(hash.digest()), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

// The passes over a mapped file and over one read frame by frame (as on Windows) agree, with
// each other and with the bytes; a pass told to stop gives up.
TEST(FrameHashes, MappedAndReadSourcesGiveTheSameDigests)
{
    rectest::TempFile source;
    rectest::writeSample(mixedRates(), fourPerSecond(), source.Path());
    rec::Recording recording;
    ASSERT_TRUE(recording.open(source.Path()));
    evidence::ClipPlan plan;
    std::string why;
    ASSERT_TRUE(evidence::planClip(recording, {0, 100000, domain::kAllCameras}, plan, why)) << why;
    const evidence::FileView mapped(source.Path()), closed;
    ASSERT_TRUE(mapped.isOpen());
    std::atomic<bool> stop{false};
    const evidence::FrameHashes a = evidence::hashPlannedFrames(recording, mapped, plan, stop);
    const evidence::FrameHashes b = evidence::hashPlannedFrames(recording, closed, plan, stop);
    ASSERT_TRUE(a.ok && b.ok);
    ASSERT_EQ(a.frames.size(), 3u);
    std::vector<int64_t> times;
    const std::vector<Bytes> five = picturesOf(recording, 5, &times);
    evidence::Sha256 hash;
    for (const Bytes& picture : five) hash.update(picture.data(), picture.size());
    EXPECT_EQ(a.frames[2].sha256, evidence::toHex(hash.digest()));
    EXPECT_EQ(a.frames[2].count, 34u);
    for (size_t i = 0; i < 3; i++) EXPECT_EQ(a.frames[i].sha256, b.frames[i].sha256);

    const Bytes whole = rectest::readAll(source.Path());
    EXPECT_EQ(evidence::hashSourceFile(source.Path()).sha256, evidence::toHex(evidence::sha256Of(whole.data(), whole.size())));
    stop = true;
    EXPECT_FALSE(evidence::hashPlannedFrames(recording, closed, plan, stop).ok);
    EXPECT_FALSE(evidence::hashSourceFile(source.Path(), &stop).ok);
}

// The picture on view at the start is in, whatever each camera's rate; a camera whose pictures
// begin later keeps its time; the clip starts at the first picture and its events move with it.
TEST(Clip, KeepsEachCamerasPicturesAndTimesFromThePictureOnView)
{
    rectest::TempFile source, clip;
    rectest::writeSample(mixedRates(), fourPerSecond(), source.Path());
    evidence::ClipResult result = clipOf(source.Path(), clip.Path(), {1100, 3000, domain::kAllCameras});
    ASSERT_TRUE(result.ok) << result.why;

    rec::Recording r;
    ASSERT_TRUE(r.open(clip.Path()));
    EXPECT_EQ(r.startTime().msOfDay, kStartOfDay + 1000);
    struct Expect {
        int camera;
        size_t first, end;
        int64_t firstMs;
    } expected[] = {{1, 4, 12, 0}, {3, 2, 6, 0}, {5, 6, 12, 500}};
    for (const Expect& e : expected) {
        std::vector<int64_t> times;
        std::vector<Bytes> pictures = picturesOf(r, e.camera, &times);
        ASSERT_EQ(pictures.size(), e.end - e.first) << "camera " << e.camera;
        for (size_t k = 0; k < pictures.size(); k++) EXPECT_EQ(pictures[k], rectest::fakeJpeg(e.camera, e.first + k));
        EXPECT_EQ(times.front(), e.firstMs) << "camera " << e.camera;
    }
    EXPECT_EQ(r.streamForCamera(3)->rate, 2u);
    EXPECT_EQ(rec::sourceMask(r.sourceBlock(), 0), 1u);
    EXPECT_EQ(rec::blockCount(r.sourceBlock().data()), 1u);
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), 0), 7);
    EXPECT_EQ(result.manifest.frames.size(), 3u);
    EXPECT_EQ(0, std::system(("cd '" + domain::FolderOf(clip.Path()) + "' && sha256sum --quiet -c '" +
                              domain::NameOf(clip.Path()) + ".sha256'")
                                 .c_str()));
    for (const char* extra : {".sha256", ".manifest.json"}) std::remove((clip.Path() + extra).c_str());
}

TEST(Clip, AStretchWithNoPictureIsRefusedAndPastMidnightTheDateMoves)
{
    rectest::TempFile source, clip;
    rectest::Sample s = mixedRates();
    s.start.msOfDay = 86400000 - 500;
    rectest::writeSample(s, fourPerSecond(), source.Path());
    EXPECT_FALSE(clipOf(source.Path(), clip.Path(), {2000, 1000, domain::kAllCameras}).ok);
    EXPECT_FALSE(clipOf(source.Path(), clip.Path(), {0, 1000, domain::CameraBit(5)}).ok);
    EXPECT_FALSE(exists(clip.Path()));

    ASSERT_TRUE(clipOf(source.Path(), clip.Path(), {1000, 2000, domain::CameraBit(1)}).ok);
    rec::Recording r;
    ASSERT_TRUE(r.open(clip.Path()));
    EXPECT_EQ(r.startTime(), (rec::StartTime{2024, 3, 6, 500}));
    for (const char* extra : {".sha256", ".manifest.json"}) std::remove((clip.Path() + extra).c_str());
}

// A cancel, a folder that takes no file and a disk that fills up: nothing is left, and why is said.
TEST(Clip, AFailureLeavesNothingBehind)
{
    rectest::TempFile source, clip;
    rectest::Sample large = twoCameras(0);
    for (auto& own : large.frames)
        for (size_t k = 0; k < 100; k++) own.push_back(Bytes(4000 + k, uint8_t(k)));
    rectest::writeSample(large, fourPerSecond(), source.Path());
    const evidence::ClipRange all{0, 100000, domain::kAllCameras};
    auto nothingLeft = [&](const std::string& path) {
        for (const char* extra : {"", ".partial", ".sha256", ".manifest.json"})
            EXPECT_FALSE(exists(path + extra)) << path + extra;
    };

    int calls = 0;
    evidence::ClipResult cancelled = clipOf(source.Path(), clip.Path(), all, [&](uint64_t, uint64_t) { return ++calls < 2; });
    EXPECT_TRUE(cancelled.cancelled);
    nothingLeft(clip.Path());

    const rectest::Bytes original = rectest::readAll(source.Path());
    EXPECT_FALSE(clipOf(source.Path(), source.Path(), all).ok);
    EXPECT_EQ(rectest::readAll(source.Path()), original) << "the source was written over";

    evidence::ClipResult refused = clipOf(source.Path(), "/proc/clip.d01", all);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.why.find("/proc/clip.d01.partial"), std::string::npos) << refused.why;

    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 200000;
    setrlimit(RLIMIT_FSIZE, &small);
    evidence::ClipResult full = clipOf(source.Path(), clip.Path(), all);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(full.ok);
    EXPECT_NE(full.why.find("write failed"), std::string::npos) << full.why;
    nothingLeft(clip.Path());
}
