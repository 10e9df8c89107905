// Writer to reader: everything written comes back, through every kind of index.
#include "recording/avidate.h"
#include "recording/bytes.h"
#include "recording/file64.h"
#include "tests/recording/recording_checks.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace rectest;

namespace {

void expectSameFrames(const rec::Recording& r, const Sample& s)
{
    ASSERT_EQ(r.streams().size(), s.streams.size());
    for (size_t i = 0; i < s.streams.size(); i++) {
        const rec::Stream* st = r.streamForCamera(s.streams[i].camera);
        ASSERT_NE(st, nullptr) << "camera " << s.streams[i].camera;
        ASSERT_EQ(st->frameCount(), s.frames[i].size()) << "camera " << s.streams[i].camera;
        Bytes got;
        for (size_t k = 0; k < s.frames[i].size(); k++) {
            ASSERT_TRUE(r.readFrame(st->frames[k], got));
            EXPECT_EQ(got, s.frames[i][k]) << "camera " << st->camera << " frame " << k;
            EXPECT_TRUE(st->frames[k].keyframe);
        }
    }
}

}  // namespace

TEST(RoundTrip, SparseCamerasFramesTimesBlocksAndStart)
{
    Sample s = makeSample({7, 1, 3}, {9, 12, 5});
    std::string path = tempPath("sparse.avi");
    Bytes file = writeSample(s, rec::WriterOptions(), path);

    rec::Recording r;
    rec::Status st = r.open(path);
    ASSERT_TRUE(st) << st.reason;
    EXPECT_TRUE(r.damage().empty()) << r.damage().front().what;
    EXPECT_EQ(r.cameraMask(), 0x45u);
    ASSERT_EQ(r.streams().size(), 3u);
    // Ordered by camera, whatever the order in the file.
    EXPECT_EQ(r.streams()[0].camera, 1);
    EXPECT_EQ(r.streams()[1].camera, 3);
    EXPECT_EQ(r.streams()[2].camera, 7);
    EXPECT_EQ(r.streams()[2].aviStream, 0);
    const rec::Stream* c3 = r.streamForCamera(3);
    ASSERT_NE(c3, nullptr);
    EXPECT_EQ(c3->width, 192u);
    EXPECT_EQ(c3->height, 136u);
    EXPECT_EQ(c3->rate, 5u);
    EXPECT_EQ(c3->scale, 1u);
    EXPECT_EQ(r.streamForCamera(2), nullptr);
    expectSameFrames(r, s);
    for (size_t k = 0; k < c3->frameCount(); k++) EXPECT_EQ(c3->frames[k].timeMs, int64_t(k) * 200);
    EXPECT_EQ(c3->durationMs(), 1000);
    EXPECT_EQ(r.durationMs(), 12 * 200);

    EXPECT_TRUE(r.hasDvrx());
    EXPECT_EQ(r.startSource(), rec::Recording::StartSource::Dvrx);
    EXPECT_EQ(r.startTime(), s.start);
    EXPECT_EQ(rec::formatStartTime(r.startTime()), "2024-03-05\t10:20:30.456");
    EXPECT_EQ(r.sourceBlock(), s.source);
    EXPECT_EQ(r.motionBlock(), s.motion);
    EXPECT_EQ(r.gpiBlock(), s.gpi);
    EXPECT_EQ(rec::blockCount(r.motionBlock().data()), 1000);
    EXPECT_EQ(rec::motionLevel(r.motionBlock(), 999, 16), 255);
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), 7), -12345);
    EXPECT_EQ(rec::sourceMask(r.sourceBlock(), 3), 1u);  // camera 1, second in the sample: slot 3
    EXPECT_LT(rec::sourceStatus(r.sourceBlock(), 3), 0);

    // The same bytes from memory read the same.
    rec::Recording m;
    ASSERT_TRUE(m.openMemory(file.data(), file.size()));
    ASSERT_EQ(m.streams().size(), 3u);
    for (size_t i = 0; i < 3; i++) {
        ASSERT_EQ(m.streams()[i].frameCount(), r.streams()[i].frameCount());
        for (size_t k = 0; k < m.streams()[i].frameCount(); k++)
            EXPECT_EQ(m.streams()[i].frames[k].offset, r.streams()[i].frames[k].offset);
    }
    std::remove(path.c_str());
}

