// Damaged and hostile files: each gives an error or a damage list, never a crash.
#include "recording/bytes.h"
#include "tests/recording/recording_checks.h"

#include <gtest/gtest.h>

#include <random>

using namespace rectest;

namespace {

Bytes smallFile(const rec::WriterOptions& o, const char* name, Sample* out = nullptr)
{
    Sample s = makeSample({1, 3}, {4, 3});
    Bytes b = writeSample(s, o, tempPath(name));
    std::remove(tempPath(name).c_str());
    if (out) *out = s;
    return b;
}

// Opens the bytes; on success the result must be internally sound.
rec::Status openChecked(rec::Recording& r, const Bytes& b)
{
    rec::Status s = r.openMemory(b.data(), b.size());
    if (s) expectSane(r);
    else EXPECT_FALSE(s.reason.empty());
    return s;
}

bool hasKind(const rec::Recording& r, rec::DamageKind k)
{
    for (const rec::Damage& d : r.damage())
        if (d.kind == k) return true;
    return false;
}

}  // namespace

TEST(Damage, EveryTruncationGivesAnErrorOrAPrefixOfTheFrames)
{
    for (bool dvrx : {false, true}) {
        rec::WriterOptions o;
        o.writeDvrx = dvrx;
        Sample s;
        Bytes full = smallFile(o, "trunc.avi", &s);
        // Every length without the large dvrx chunk; with it, a stride through it.
        size_t step = dvrx ? 61 : 1;
        for (size_t len = 0; len <= full.size(); len += (len > 900 && len + 400 < full.size()) ? step : 1) {
            SCOPED_TRACE("length " + std::to_string(len) + (dvrx ? " with dvrx" : ""));
            Bytes b(full.begin(), full.begin() + long(len));
            rec::Recording r;
            rec::Status st = openChecked(r, b);
            if (!st) {
                EXPECT_NE(st.error, rec::Error::Ok);
                continue;
            }
            if (len < full.size()) EXPECT_FALSE(r.damage().empty());
            else EXPECT_TRUE(r.damage().empty());
            for (const rec::Stream& str : r.streams()) {
                size_t i = str.camera == 1 ? 0 : 1;
                ASSERT_LE(str.frameCount(), s.frames[i].size());
                Bytes got;
                for (size_t k = 0; k < str.frameCount(); k++) {
                    ASSERT_TRUE(r.readFrame(str.frames[k], got));
                    EXPECT_EQ(got, s.frames[i][k]);
                }
            }
        }
    }
}

TEST(Damage, IndexEntriesPastTheEndAreDropped)
{
    rec::WriterOptions o;
    o.writeOdml = false;
    Bytes b = smallFile(o, "idx1.avi");
    size_t idx1 = findTag(b, "idx1");
    ASSERT_NE(idx1, std::string::npos);
    // Second entry (camera 3's first frame): offset far past the end.
    rec::wr32(&b[idx1 + 8 + 16 + 8], 0x7ffffff0u);
    // Fourth entry: a size running past the end.
    rec::wr32(&b[idx1 + 8 + 48 + 12], 0x00100000u);
    rec::Recording r;
    ASSERT_TRUE(openChecked(r, b));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::IndexEntry));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::TruncatedFrame));
    EXPECT_EQ(r.streamForCamera(1)->frameCount(), 4u);
    EXPECT_EQ(r.streamForCamera(3)->frameCount(), 1u);

    // The same in a standard OpenDML index.
    Bytes c = smallFile(rec::WriterOptions(), "ix.avi");
    size_t ix = findTag(c, "ix00");
    ASSERT_NE(ix, std::string::npos);
    rec::wr32(&c[ix + 8 + 24], 0xfffffff0u);
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::IndexEntry));
    EXPECT_EQ(r.streamForCamera(1)->frameCount(), 3u);
    EXPECT_EQ(r.streamForCamera(3)->frameCount(), 3u);
}

TEST(Damage, BadIndexesFallBackToOthers)
{
    Sample s;
    Bytes b = smallFile(rec::WriterOptions(), "badix.avi", &s);
    // Both super indexes point at camera 1's ix00: the second must not take its frames twice.
    size_t indx0 = findTag(b, "indx"), indx1 = findTag(b, "indx", indx0 + 4);
    std::copy(b.begin() + long(indx0) + 8 + 24, b.begin() + long(indx0) + 8 + 40, b.begin() + long(indx1) + 8 + 24);
    rec::Recording r;
    ASSERT_TRUE(openChecked(r, b));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadIndex));
    EXPECT_EQ(r.streamForCamera(3)->frameCount(), 3u);
    Bytes got;
    ASSERT_TRUE(r.readFrame(r.streamForCamera(3)->frames[0], got));
    EXPECT_EQ(got, s.frames[1][0]);

    // idx1 pointing nowhere useful (and no OpenDML index): frames found by a scan.
    rec::WriterOptions o;
    o.writeOdml = false;
    Bytes c = smallFile(o, "badidx1.avi");
    size_t idx1 = findTag(c, "idx1");
    for (size_t e = idx1 + 8; e + 16 <= c.size(); e += 16) rec::wr32(&c[e + 8], rec::rd32(&c[e + 8]) + 2);
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadIndex));
    EXPECT_EQ(r.streamForCamera(1)->frameCount(), 4u);
}

