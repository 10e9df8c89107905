// dvrtool: its parsers and splitter in-process, its commands end to end on tiny inputs.
#include "recording/recording.h"
#include "tools/commands.h"
#include "tools/events.h"
#include "tools/jpegsplit.h"
#include "tools/shape.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using Bytes = std::vector<uint8_t>;

namespace {

// SOI, an APP0 segment whose body holds FF D9, a quant table, SOS, entropy data with stuffed
// FF00 and a restart marker, EOI.
Bytes tinyJpeg(uint8_t tag)
{
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x06, 0xFF, 0xD9, tag, 0x00};
    Bytes dqt = {0xFF, 0xDB, 0x00, 0x04, 0x01, 0x02};
    Bytes sos = {0xFF, 0xDA, 0x00, 0x03, 0x01, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, tag, 0xFF, 0xD9};
    b.insert(b.end(), dqt.begin(), dqt.end());
    b.insert(b.end(), sos.begin(), sos.end());
    return b;
}

}  // namespace

TEST(JpegSplit, SegmentsAndEntropyDataDoNotEndAPicture)
{
    Bytes a = tinyJpeg(1), b = tinyJpeg(2);
    EXPECT_EQ(dvrtool::jpegLength(a.data(), a.size()), long(a.size()));
    for (size_t n = 0; n < a.size(); n++) EXPECT_EQ(dvrtool::jpegLength(a.data(), n), 0) << n;
    Bytes bad = {0x00, 0x11};
    EXPECT_EQ(dvrtool::jpegLength(bad.data(), bad.size()), -1);

    // Garbage before, between and after; fed one byte at a time.
    Bytes stream = {0x12, 0x34};
    stream.insert(stream.end(), a.begin(), a.end());
    stream.insert(stream.end(), {0xFF, 0x00, 0x99});
    stream.insert(stream.end(), b.begin(), b.end());
    stream.insert(stream.end(), a.begin(), a.begin() + 5);
    dvrtool::JpegSplitter s;
    std::vector<Bytes> got;
    Bytes pic;
    for (uint8_t c : stream) {
        s.feed(&c, 1);
        while (s.next(pic)) got.push_back(pic);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], a);
    EXPECT_EQ(got[1], b);
    EXPECT_EQ(s.skipped(), 5u);
    EXPECT_EQ(s.pending(), 5u);
}

TEST(JpegSplit, SizeFromTheFrameHeader)
{
    // SOI, an APP0 segment, a baseline frame header of 1280 x 720 (height first), EOI.
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0xC0, 0xC0, 0xFF, 0xC0, 0x00, 0x0B,
                  0x08, 0x02, 0xD0, 0x05, 0x00, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(dvrtool::jpegSize(jpeg.data(), jpeg.size(), w, h));
    EXPECT_EQ(w, 1280u);
    EXPECT_EQ(h, 720u);
    jpeg[9] = 0xC2;  // progressive: the same header
    ASSERT_TRUE(dvrtool::jpegSize(jpeg.data(), jpeg.size(), w, h));
    jpeg[9] = 0xC4;  // a Huffman table shares the range of markers, and is no frame
    EXPECT_FALSE(dvrtool::jpegSize(jpeg.data(), jpeg.size(), w, h));
    jpeg[9] = 0xC0;
    EXPECT_FALSE(dvrtool::jpegSize(jpeg.data(), 14, w, h));  // cut off inside the header
    Bytes none = tinyJpeg(1);
    EXPECT_FALSE(dvrtool::jpegSize(none.data(), none.size(), w, h));
}