TEST(RoundTrip, OdmlAcrossManyRiffs)
{
    Sample s = makeSample({2, 16}, {60, 45});
    rec::WriterOptions o;
    o.riffLimit = 1500;  // a few dozen frames per RIFF
    std::string path = tempPath("odml.avi");
    rec::Writer w;
    Bytes file = writeSample(s, o, path);
    size_t avix = 0;
    for (size_t p = findTag(file, "AVIX"); p != std::string::npos; p = findTag(file, "AVIX", p + 4)) avix++;
    EXPECT_GE(avix, 3u);

    rec::Recording r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.damage().empty()) << r.damage().front().what;
    expectSameFrames(r, s);
    expectSane(r);

    // The same file without OpenDML indexes: idx1 cannot reach the AVIX parts, so a scan must.
    o.writeOdml = false;
    writeSample(s, o, path);
    ASSERT_TRUE(r.open(path));
    expectSameFrames(r, s);
    ASSERT_FALSE(r.damage().empty());
    EXPECT_EQ(r.damage().front().kind, rec::DamageKind::BadIndex);
    std::remove(path.c_str());
}

TEST(RoundTrip, EachIndexKindAloneGivesTheSameFrames)
{
    Sample s = makeSample({1, 3, 7}, {8, 3, 11});
    std::string path = tempPath("index.avi");
    struct Case {
        bool odml, idx1;
        bool rebuilt;
    } cases[] = {
        {true, false, false}, {false, true, false}, {false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("odml ") + (c.odml ? "on" : "off") + ", idx1 " + (c.idx1 ? "on" : "off"));
        rec::WriterOptions o;
        o.writeOdml = c.odml;
        o.writeIdx1 = c.idx1;
        writeSample(s, o, path);
        rec::Recording r;
        ASSERT_TRUE(r.open(path));
        expectSameFrames(r, s);
        if (c.rebuilt) {
            ASSERT_EQ(r.damage().size(), 1u);
            EXPECT_EQ(r.damage()[0].kind, rec::DamageKind::IndexRebuilt);
        } else {
            EXPECT_TRUE(r.damage().empty());
        }
    }
    std::remove(path.c_str());
}

TEST(RoundTrip, FileWithoutDvrxHasEmptyBlocksAndMidnight)
{
    Sample s = makeSample({4}, {6});
    rec::WriterOptions o;
    o.writeDvrx = false;
    std::string path = tempPath("nodvrx.avi");
    Bytes file = writeSample(s, o, path);
    EXPECT_EQ(findTag(file, "dvrx"), std::string::npos);
    rec::Recording r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.damage().empty());
    EXPECT_FALSE(r.hasDvrx());
    EXPECT_EQ(r.startSource(), rec::Recording::StartSource::None);
    EXPECT_EQ(r.startTime().msOfDay, 0);
    EXPECT_EQ(r.sourceBlock(), rec::SourceBlock{});
    EXPECT_EQ(r.motionBlock(), rec::MotionBlock{});
    EXPECT_EQ(r.gpiBlock(), rec::GpiBlock{});
    expectSameFrames(r, s);
    std::remove(path.c_str());
}

TEST(RoundTrip, StreamNamesDecideCameras)
{
    Sample s = makeSample({1, 2, 3}, {2, 2, 2});
    std::string path = tempPath("names.avi");
    Bytes file = writeSample(s, rec::WriterOptions(), path);
    auto rename = [&](const char* from, const char* to) {
        size_t p = findTag(file, "strn");
        while (p != std::string::npos && std::string(file.begin() + long(p) + 8, file.begin() + long(p) + 16) != from)
            p = findTag(file, "strn", p + 4);
        ASSERT_NE(p, std::string::npos) << from;
        std::copy(to, to + 8, file.begin() + long(p) + 8);
    };
    // A name that is no camera name: the stream number decides (stream 2 is camera 3).
    rename("Camera 2", "Camera 9");
    rename("Camera 3", "Lobby 03");
    rec::Recording r;
    ASSERT_TRUE(r.openMemory(file.data(), file.size()));
    EXPECT_EQ(r.cameraMask(), (1u << 0) | (1u << 2) | (1u << 8));
    EXPECT_TRUE(r.damage().empty());
    ASSERT_NE(r.streamForCamera(3), nullptr);
    EXPECT_EQ(r.streamForCamera(3)->aviStream, 2);

    // Two streams naming the same camera: the second is dropped and noted.
    rename("Camera 9", "Camera 1");
    ASSERT_TRUE(r.openMemory(file.data(), file.size()));
    EXPECT_EQ(r.streams().size(), 2u);
    ASSERT_EQ(r.damage().size(), 1u);
    EXPECT_EQ(r.damage()[0].kind, rec::DamageKind::BadStream);
    std::remove(path.c_str());
}

