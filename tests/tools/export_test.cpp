// dvrtool export end to end, and the moments and cameras it is given.
#include "recording/recording.h"
#include "recording/writer.h"
#include "tools/commands.h"
#include "tools/options.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

// An export and the manifest pair written beside it.
void removeExport(const std::string& path)
{
    for (const char* suffix : {"", ".sha256", ".manifest.json"}) std::remove((path + suffix).c_str());
}

struct Probed {
    std::string codec;
    long width = 0, height = 0, frames = 0;
    double seconds = 0;
};

// What ffprobe reads in an MP4's first video stream, every frame decoded and counted.
Probed probeVideo(const std::string& path)
{
    Probed probed;
    FILE* p = popen(("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                     "stream=codec_name,width,height,nb_read_frames:format=duration -of default=nw=1 '" +
                     path + "'")
                        .c_str(),
                    "r");
    char line[256];
    while (p && fgets(line, sizeof line, p)) {
        std::string text(line);
        text = text.substr(0, text.find('\n'));
        size_t eq = text.find('=');
        if (eq == std::string::npos) continue;
        std::string key = text.substr(0, eq), value = text.substr(eq + 1);
        if (key == "codec_name") probed.codec = value;
        else if (key == "width") probed.width = std::atol(value.c_str());
        else if (key == "height") probed.height = std::atol(value.c_str());
        else if (key == "nb_read_frames") probed.frames = std::atol(value.c_str());
        else if (key == "duration") probed.seconds = std::atof(value.c_str());
    }
    if (p) pclose(p);
    return probed;
}

std::string readAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A 5-camera recording, 6 s at 5 fps from 08:00:00, shared by the export tests.
class Export : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!haveFfmpeg()) return;
        s_recording = temp("export-src.avi");
        std::string text;
        ASSERT_EQ(runTool("synth -o " + s_recording + " --cameras 5 --seconds 6 --fps 5 --size 320x240 --quality 4 "
                                                      "--start '2024-03-04 08:00:00.000'",
                          &text),
                  0)
            << text;
    }
    static void TearDownTestSuite()
    {
        if (!s_recording.empty()) std::remove(s_recording.c_str());
    }
    void SetUp() override
    {
        if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    }
    static std::string s_recording;
};

std::string Export::s_recording;

}  // namespace

TEST(ExportMoments, OffsetsAndTimesOfDay)
{
    const int32_t eight = 8 * 3600 * 1000;
    int64_t ms = -1;
    ASSERT_TRUE(dvrtool::parseTimePoint("+12:30", eight, ms));
    EXPECT_EQ(ms, (12 * 60 + 30) * 1000);
    ASSERT_TRUE(dvrtool::parseTimePoint("+1.25", eight, ms));
    EXPECT_EQ(ms, 1250);
    ASSERT_TRUE(dvrtool::parseTimePoint("+1:00:00", eight, ms));
    EXPECT_EQ(ms, 3600000);
    ASSERT_TRUE(dvrtool::parseTimePoint("08:00:04.5", eight, ms));
    EXPECT_EQ(ms, 4500);
    ASSERT_TRUE(dvrtool::parseTimePoint("08:10", eight, ms));
    EXPECT_EQ(ms, 600000);
    // Past midnight on a recording that began the evening before.
    ASSERT_TRUE(dvrtool::parseTimePoint("00:00:30", 23 * 3600 * 1000 + 59 * 60 * 1000, ms));
    EXPECT_EQ(ms, 90000);
    for (const char* bad : {"", "+", "12", "+-5", "+1:60", "25:00:00", "08:61", "8:00:00x", "+a", "1:2:3:4", "+1e99"})
        EXPECT_FALSE(dvrtool::parseTimePoint(bad, eight, ms)) << bad;
}