TEST(EventFiles, LinesBecomeSlots)
{
    rec::SourceBlock src;
    std::string err;
    ASSERT_TRUE(dvrtool::parseSourceEvents("# seconds camera\n\n0 1\n3.7 16\n3.8 2\n 7200 3\n", src, err)) << err;
    EXPECT_EQ(rec::sourceMask(src, 0), 1u);
    EXPECT_EQ(rec::sourceMask(src, 1), (1u << 15) | (1u << 1));
    EXPECT_LT(rec::sourceStatus(src, 1), 0);
    EXPECT_EQ(rec::blockCount(src.data()), 2);  // past the hour: ignored
    EXPECT_FALSE(dvrtool::parseSourceEvents("1 1\n2 17\n", src, err));
    EXPECT_NE(err.find("line 2"), std::string::npos) << err;
    EXPECT_FALSE(dvrtool::parseSourceEvents("1 1 extra\n", src, err));
    EXPECT_FALSE(dvrtool::parseSourceEvents("-1 1\n", src, err));

    rec::GpiBlock gpi;
    ASSERT_TRUE(dvrtool::parseGpiEvents("1.9 100\n3599.9 -5\r\n", gpi, err)) << err;
    EXPECT_EQ(rec::gpiValue(gpi, 1), 100);
    EXPECT_EQ(rec::gpiValue(gpi, 1999), -5);
    EXPECT_EQ(rec::blockCount(gpi.data()), 2000);
    EXPECT_FALSE(dvrtool::parseGpiEvents("5 99999999999\n", gpi, err));
}

TEST(EventFiles, TimesFarPastTheHourAreIgnoredToo)
{
    // Past what milliseconds in 64 bits can hold, as well as merely past the hour.
    rec::SourceBlock src;
    std::string err;
    ASSERT_TRUE(dvrtool::parseSourceEvents("1e300 3\n1e16 4\n3600 5\n", src, err)) << err;
    EXPECT_EQ(rec::sourceMask(src, 0), 0u);
    EXPECT_EQ(rec::blockCount(src.data()), 0);
    rec::GpiBlock gpi;
    ASSERT_TRUE(dvrtool::parseGpiEvents("1e300 7\n1e16 8\n", gpi, err)) << err;
    EXPECT_EQ(rec::gpiValue(gpi, 0), 0);
    EXPECT_EQ(rec::blockCount(gpi.data()), 0);
}

TEST(Motion, DifferencesPerSlotAboveNoise)
{
    EXPECT_EQ(dvrtool::MotionMeter::levelOf(0.5), 0);
    EXPECT_GT(dvrtool::MotionMeter::levelOf(1.0), 0);
    EXPECT_LT(dvrtool::MotionMeter::levelOf(2.0), dvrtool::MotionMeter::levelOf(8.0));
    EXPECT_EQ(dvrtool::MotionMeter::levelOf(1e9), 255);

    dvrtool::MotionMeter m;
    Bytes still(64 * 48, 80), moved = still;
    for (size_t i = 0; i < 400; i++) moved[i] = 255;
    // Slot 0 still, slot 1 (3.6..7.2 s) changes, slot 2 still again.
    for (int f = 0; f < 15; f++) {
        double t = f * 0.5;
        bool move = t >= 4.0 && t < 7.0 && f % 2;
        m.add(move ? moved.data() : still.data(), still.size(), t);
    }
    rec::MotionBlock b{};
    m.store(b, 5);
    EXPECT_EQ(rec::motionLevel(b, 0, 5), 0);
    EXPECT_GT(rec::motionLevel(b, 1, 5), 0);
    EXPECT_EQ(rec::motionLevel(b, 2, 5), 0);
    EXPECT_EQ(rec::motionLevel(b, 1, 4), 0);
    EXPECT_EQ(rec::blockCount(b.data()), 2);
}

TEST(Options, FpsAndSize)
{
    uint32_t r, s, w, h;
    ASSERT_TRUE(dvrtool::parseFps("5", r, s));
    EXPECT_EQ(double(r) / s, 5.0);
    ASSERT_TRUE(dvrtool::parseFps("12.5", r, s));
    EXPECT_EQ(r, 25u);
    EXPECT_EQ(s, 2u);
    ASSERT_TRUE(dvrtool::parseFps("30000/1001", r, s));
    EXPECT_EQ(r, 30000u);
    for (const char* bad : {"0", "-1", "abc", "5/0", "1/", "1e9", ""}) EXPECT_FALSE(dvrtool::parseFps(bad, r, s)) << bad;
    ASSERT_TRUE(dvrtool::parseSize("320x240", w, h));
    EXPECT_EQ(w, 320u);
    for (const char* bad : {"320", "321x240", "8x8", "320x240x", "99999x2"}) EXPECT_FALSE(dvrtool::parseSize(bad, w, h)) << bad;
}