TEST(Times, FrameTimesAndLookup)
{
    rec::Stream st;
    st.rate = 30000;
    st.scale = 1001;
    for (int i = 0; i < 100; i++) st.frames.push_back({0, 0, st.timeOf(uint64_t(i)), true});
    EXPECT_EQ(st.timeOf(30), 1001);
    EXPECT_EQ(st.timeOf(1), 33);
    EXPECT_EQ(st.durationMs(), 3336);
    EXPECT_EQ(st.frameAt(-1), -1);
    EXPECT_EQ(st.frameAt(0), 0);
    EXPECT_EQ(st.frameAt(33), 1);
    EXPECT_EQ(st.frameAt(32), 0);
    EXPECT_EQ(st.frameAt(1001), 30);
    EXPECT_EQ(st.frameAt(1000000), 99);
    // Largest times that a usable rate allows stay exact (one frame per hour).
    st.rate = 1;
    st.scale = 3600;
    EXPECT_EQ(st.timeOf(0xffffffffu), int64_t(0xffffffffu) * 3600000);
    rec::Stream empty;
    empty.rate = empty.scale = 1;
    EXPECT_EQ(empty.frameAt(100), -1);
}

TEST(Open, ErrorsSayWhatIsWrong)
{
    rec::Recording r;
    rec::Status s = r.open(tempPath("does-not-exist.avi"));
    EXPECT_EQ(s.error, rec::Error::FileMissing);
    EXPECT_FALSE(s.reason.empty());
    EXPECT_FALSE(r.isOpen());

    std::string dir = tempPath("a-directory");
    mkdir(dir.c_str(), 0755);
    EXPECT_EQ(r.open(dir).error, rec::Error::FileUnreadable);
    rmdir(dir.c_str());

    const char text[] = "just some text, long enough to have a header";
    EXPECT_EQ(r.openMemory(text, sizeof text).error, rec::Error::NotRecording);
    EXPECT_EQ(r.openMemory(nullptr, 0).error, rec::Error::NotRecording);
    Bytes wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_EQ(r.openMemory(wave.data(), wave.size()).error, rec::Error::NotRecording);

    // An AVI whose only video is not MJPEG.
    Sample smp = makeSample({1}, {3});
    std::string path = tempPath("notmjpeg.avi");
    Bytes file = writeSample(smp, rec::WriterOptions(), path);
    for (size_t p = findTag(file, "MJPG"); p != std::string::npos; p = findTag(file, "MJPG", p + 4))
        std::copy("H264", "H264" + 4, file.begin() + long(p));
    s = r.openMemory(file.data(), file.size());
    EXPECT_EQ(s.error, rec::Error::NotRecording);
    EXPECT_NE(s.reason.find("Motion-JPEG"), std::string::npos) << s.reason;
    std::remove(path.c_str());
}

// Windows opens files by their UTF-16 names: the program's UTF-8 paths are
// turned into them, and what is not UTF-8 is left to the code page.
TEST(Open, Utf8PathsBecomeUtf16AndMalformedOnesAreRefused)
{
    struct Case {
        const char* utf8;
        std::u16string utf16;
    };
    const Case good[] = {
        {"", u""},
        {"C:\\a.d01", u"C:\\a.d01"},
        {"\xD0\x9A\xD0\xB0\xD0\xBC", u"\u041A\u0430\u043C"},  // two-byte forms
        {"\xE6\x9D\xB1\xE4\xBA\xAC", u"\u6771\u4EAC"},        // three-byte forms
        {"\xF0\x9D\x84\x9E.d00", u"\U0001D11E.d00"},          // beyond the BMP: a surrogate pair
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const Case& c : good) {
        std::u16string out;
        EXPECT_TRUE(rec::utf8ToUtf16(c.utf8, &out)) << c.utf8;
        EXPECT_EQ(c.utf16, out) << c.utf8;
    }
    // Cut short, a lone continuation, overlong, a surrogate, past U+10FFFF, CP-1252 text.
    for (const char* bad : {"\xD0", "a\xE6\x9D", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "Jos\xE9.d01", "\xF8\x88\x80\x80\x80"}) {
        std::u16string out;
        EXPECT_FALSE(rec::utf8ToUtf16(bad, &out)) << bad;
    }

    // The name as the file system holds it, opened and read back.
    Sample smp = makeSample({1, 2}, {3, 2});
    const std::string path = tempPath("\xD0\x9A\xD0\xB0 \xE6\x9D\xB1 \xF0\x9D\x84\x9E.d01");
    writeSample(smp, rec::WriterOptions(), path);
    rec::Recording r;
    ASSERT_TRUE(r.open(path)) << path;
    expectSameFrames(r, smp);
    std::remove(path.c_str());
}