TEST(Damage, OverlappingIndexChunksAreNotReadOverAndOver)
{
    rec::WriterOptions o;
    o.superIndexEntries = 3000;
    Sample s = makeSample({1}, {3});
    Bytes b = writeSample(s, o, tempPath("overlap.avi"));
    std::remove(tempPath("overlap.avi").c_str());
    // 3000 'ix00' headers 32 bytes apart after the RIFF, each claiming the rest of the file;
    // camera 1's super index lists them all.
    const size_t k = 3000, region = b.size();
    b.resize(region + 32 * k, 0);
    for (size_t i = 0; i < k; i++) {
        uint8_t* c = &b[region + 32 * i];
        std::copy("ix00", "ix00" + 4, c);
        rec::wr32(c + 4, uint32_t(32 * (k - i) - 8));
        rec::wr16(c + 8, 2);
        c[11] = 1;
        std::copy("00dc", "00dc" + 4, c + 16);
    }
    size_t indx = findTag(b, "indx");
    rec::wr32(&b[indx + 8 + 4], uint32_t(k));
    for (size_t i = 0; i < k; i++) rec::wr64(&b[indx + 8 + 24 + 16 * i], region + 32 * i);
    rec::Recording r;
    ASSERT_TRUE(openChecked(r, b));
    bool overlap = false;
    for (const rec::Damage& d : r.damage()) overlap |= d.what.find("overlap") != std::string::npos;
    EXPECT_TRUE(overlap);
    EXPECT_EQ(r.streams()[0].frameCount(), 3u);  // from idx1 instead
}

TEST(Damage, HostileChunkSizesAnywhere)
{
    for (bool odml : {true, false}) {
        rec::WriterOptions o;
        o.writeOdml = odml;
        Bytes b = smallFile(o, "sizes.avi");
        for (size_t at : chunkOffsets(b)) {
            for (uint32_t v : {0xffffffffu, 0x7fffffffu, 0u, 1u, 3u, 0xfffffff8u}) {
                SCOPED_TRACE("chunk at " + std::to_string(at) + " size " + std::to_string(v));
                Bytes c = b;
                rec::wr32(&c[at + 4], v);
                rec::Recording r;
                openChecked(r, c);
            }
        }
    }
}

TEST(Damage, DamagedHeadersAreReported)
{
    Bytes b = smallFile(rec::WriterOptions(), "hdr.avi");
    rec::Recording r;
    auto patched = [&](const char* tag, size_t rel, uint32_t v) {
        Bytes c = b;
        size_t p = findTag(c, tag);
        EXPECT_NE(p, std::string::npos);
        rec::wr32(&c[p + rel], v);
        return c;
    };
    // hdrl renamed: no stream headers at all.
    Bytes c = b;
    std::copy("hdrX", "hdrX" + 4, c.begin() + long(findTag(c, "hdrl")));
    EXPECT_EQ(openChecked(r, c).error, rec::Error::Damaged);
    // movi renamed: no picture data.
    c = b;
    std::copy("movX", "movX" + 4, c.begin() + long(findTag(c, "movi")));
    EXPECT_EQ(openChecked(r, c).error, rec::Error::Damaged);
    // No main header: noted, streams still read.
    c = b;
    std::copy("avXh", "avXh" + 4, c.begin() + long(findTag(c, "avih")));
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadHeader));
    // A main header size that throws the walk off: whatever follows is garbage to the reader.
    rec::Status st = openChecked(r, patched("avih", 4, 8));
    EXPECT_EQ(st.error, rec::Error::Damaged) << st.reason;
    // First strh too short: that stream is lost, the other plays.
    ASSERT_TRUE(openChecked(r, patched("strh", 4, 8)));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadHeader));
    EXPECT_EQ(r.streams().size(), 1u);
    // Rate 0: a default rate, noted.
    ASSERT_TRUE(openChecked(r, patched("strh", 8 + 24, 0)));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadHeader));
    EXPECT_GT(r.streamForCamera(1)->rate, 0u);
    // Both strh short: nothing playable, and it says damaged rather than not a recording.
    c = patched("strh", 4, 8);
    rec::wr32(&c[findTag(c, "strh", findTag(c, "strh") + 4) + 4], 8);
    EXPECT_EQ(openChecked(r, c).error, rec::Error::Damaged);
}