TEST(Options, WholeNumbersWithNothingAfter)
{
    int value = 0;
    ASSERT_TRUE(dvrtool::parseWhole("16", 1, 16, value));
    EXPECT_EQ(value, 16);
    for (const char* bad : {"", "x", "2.5", "5x", "0", "17", "99999999999999999999"})
        EXPECT_FALSE(dvrtool::parseWhole(bad, 1, 16, value)) << bad;
    // As the commands take them: refused before any ffmpeg runs.
    std::string out = temp("whole.avi"), text;
    EXPECT_EQ(runToolWithFfmpeg("false", "synth -o " + out + " --cameras 2.5", &text), dvrtool::kExitUsage) << text;
    EXPECT_NE(text.find("--cameras must be 1..16"), std::string::npos) << text;
    EXPECT_EQ(runToolWithFfmpeg("false", "synth -o " + out + " --quality 5x", &text), dvrtool::kExitUsage) << text;
    EXPECT_NE(text.find("--quality must be 2..31"), std::string::npos) << text;
}

TEST(DvrtoolEndToEnd, SynthMarksItsMovingIntervals)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    std::string out = temp("synth.avi"), text;
    ASSERT_EQ(runTool("synth -o " + out + " --cameras 3 --seconds 8 --fps 5 --size 160x120 --start '2024-06-07 23:59:58.250'",
                      &text),
              0)
        << text;
    rec::Recording r;
    ASSERT_TRUE(r.open(out));
    EXPECT_TRUE(r.damage().empty());
    EXPECT_EQ(r.cameraMask(), 7u);
    EXPECT_EQ(r.startTime(), (rec::StartTime{2024, 6, 7, 86398250}));
    for (const rec::Stream& s : r.streams()) {
        EXPECT_EQ(s.frameCount(), 40u);
        EXPECT_EQ(s.width, 160u);
    }
    auto probed = probeFrames(out);
    for (const rec::Stream& s : r.streams()) EXPECT_EQ(probed[s.aviStream], long(s.frameCount()));
    // Motion exactly in the slots each camera's box moves in; a source event where each starts.
    for (int cam = 1; cam <= 3; cam++) {
        std::vector<bool> moving(3, false);
        for (auto iv : dvrtool::synthIntervals(cam, 8))
            for (size_t j = 0; j < 3; j++)
                if (iv.begin < (j + 1) * 3.6 && iv.end > j * 3.6) moving[j] = true;
        for (size_t j = 0; j < 3; j++)
            EXPECT_EQ(rec::motionLevel(r.motionBlock(), j, cam) > 0, moving[j]) << "camera " << cam << " slot " << j;
        size_t start = rec::sourceSlotOf(int64_t(dvrtool::synthIntervals(cam, 8)[0].begin * 1000));
        EXPECT_TRUE(rec::sourceMask(r.sourceBlock(), start) & (1u << (cam - 1)));
    }
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), rec::gpiSlotOf(5000)), 1);
    EXPECT_EQ(rec::blockCount(r.motionBlock().data()), 3);

    // Distinct cameras: the first pictures differ.
    Bytes a, b;
    ASSERT_TRUE(r.readFrame(r.streams()[0].frames[0], a));
    ASSERT_TRUE(r.readFrame(r.streams()[1].frames[0], b));
    EXPECT_NE(a, b);

    ASSERT_EQ(runTool("info " + out, &text), 0);
    EXPECT_NE(text.find("camera 3: 160x120, 5/1 fps, 40 frames"), std::string::npos) << text;
    EXPECT_NE(text.find("2024-06-07 23:59:58.250"), std::string::npos) << text;
    EXPECT_NE(text.find("damage: none"), std::string::npos) << text;
    // Each slot's time of day, wrapping at midnight, with its cameras or value.
    ASSERT_EQ(runTool("info --events " + out, &text), 0);
    EXPECT_NE(text.find("  23:59:58  Source  cameras 1-3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  00:00:01  GPI  1\n"), std::string::npos) << text;
    std::remove(out.c_str());
}