TEST(Open, ReadFrameStaysInsideBufferAndFile)
{
    Sample s = makeSample({1}, {3});
    std::string path = tempPath("readframe.avi");
    Bytes file = writeSample(s, rec::WriterOptions(), path);
    rec::Recording r;
    ASSERT_TRUE(r.openMemory(file.data(), file.size()));
    const rec::Frame& f = r.streams()[0].frames[1];
    uint8_t small[5];
    EXPECT_EQ(r.readFrame(f, small, sizeof small), 5u);
    EXPECT_TRUE(std::equal(small, small + 5, s.frames[0][1].begin()));
    rec::Frame past = f;
    past.offset = file.size() - 3;
    Bytes big(100);
    EXPECT_EQ(r.readFrame(past, big.data(), big.size()), 3u);
    Bytes v;
    EXPECT_FALSE(r.readFrame(past, v));
    past.offset = file.size() + 10;
    EXPECT_EQ(r.readFrame(past, big.data(), big.size()), 0u);
    r.close();
    EXPECT_EQ(r.readFrame(f, big.data(), big.size()), 0u);
    std::remove(path.c_str());
}

TEST(AviDate, FormsWritersUse)
{
    struct Case {
        const char* text;
        bool ok;
        rec::StartTime t;
    } cases[] = {
        {"2023-05-06 07:08:09", true, {2023, 5, 6, (7 * 3600 + 8 * 60 + 9) * 1000}},
        {"2023-05-06T07:08:09.123456Z", true, {2023, 5, 6, (7 * 3600 + 8 * 60 + 9) * 1000 + 123}},
        {"2023:05:06 23:59:59.5", true, {2023, 5, 6, 86399500}},
        {"2023-05-06", true, {2023, 5, 6, 0}},
        {"Wed Jan 02 02:03:55 1990\n", true, {1990, 1, 2, (2 * 3600 + 3 * 60 + 55) * 1000}},
        {"Lavf59.27.100", false, {}},
        {"2023-13-06 07:08:09", false, {}},
        {"2023-05-06 25:08:09", false, {}},
        {"Wed Foo 02 02:03:55 1990", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        rec::StartTime t;
        EXPECT_EQ(rec::parseAviDate(c.text, t), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(t, c.t) << c.text;
        }
    }
}

TEST(Blocks, BuildersKeepSlotsAndCounts)
{
    rec::SourceBlock s{};
    rec::addSourceEvent(s, 10, 1);
    rec::addSourceEvent(s, 10, 16);
    rec::addSourceEvent(s, 1000, 1);  // past capacity: ignored
    rec::addSourceEvent(s, 3, 17);    // no such camera: ignored
    EXPECT_EQ(rec::sourceMask(s, 10), 0x8001u);
    EXPECT_EQ(rec::blockCount(s.data()), 11);
    EXPECT_EQ(rec::rd32(s.data() + 8 + 40), 0x8001u);
    EXPECT_EQ(rec::rd32(s.data() + 8008 + 40), 0x80000000u);
    rec::MotionBlock m{};
    rec::setMotionLevel(m, 7, 3, 200);
    EXPECT_EQ(m[8 + 2000 + 7], 200);
    EXPECT_EQ(rec::blockCount(m.data()), 8);
    rec::GpiBlock g{};
    rec::setGpiValue(g, 1999, -2);
    EXPECT_EQ(rec::blockCount(g.data()), 2000);
    EXPECT_EQ(rec::gpiValue(g, 1999), -2);
    EXPECT_EQ(rec::sourceSlotOf(3599), 0u);
    EXPECT_EQ(rec::sourceSlotOf(3600), 1u);
    EXPECT_EQ(rec::gpiSlotOf(3600), 2u);
}