TEST_F(Export, OneCameraAtItsOwnSizeForTheStretchAsked)
{
    std::string out = temp("one.mp4"), text;
    ASSERT_EQ(runTool("export -o " + out + " --camera 2 --from +1 --to 08:00:04 " + s_recording, &text), 0) << text;
    Probed probed = probeVideo(out);
    EXPECT_EQ(probed.codec, "h264");
    EXPECT_EQ(probed.width, 320);
    EXPECT_EQ(probed.height, 240);
    EXPECT_EQ(probed.frames, 15);  // 3 s at 5 fps
    EXPECT_NEAR(probed.seconds, 3.0, 0.05);
    EXPECT_FALSE(exists(out + ".partial"));

    // The clock is burned in at the top right: there the picture differs from the camera's own
    // first picture of the stretch, while plain background elsewhere stays as it was.
    std::vector<uint8_t> exported = grayPicture(out, "0:0", 0, 320, 240);
    std::vector<uint8_t> source = grayPicture(s_recording, "0:1", 1.0, 320, 240);
    ASSERT_FALSE(exported.empty());
    ASSERT_FALSE(source.empty());
    EXPECT_GT(differenceOf(exported, source, 320, 200, 8, 310, 28), 30.0);
    EXPECT_LT(differenceOf(exported, source, 320, 20, 60, 300, 120), 6.0);
    removeExport(out);
}

TEST_F(Export, SeveralCamerasInThePlayersLayouts)
{
    std::string out = temp("mosaic.mp4"), text;
    // Cameras 1-4: the 2 x 2 layout, the whole recording.
    ASSERT_EQ(runTool("export -o " + out + " --cameras 1-4 " + s_recording, &text), 0) << text;
    Probed probed = probeVideo(out);
    EXPECT_EQ(probed.codec, "h264");
    EXPECT_EQ(probed.width, 640);
    EXPECT_EQ(probed.height, 480);
    EXPECT_EQ(probed.frames, 30);
    EXPECT_NEAR(probed.seconds, 6.0, 0.05);

    // Every camera, five: the 3 x 3 layout, camera 5 in the middle cell and the rest black.
    ASSERT_EQ(runTool("export -o " + out + " --from +2 --to +4 " + s_recording, &text), 0) << text;
    probed = probeVideo(out);
    EXPECT_EQ(probed.width, 960);
    EXPECT_EQ(probed.height, 720);
    EXPECT_EQ(probed.frames, 10);
    std::vector<uint8_t> mosaic = grayPicture(out, "0:0", 0, 960, 720);
    std::vector<uint8_t> five = grayPicture(s_recording, "0:4", 2.0, 320, 240);
    ASSERT_FALSE(mosaic.empty());
    ASSERT_FALSE(five.empty());
    std::vector<uint8_t> middle(320 * 240);
    for (size_t y = 0; y < 240; y++)
        for (size_t x = 0; x < 320; x++) middle[y * 320 + x] = mosaic[(240 + y) * 960 + 320 + x];
    EXPECT_LT(differenceOf(middle, five, 320, 20, 60, 300, 120), 6.0);
    EXPECT_LT(meanOf(mosaic, 960, 660, 500, 940, 700), 20.0);  // the empty last cell
    EXPECT_GT(meanOf(mosaic, 960, 20, 60, 300, 120), 40.0);    // camera 1's colour
    removeExport(out);
}

TEST_F(Export, ACameraThatEndedEarlyHoldsItsLastPicture)
{
    // Camera 1 records 1 s, camera 2 records 3 s: from 2 s on camera 1 has no picture of its own.
    std::string shortInput = temp("short.mp4"), longInput = temp("long.mp4"), avi = temp("uneven.avi");
    std::string out = temp("uneven.mp4"), text;
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i color=c=white:s=160x120:r=5:d=1 -c:v mpeg4 '" + shortInput + "'").c_str()), 0);
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=160x120:r=5:d=3 -c:v mpeg4 '" + longInput + "'").c_str()), 0);
    ASSERT_EQ(runTool("make -o " + avi + " --start '2024-01-01 10:00:00' " + shortInput + " " + longInput, &text), 0) << text;
    ASSERT_EQ(runTool("export -o " + out + " --from +2 --to +30 " + avi, &text), 0) << text;
    EXPECT_NE(text.find("--to +30 is past the end; taking up to the end at 10:00:03.000"), std::string::npos) << text;
    Probed probed = probeVideo(out);
    EXPECT_EQ(probed.width, 320);
    EXPECT_EQ(probed.frames, 5);
    std::vector<uint8_t> mosaic = grayPicture(out, "0:0", 0.5, 320, 240);
    ASSERT_FALSE(mosaic.empty());
    EXPECT_GT(meanOf(mosaic, 320, 4, 40, 156, 116), 230.0);  // camera 1's last, white picture
    for (const std::string& path : {shortInput, longInput, avi, out}) removeExport(path);
}