TEST(DvrtoolEndToEnd, MakeFromOrdinaryVideo)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    std::string moving = temp("moving.mp4"), still = temp("still.avi"), src = temp("src.txt"), gpi = temp("gpi.txt");
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=128x96:r=10:d=2 -c:v mpeg4 '" + moving + "'").c_str()), 0);
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i color=c=gray:s=64x64:r=7:d=1.5 -c:v mjpeg '" + still + "'").c_str()), 0);
    std::ofstream(src) << "# seconds camera\n0.5 5\n1.0 2\n4.0 7\n";
    std::ofstream(gpi) << "1.9 100\n";
    std::string out = temp("make.avi"), text;
    ASSERT_EQ(runTool("make -o " + out + " --start '2023-01-02 03:04:05.006' --fps 5 --size 96x64 --motion auto --source " +
                          src + " --gpi " + gpi + " 5=" + moving + " 2=" + still,
                      &text),
              0)
        << text;
    // Kept, but the user hears of an event the recording cannot show.
    EXPECT_NE(text.find("+00:00:03 for camera 7, which the recording lacks"), std::string::npos) << text;
    EXPECT_NE(text.find("+00:00:03 is past the recording's end"), std::string::npos) << text;
    rec::Recording r;
    ASSERT_TRUE(r.open(out));
    EXPECT_EQ(r.cameraMask(), (1u << 4) | (1u << 1));
    EXPECT_EQ(r.streamForCamera(5)->frameCount(), 10u);
    EXPECT_EQ(r.streamForCamera(2)->frameCount(), 8u);  // 1.5 s at 5 fps, rounded by the fps filter
    EXPECT_EQ(r.streamForCamera(2)->width, 96u);
    auto probed = probeFrames(out);
    for (const rec::Stream& s : r.streams()) EXPECT_EQ(probed[s.aviStream], long(s.frameCount()));
    EXPECT_EQ(r.startTime(), (rec::StartTime{2023, 1, 2, ((3 * 60 + 4) * 60 + 5) * 1000 + 6}));
    EXPECT_GT(rec::motionLevel(r.motionBlock(), 0, 5), 0);  // testsrc moves
    EXPECT_EQ(rec::motionLevel(r.motionBlock(), 0, 2), 0);  // a still colour does not
    EXPECT_EQ(rec::sourceMask(r.sourceBlock(), 0), (1u << 4) | (1u << 1));
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), 1), 100);

    // The second input is camera 2 by its position, which the first already named.
    EXPECT_EQ(runTool("make -o " + out + " --start 2023-01-02 2=" + moving + " " + moving), dvrtool::kExitUsage);
    for (const char* f : {moving.c_str(), still.c_str(), src.c_str(), gpi.c_str(), out.c_str()}) std::remove(f);
}

TEST(DvrtoolEndToEnd, ExitCodesForBadUse)
{
    std::string text;
    EXPECT_EQ(runTool("info " + temp("missing.avi")), dvrtool::kExitUnreadable);
    std::string junk = temp("junk.txt");
    std::ofstream(junk) << "not a recording at all";
    EXPECT_EQ(runTool("info " + junk, &text), dvrtool::kExitNotRecording);
    EXPECT_NE(text.find("not a recording (no AVI header)"), std::string::npos) << text;
    EXPECT_EQ(runTool("frobnicate"), dvrtool::kExitUsage);
    EXPECT_EQ(runTool("synth --cameras 17 -o " + junk), dvrtool::kExitUsage);
    EXPECT_EQ(runTool("make -o " + junk + " --start 2024-01-01 17=" + junk), dvrtool::kExitUsage);
    EXPECT_EQ(runTool("--help", &text), 0);
    EXPECT_NE(text.find("SECONDS CAMERA"), std::string::npos);
    EXPECT_EQ(runTool("info --help", &text), 0);
    EXPECT_EQ(0u, text.find("usage: dvrtool info")) << text;
    EXPECT_EQ(std::string::npos, text.find("SECONDS CAMERA")) << "that command's usage alone";
    EXPECT_EQ(runTool("make -o " + junk + " --start 2024-01-01 " + temp("absent.mp4"), &text), dvrtool::kExitUnreadable);
    EXPECT_NE(text.find("cannot read"), std::string::npos) << text;
    EXPECT_EQ(runToolWithFfmpeg("/nonexistent/ffmpeg", "synth -o " + temp("s.avi"), &text), dvrtool::kExitNoFfmpeg);
    EXPECT_NE(text.find("ffmpeg not found"), std::string::npos) << text;
    std::remove(junk.c_str());
}