TEST(Damage, DvrxSizesAndCounts)
{
    Sample s;
    Bytes b = smallFile(rec::WriterOptions(), "dvrx.avi", &s);
    rec::Recording r;
    size_t dvmo = findTag(b, "dvmo"), dvsr = findTag(b, "dvsr"), dvgp = findTag(b, "dvgp");
    // Counts above capacity: clamped, noted.
    Bytes c = b;
    rec::wr16(&c[dvsr + 8 + 4], 1001);
    rec::wr16(&c[dvmo + 8 + 4], 0xffff);
    rec::wr16(&c[dvgp + 8 + 4], 2001);
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_EQ(rec::blockCount(r.sourceBlock().data()), 1000);
    EXPECT_EQ(rec::blockCount(r.motionBlock().data()), 1000);
    EXPECT_EQ(rec::blockCount(r.gpiBlock().data()), 2000);
    size_t clamped = 0;
    for (const rec::Damage& d : r.damage()) clamped += d.kind == rec::DamageKind::CountClamped;
    EXPECT_EQ(clamped, 3u);
    // A block shorter than its layout: the bytes present are kept, the rest is zero.
    c = b;
    rec::wr32(&c[dvgp + 4], 100);
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadDvrx));
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), 7), -12345);
    EXPECT_EQ(rec::gpiValue(r.gpiBlock(), 1999), 0);
    // A start time out of range is ignored, noted.
    c = b;
    size_t dvst = findTag(c, "dvst");
    c[dvst + 8 + 2] = 13;
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadDvrx));
    EXPECT_EQ(r.startSource(), rec::Recording::StartSource::None);
    // The Motion block missing altogether.
    c = b;
    std::copy("dvmX", "dvmX" + 4, c.begin() + long(dvmo));
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadDvrx));
    EXPECT_EQ(r.motionBlock(), rec::MotionBlock{});
    EXPECT_EQ(r.sourceBlock(), s.source);
}

TEST(Damage, DeepNestingAndGarbageInMovi)
{
    Bytes b = smallFile(rec::WriterOptions(), "deep.avi");
    size_t movi = findTag(b, "movi");
    // 4000 nested 'rec ' lists, then the frames.
    Bytes nest;
    for (int i = 0; i < 4000; i++) {
        const char t[] = "LIST\xff\xff\xff\x7frec ";
        nest.insert(nest.end(), t, t + 12);
    }
    Bytes c = b;
    c.insert(c.begin() + long(movi) + 4, nest.begin(), nest.end());
    rec::Recording r;
    openChecked(r, c);
    // 4000 nested LISTs in hdrl.
    Bytes h;
    for (int i = 0; i < 4000; i++) {
        const char t[] = "LIST\xff\xff\xff\x7fstrl";
        h.insert(h.end(), t, t + 12);
    }
    c = b;
    c.insert(c.begin() + long(findTag(c, "hdrl")) + 4, h.begin(), h.end());
    openChecked(r, c);
    // Garbage over the start of the movi data (no index): a scan skips to the next frame.
    rec::WriterOptions o;
    o.writeOdml = false;
    o.writeIdx1 = false;
    Sample s;
    c = smallFile(o, "garbage.avi", &s);
    size_t first = findTag(c, "00dc");
    for (size_t i = 0; i < 12; i++) c[first + i] = 0xA5;
    ASSERT_TRUE(openChecked(r, c));
    EXPECT_TRUE(hasKind(r, rec::DamageKind::BadChunk));
    EXPECT_EQ(r.streamForCamera(1)->frameCount(), 3u);
    EXPECT_EQ(r.streamForCamera(3)->frameCount(), 3u);
}

TEST(Damage, RandomBytesAndMutations)
{
    std::mt19937 rng(12345);
    rec::Recording r;
    for (int i = 0; i < 300; i++) {
        Bytes b(rng() % 400);
        for (auto& x : b) x = uint8_t(rng());
        if (i % 2 && b.size() >= 12) std::copy("RIFF\0\0\0\0AVI ", "RIFF\0\0\0\0AVI " + 12, b.begin());
        openChecked(r, b);
    }
    Bytes base = smallFile(rec::WriterOptions(), "mut.avi");
    for (int i = 0; i < 1500; i++) {
        Bytes b = base;
        int flips = 1 + int(rng() % 8);
        for (int k = 0; k < flips; k++) b[rng() % b.size()] = uint8_t(rng());
        openChecked(r, b);
    }
}