TEST_F(Export, ACameraWithoutAPictureYetHoldsNothingBack)
{
    // Camera 2 records nothing for its first 4 s (empty slots), then its own pictures.
    rec::Recording synth;
    ASSERT_TRUE(synth.open(s_recording));
    std::string late = temp("late.avi"), out = temp("late.mp4"), text;
    rec::Writer writer;
    ASSERT_TRUE(writer.open(late, {{1, 320, 240}, {2, 320, 240}}));
    std::vector<uint8_t> bytes;
    for (size_t k = 0; k < 30; k++)
        for (size_t camera = 0; camera < 2; camera++) {
            ASSERT_TRUE(synth.readFrame(synth.streams()[camera].frames[k], bytes));
            ASSERT_TRUE(writer.addFrame(camera, camera && k < 20 ? nullptr : bytes.data(), camera && k < 20 ? 0 : bytes.size()));
        }
    writer.setStartTime({2024, 3, 4, 8 * 3600 * 1000});
    ASSERT_TRUE(writer.close());
    auto cellMean = [&](double seconds, size_t left) {
        std::vector<uint8_t> mosaic = grayPicture(out, "0:0", seconds, 640, 480);
        return mosaic.empty() ? -1.0 : meanOf(mosaic, 640, left + 20, 60, left + 300, 120);
    };

    // No picture of camera 2 in the stretch: its cell is black, camera 1 plays the whole of it.
    ASSERT_EQ(runTool("export -o " + out + " --from +1 --to +3 " + late, &text), 0) << text;
    EXPECT_EQ(probeVideo(out).frames, 10);
    EXPECT_GT(cellMean(0.2, 0), 40.0);
    EXPECT_LT(cellMean(0.2, 320), 20.0);
    EXPECT_LT(cellMean(1.8, 320), 20.0);
    // Its pictures begin within the stretch: black until then, from the stretch's start on.
    ASSERT_EQ(runTool("export -o " + out + " --from +3 --to +5 " + late, &text), 0) << text;
    EXPECT_EQ(probeVideo(out).frames, 10);
    EXPECT_GT(cellMean(0.2, 0), 40.0);
    EXPECT_LT(cellMean(0.8, 320), 20.0);
    EXPECT_GT(cellMean(1.2, 320), 40.0);
    for (const std::string& path : {late, out}) removeExport(path);
}

TEST_F(Export, ClockAndMessagesWrapAtMidnightAsTheTilesDo)
{
    // The same still pictures recorded from 23:59:59 and from midnight: one second into the
    // day both exports burn in the same clock, where 24:00:01 would differ from 00:00:01.
    std::string still = temp("still.mp4"), evening = temp("evening.avi"), night = temp("night.avi");
    std::string fromEvening = temp("evening.mp4"), fromNight = temp("night.mp4"), text;
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i color=c=gray:s=320x240:r=5:d=4 -c:v mpeg4 '" + still + "'").c_str()), 0);
    ASSERT_EQ(runTool("make -o " + evening + " --start '2024-01-01 23:59:59' " + still, &text), 0) << text;
    ASSERT_EQ(runTool("make -o " + night + " --start '2024-01-02 00:00:00' " + still, &text), 0) << text;
    ASSERT_EQ(runTool("export -o " + fromEvening + " --from 00:00:01 --to +3 " + evening, &text), 0) << text;
    EXPECT_NE(text.find("00:00:01.000 to 00:00:02.000"), std::string::npos) << text;
    ASSERT_EQ(runTool("export -o " + fromNight + " --from +1 --to +2 " + night, &text), 0) << text;
    std::vector<uint8_t> a = grayPicture(fromEvening, "0:0", 0, 320, 240), b = grayPicture(fromNight, "0:0", 0, 320, 240);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_GT(differenceOf(a, std::vector<uint8_t>(a.size(), a[120 * 320 + 20]), 320, 160, 4, 316, 32), 10.0)
        << "a clock is burned in";
    EXPECT_LT(differenceOf(a, b, 320, 160, 4, 316, 32), 1.0);

    EXPECT_EQ(runTool("export -o " + fromEvening + " --from +5 " + evening, &text), dvrtool::kExitOutOfRange);
    EXPECT_NE(text.find("runs from 23:59:59.000 to 00:00:03.000"), std::string::npos) << text;
    for (const std::string& path : {still, evening, night, fromEvening, fromNight}) removeExport(path);
}

