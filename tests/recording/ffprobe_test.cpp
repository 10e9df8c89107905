// Files made by plain ffmpeg, and the writer's files as ffprobe reads them.
#include "tests/support/external_tools.h"
#include "tests/support/recording_builder.h"

#include <gtest/gtest.h>

using namespace rectest;

namespace {

void expectAsFfprobe(const rec::Recording& r, const std::string& path)
{
    auto times = probePacketTimes(path);
    for (const rec::Stream& s : r.streams()) {
        SCOPED_TRACE("camera " + std::to_string(s.camera));
        ASSERT_TRUE(times.count(s.aviStream));
        const std::vector<int64_t>& t = times[s.aviStream];
        ASSERT_EQ(s.frameCount(), t.size());
        for (size_t i = 0; i < t.size(); i++) EXPECT_NEAR(double(s.frames[i].timeMs), double(t[i]), 1.0) << i;
    }
}

}  // namespace

TEST(Ffmpeg, PlainFfmpegFilesAreRecordings)
{
    if (!haveProgram("ffmpeg") || !haveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg or ffprobe missing";
    std::string path = tempPath("ffmpeg.avi");
    // Three inputs, sparse camera names, one unnamed (stream 1: camera 2), different rates.
    ASSERT_EQ(runShell("ffmpeg -v error -y -f lavfi -i testsrc=s=96x64:r=5:d=1.6 -f lavfi -i testsrc2=s=64x48:r=30000/1001:d=1 "
                       "-f lavfi -i color=c=red:s=32x32:r=2:d=2 -map 0 -map 1 -map 2 -c:v mjpeg "
                       "-metadata:s:v:0 title='Camera 7' -metadata:s:v:2 title='Camera 3' "
                       "-metadata date='2021-02-03 04:05:06' -f avi '" +
                       path + "'"),
              0);
    rec::Recording r;
    rec::Status st = r.open(path);
    ASSERT_TRUE(st) << st.reason;
    EXPECT_TRUE(r.damage().empty()) << r.damage().front().what;
    EXPECT_EQ(r.cameraMask(), (1u << 6) | (1u << 1) | (1u << 2));
    EXPECT_EQ(r.streamForCamera(2)->aviStream, 1);
    EXPECT_EQ(r.streamForCamera(2)->width, 64u);
    EXPECT_EQ(r.streamForCamera(7)->frameCount(), 8u);
    EXPECT_EQ(r.startSource(), rec::Recording::StartSource::AviDate);
    EXPECT_EQ(r.startTime(), (rec::StartTime{2021, 2, 3, (4 * 3600 + 5 * 60 + 6) * 1000}));
    expectAsFfprobe(r, path);
    auto counts = probeFrameCounts(path);
    for (const rec::Stream& s : r.streams()) EXPECT_EQ(long(s.frameCount()), counts[s.aviStream]);
    // Frames are whole JPEG pictures.
    std::vector<uint8_t> f;
    ASSERT_TRUE(r.readFrame(r.streams()[0].frames.back(), f));
    ASSERT_GE(f.size(), 4u);
    EXPECT_EQ(f[0], 0xFF);
    EXPECT_EQ(f[1], 0xD8);
    EXPECT_EQ(f[f.size() - 2], 0xFF);
    EXPECT_EQ(f[f.size() - 1], 0xD9);
    std::remove(path.c_str());
}

TEST(Ffmpeg, FfmpegWritingToAPipeLeavesNoIndex)
{
    if (!haveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg missing";
    std::string path = tempPath("pipe.avi");
    ASSERT_EQ(runShell("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=10:d=1 -c:v mjpeg -f avi - > '" + path + "'"), 0);
    rec::Recording r;
    ASSERT_TRUE(r.open(path));
    ASSERT_EQ(r.streams().size(), 1u);
    EXPECT_EQ(r.streams()[0].frameCount(), 10u);
    bool rebuilt = false;
    for (const rec::Damage& d : r.damage()) rebuilt |= d.kind == rec::DamageKind::IndexRebuilt;
    EXPECT_TRUE(rebuilt);
    std::remove(path.c_str());
}

TEST(Ffmpeg, FfprobeReadsTheWritersFilesAlike)
{
    if (!haveProgram("ffprobe")) GTEST_SKIP() << "ffprobe missing";
    Sample s = makeSample({1, 3, 7}, {10, 4, 7});
    std::string path = tempPath("probe.avi");
    for (uint64_t limit : {uint64_t(1) << 30, uint64_t(700)}) {
        SCOPED_TRACE("RIFF limit " + std::to_string(limit));
        rec::WriterOptions o;
        o.rate = 30000;
        o.scale = 1001;
        o.riffLimit = limit;
        writeSample(s, o, path);
        rec::Recording r;
        ASSERT_TRUE(r.open(path));
        expectAsFfprobe(r, path);
    }
    std::remove(path.c_str());
}