TEST(DvrtoolEndToEnd, FailedRunsLeaveNoFile)
{
    // "false" starts, writes nothing and fails, as ffmpeg does on an input it cannot read.
    std::string out = temp("failed.avi"), input = temp("input.mp4"), text;
    std::ofstream(input) << "never read";
    EXPECT_EQ(runToolWithFfmpeg("false", "synth --cameras 2 -o " + out, &text), dvrtool::kExitFailed);
    EXPECT_NE(text.find("ffmpeg gave no pictures for camera 1"), std::string::npos) << text;
    EXPECT_FALSE(exists(out));
    EXPECT_EQ(runToolWithFfmpeg("false", "make -o " + out + " --start 2024-01-01 " + input), dvrtool::kExitFailed);
    EXPECT_FALSE(exists(out));

    if (haveFfmpeg()) {
        // Camera 2's input is missing: found out before any writing.
        std::string moving = temp("failing.mp4");
        ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=5:d=1 -c:v mpeg4 '" + moving + "'").c_str()), 0);
        EXPECT_EQ(runTool("make -o " + out + " --start 2024-01-01 " + moving + " " + temp("missing.mp4"), &text),
                  dvrtool::kExitUnreadable);
        EXPECT_NE(text.find("cannot read " + temp("missing.mp4") + " (camera 2)"), std::string::npos) << text;
        EXPECT_FALSE(exists(out));

        // Camera 2's ffmpeg fails only while the pictures are being written.
        std::string failing = temp("ffmpeg-fails-late.sh");
        std::ofstream(failing) << "#!/bin/sh\ncase \"$*\" in *copy.mp4*-q:v*) exit 1;; esac\nexec ffmpeg \"$@\"\n";
        ASSERT_EQ(chmod(failing.c_str(), 0755), 0);
        std::string copy = temp("copy.mp4");
        ASSERT_EQ(std::system(("cp '" + moving + "' '" + copy + "'").c_str()), 0);
        EXPECT_EQ(runToolWithFfmpeg(failing, "make -o " + out + " --start 2024-01-01 " + moving + " " + copy, &text),
                  dvrtool::kExitFailed);
        EXPECT_NE(text.find("ffmpeg gave no pictures for camera 2"), std::string::npos) << text;
        EXPECT_FALSE(exists(out));
        for (const std::string& path : {failing, copy}) std::remove(path.c_str());

        // An ffmpeg that fails only in the motion pass, after every picture was written.
        std::string script = temp("ffmpeg-no-gray.sh");
        std::ofstream(script) << "#!/bin/sh\ncase \"$*\" in *gray*) exit 1;; esac\nexec ffmpeg \"$@\"\n";
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        EXPECT_EQ(runToolWithFfmpeg(script, "make -o " + out + " --start 2024-01-01 --motion auto " + moving, &text),
                  dvrtool::kExitFailed);
        EXPECT_NE(text.find("motion for camera 1"), std::string::npos) << text;
        EXPECT_FALSE(exists(out));
        for (const std::string& path : {moving, script}) std::remove(path.c_str());
    }
    for (const std::string& path : {input, out}) std::remove(path.c_str());
}