TEST_F(Export, BadArgumentsAreRefusedAndLeaveNothing)
{
    std::string out = temp("refused.mp4"), text;
    struct Case {
        std::string args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {"--camera 9", dvrtool::kExitNoCamera, "no camera 9"},
        {"--cameras 2,7", dvrtool::kExitNoCamera, "no camera 7"},
        {"--cameras 1,17", dvrtool::kExitUsage, "bad --cameras"},
        {"--camera 1 --cameras 2", dvrtool::kExitUsage, "not both"},
        {"--from +10", dvrtool::kExitOutOfRange, "outside the recording"},
        {"--to 07:00:00", dvrtool::kExitOutOfRange, "--to 07:00:00 is before the recording's start"},
        {"--from 07:59:00", dvrtool::kExitOutOfRange, "before the recording's start: the recording runs from 08:00:00"},
        {"--from +4 --to +2", dvrtool::kExitOutOfRange, "the range is inverted"},
        {"--from 25:00", dvrtool::kExitUsage, "bad --from"},
        {"--to +ten", dvrtool::kExitUsage, "bad --to"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runTool("export -o " + out + " " + c.args + " " + s_recording, &text), c.code) << c.args << ": " << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << c.args << ": " << text;
        EXPECT_FALSE(exists(out)) << c.args;
    }
    EXPECT_EQ(runTool("export -o " + out + " " + temp("absent.avi"), &text), dvrtool::kExitUnreadable) << text;
    // Another container only where ffmpeg writes it: never an MP4 under another name.
    EXPECT_EQ(runTool("export -o " + temp("refused.xyz") + " " + s_recording, &text), dvrtool::kExitUsage) << text;
    EXPECT_NE(text.find("name the output .mp4"), std::string::npos) << text;
    // Never over the recording it reads.
    EXPECT_EQ(runTool("export -o " + s_recording + " " + s_recording, &text), dvrtool::kExitUsage) << text;
    rec::Recording intact;
    EXPECT_TRUE(intact.open(s_recording));
    EXPECT_EQ(runToolWithFfmpeg("/nonexistent/ffmpeg", "export -o " + out + " " + s_recording, &text),
              dvrtool::kExitNoFfmpeg);
    EXPECT_NE(text.find("ffmpeg not found"), std::string::npos) << text;
    EXPECT_FALSE(exists(out));

    // An ffmpeg that makes an empty file and says it succeeded has made no export.
    std::string empty = temp("ffmpeg-empty.sh");
    std::ofstream(empty) << "#!/bin/sh\nfor a; do last=$a; done\n: > \"${last#file:}\"\n";
    ASSERT_EQ(chmod(empty.c_str(), 0755), 0);
    EXPECT_EQ(runToolWithFfmpeg(empty, "export -o " + out + " " + s_recording, &text), dvrtool::kExitFailed) << text;
    EXPECT_FALSE(exists(out));
    EXPECT_FALSE(exists(out + ".partial"));
    std::remove(empty.c_str());

    // An ffmpeg that fails: what was there before stays, and no part-written file is left.
    std::ofstream(out) << "an earlier export";
    EXPECT_EQ(runToolWithFfmpeg("false", "export -o " + out + " " + s_recording, &text), dvrtool::kExitFailed) << text;
    EXPECT_EQ(readAll(out), "an earlier export");
    EXPECT_FALSE(exists(out + ".partial"));
    removeExport(out);
}