TEST(Shapes, FittedKeepingTheShape)
{
    using dvrtool::Size;
    const Size d1{704, 576};
    EXPECT_EQ(dvrtool::fitInside({640, 360}, d1, false), (Size{640, 360}));
    EXPECT_EQ(dvrtool::fitInside({1280, 720}, d1, false), (Size{704, 396}));
    EXPECT_EQ(dvrtool::fitInside({1920, 1080}, d1, false), (Size{704, 396}));
    EXPECT_EQ(dvrtool::fitInside({720, 1280}, d1, false), (Size{324, 576}));
    EXPECT_EQ(dvrtool::fitInside({641, 361}, d1, false).width % 2, 0u);
    // Forced into another shape: the whole box along one side, bars along the other.
    EXPECT_EQ(dvrtool::fitInside({640, 360}, {320, 240}, true), (Size{320, 180}));
    EXPECT_EQ(dvrtool::fitInside({160, 90}, {320, 240}, true), (Size{320, 180}));
    dvrtool::Placement place = dvrtool::centred({320, 180}, {320, 240});
    EXPECT_EQ(place.x, 0u);
    EXPECT_EQ(place.y, 30u);
    place = dvrtool::centred({136, 240}, {320, 240});
    EXPECT_EQ(place.x, 92u);
}

TEST(DvrtoolEndToEnd, MakeKeepsEachPicturesShape)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    // White pictures, so that bars and stretching show as black where white should be.
    std::string wide = temp("wide.mp4"), hd = temp("hd.mp4"), out = temp("shape.avi"), text;
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i color=c=white:s=640x360:r=5:d=1 -c:v mpeg4 -q:v 2 '" + wide + "'").c_str()), 0);
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=1280x720:r=5:d=1 -c:v mpeg4 '" + hd + "'").c_str()), 0);

    // By default: a camera's own size, or brought down to fit 704x576 keeping 16:9.
    ASSERT_EQ(runTool("make -o " + out + " --start 2024-01-01 " + wide + " " + hd, &text), 0) << text;
    rec::Recording r;
    ASSERT_TRUE(r.open(out));
    ASSERT_EQ(r.streams().size(), 2u);
    EXPECT_EQ(r.streamForCamera(1)->width, 640u);
    EXPECT_EQ(r.streamForCamera(1)->height, 360u);
    EXPECT_EQ(r.streamForCamera(2)->width, 704u);
    EXPECT_EQ(r.streamForCamera(2)->height, 396u);
    r.close();
    // The stream headers say what the pictures are.
    std::vector<uint8_t> own = grayPicture(out, "0:1", 0, 704, 396);
    ASSERT_FALSE(own.empty());

    // Forced into 4:3: the whole width, black bars of 30 lines above and below.
    ASSERT_EQ(runTool("make -o " + out + " --start 2024-01-01 --size 320x240 " + wide, &text), 0) << text;
    ASSERT_TRUE(r.open(out));
    EXPECT_EQ(r.streamForCamera(1)->width, 320u);
    EXPECT_EQ(r.streamForCamera(1)->height, 240u);
    r.close();
    std::vector<uint8_t> boxed = grayPicture(out, "0:0", 0, 320, 240);
    ASSERT_FALSE(boxed.empty());
    EXPECT_LT(meanOf(boxed, 320, 0, 0, 320, 26), 20.0);
    EXPECT_GT(meanOf(boxed, 320, 0, 34, 320, 206), 230.0);
    EXPECT_LT(meanOf(boxed, 320, 0, 214, 320, 240), 20.0);
    EXPECT_GT(meanOf(boxed, 320, 0, 100, 8, 140), 230.0);  // not pillarboxed either

    // The other way round: a tall picture gets bars at its sides.
    ASSERT_EQ(runTool("make -o " + out + " --start 2024-01-01 --size 640x240 " + wide, &text), 0) << text;
    boxed = grayPicture(out, "0:0", 0, 640, 240);
    ASSERT_FALSE(boxed.empty());
    EXPECT_LT(meanOf(boxed, 640, 0, 0, 100, 240), 20.0);  // 426 wide, centred: bars of 106
    EXPECT_GT(meanOf(boxed, 640, 112, 0, 528, 240), 230.0);
    EXPECT_LT(meanOf(boxed, 640, 540, 0, 640, 240), 20.0);
    for (const std::string& path : {wide, hd, out}) std::remove(path.c_str());
}
