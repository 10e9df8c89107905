// The frame decoder against ffmpeg's decode of the same frames at the same size,
// at every scale it decodes at; then frames that are damaged, too big or no
// pictures at all. Built with AddressSanitizer and UBSan: a read out of bounds,
// a leak or an oversized allocation fails a test by itself.
#include <gtest/gtest.h>
#include <dirent.h>
#include <turbojpeg.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>
#include "decoder/frame_decoder.h"
#include "recording/recording.h"
#include "tests/decoder/frame_reference.h"
#include "tests/support/external_tools.h"
#include "tests/support/recording_builder.h"

#ifdef __SANITIZE_ADDRESS__
// No allocation here may pass 512 MB, twice the biggest picture the decoder
// accepts (8192 x 8192 x 4 bytes): a frame that claims more is refused before
// anything is allocated for it, and an allocation past that ends the program.
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=512"; }
#endif

// gtest prints results by name.
void PrintTo(FrameResult result, std::ostream* pOut)
{
    *pOut << (result == FrameResult::Decoded ? "Decoded" : result == FrameResult::Damaged ? "Damaged"
                                                                                          : "Failed");
}

namespace {

using namespace frametest;

Bytes Compress(const uint8_t* pPixels, unsigned w, unsigned h, int nPixelFormat, int nSubsampling, int nFlags,
               int nQuality = 90)
{
    tjhandle handle = tjInitCompress();
    unsigned char* pOut = nullptr;
    unsigned long nOut = 0;
    Bytes jpeg;
    if (handle && tjCompress2(handle, pPixels, int(w), 0, int(h), nPixelFormat, &pOut, &nOut, nSubsampling,
                              nQuality, nFlags) == 0)
        jpeg.assign(pOut, pOut + nOut);
    else
        ADD_FAILURE() << "tjCompress2: " << tjGetErrorStr2(handle);
    tjFree(pOut);
    if (handle)
        tjDestroy(handle);
    return jpeg;
}

// A frame of one flat grey, from libjpeg-turbo's encoder: tiny at any size.
Bytes FlatFrame(unsigned w, unsigned h, int nFlags = 0)
{
    const std::vector<uint8_t> grey(size_t(w) * h, 0x80);
    return Compress(grey.data(), w, h, TJPF_GRAY, TJSAMP_GRAY, nFlags);
}

// How a frame is made: by ffmpeg's MJPEG encoder (pixfmt), or by libjpeg-turbo's
// for what that encoder does not write (grey, 4:4:0, progressive).
struct FrameKind {
    const char* name;
    const char* pixfmt;  // null: libjpeg-turbo
    int nSubsampling;
    int nFlags;
    bool bRestarts;  // ffmpeg with slices writes a restart interval
};

Bytes MakeFrame(CScratch& scratch, const FrameKind& kind, unsigned w, unsigned h)
{
    if (kind.pixfmt) {
        const std::string out = scratch.Path("frame.jpg");
        const std::string slices = kind.bRestarts ? " -threads 4 -slices 4" : "";
        if (!Ffmpeg(TestSource(w, h) + " -frames:v 1 -c:v mjpeg -pix_fmt " + kind.pixfmt + " -q:v 3" + slices +
                    " -f mjpeg " + out))
            return Bytes();
        return rectest::readAll(out);
    }
    const std::string rgb = scratch.Path("picture.rgb");
    if (!Ffmpeg(TestSource(w, h) + " -frames:v 1 -f rawvideo -pix_fmt rgb24 " + rgb))
        return Bytes();
    const Bytes pixels = rectest::readAll(rgb);
    if (pixels.size() != size_t(w) * h * 3)
        return Bytes();
    return Compress(pixels.data(), w, h, TJPF_RGB, kind.nSubsampling, kind.nFlags);
}

unsigned Scaled(unsigned n, unsigned nEighths) { return (n * nEighths + 7) / 8; }

// Offset of the first marker m (0xFF m) at or after `from`; npos if none.
size_t FindMarker(const Bytes& jpeg, uint8_t m, size_t from = 0)
{
    for (size_t i = from; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == m)
            return i;
    return std::string::npos;
}

// The first start-of-frame segment (baseline or progressive).
size_t FindFrameHeader(const Bytes& jpeg)
{
    const size_t sof0 = FindMarker(jpeg, 0xC0), sof2 = FindMarker(jpeg, 0xC2);
    return std::min(sof0, sof2);
}

void SetFrameSize(Bytes* pJpeg, unsigned w, unsigned h)
{
    const size_t sof = FindFrameHeader(*pJpeg);
    ASSERT_NE(std::string::npos, sof);
    (*pJpeg)[sof + 5] = uint8_t(h >> 8);
    (*pJpeg)[sof + 6] = uint8_t(h);
    (*pJpeg)[sof + 7] = uint8_t(w >> 8);
    (*pJpeg)[sof + 8] = uint8_t(w);
}

// What holds of every decode, whatever the frame: a picture of the size asked
// for, every pixel of it written (opaque, which what the buffer held before
// is not), or nothing and a reason.
void ExpectPictureOrNothing(const CFrameDecoder& decoder, FrameResult result, const Pixels& pixels, size_t nPixels,
                            const std::string& what)
{
    if (result == FrameResult::Failed) {
        EXPECT_TRUE(pixels.empty()) << what;
        EXPECT_FALSE(decoder.LastMessage().empty()) << what;
        return;
    }
    ASSERT_EQ(nPixels, pixels.size()) << what << ": " << ::testing::PrintToString(result);
    for (uint32_t pixel : pixels)
        ASSERT_EQ(0xFFu, pixel >> 24) << what;
    EXPECT_EQ(result == FrameResult::Damaged, !decoder.LastMessage().empty()) << what;
}

// --- Pictures against ffmpeg's

// The reference for a tile: ffmpeg's decode of the whole frame, averaged over
// the area of each tile pixel by ffmpeg's own scaler (in RGB, as ours works),
// or interpolated where the tile is larger. A tile at exactly one of the
// library's scales is that scale of the frame padded to whole 8 x 8 blocks (its
// last column and row stand for the part of a block inside the frame), so the
// reference pads the frame the same way, with its edge pixels, first.
std::string ReferenceFilter(unsigned w, unsigned h, unsigned cx, unsigned cy, unsigned nScale)
{
    const auto n = [](unsigned v) { return std::to_string(v); };
    if (cx > w || cy > h)
        return "format=gbrp,scale=" + n(cx) + ":" + n(cy) + ":flags=bilinear";
    if (cx != Scaled(w, nScale) || cy != Scaled(h, nScale))
        return "format=gbrp,scale=" + n(cx) + ":" + n(cy) + ":flags=area";
    const unsigned pw = (w + 7) / 8 * 8, ph = (h + 7) / 8 * 8;
    return "format=gbrp,pad=" + n(pw) + ":" + n(ph) + ":0:0,fillborders=right=" + n(pw - w) + ":bottom=" +
           n(ph - h) + ":mode=smear,scale=" + n(pw * nScale / 8) + ":" + n(ph * nScale / 8) +
           ":flags=area,crop=" + n(cx) + ":" + n(cy) + ":0:0";
}

// Thresholds, from the figures this test prints: PSNR and mean absolute
// difference of the worst channel. The two decoders' inverse DCTs and chroma
// upsampling differ, a scaled IDCT is no exact area average, and the two
// resamplers weigh the edges of a pixel's area differently. Measured: at 1/8
// the worst is 34.5 dB and 4.2 levels (4:4:0, where the library's one chroma
// value per block is upsampled in one direction only); everywhere else 33.5 dB
// and 2.6 levels (a tile a few pixels smaller than the picture of 1/4,
// resampled). The limits leave a margin of 1.5 dB and 0.4 of a level.
const double kMinPsnr = 32.0;
const double kMaxMean = 3.0, kMaxMeanAtOneEighth = 5.0;

struct Comparison {
    FrameKind kind;
    unsigned w, h;
};

void PrintTo(const Comparison& c, std::ostream* pOut) { *pOut << c.kind.name << " " << c.w << "x" << c.h; }

class AgainstFfmpeg : public ::testing::TestWithParam<Comparison> {};

TEST_P(AgainstFfmpeg, EveryScaleMatchesFfmpegsPicture)
{
    if (!rectest::haveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg missing";
    const Comparison& c = GetParam();
    CScratch scratch;
    const Bytes jpeg = MakeFrame(scratch, c.kind, c.w, c.h);
    ASSERT_FALSE(jpeg.empty());
    ASSERT_EQ(c.kind.bRestarts, FindMarker(jpeg, 0xDD) != std::string::npos) << "a restart interval (DRI)";
    if (c.kind.bRestarts) {
        ASSERT_NE(std::string::npos, FindMarker(jpeg, 0xD0)) << "restart markers in the scan";
    }

    // Each scale the decoder uses (1/8, 1/4, 1/2, 1) at exactly its size, where
    // the library's picture is the tile; tiles the resampler makes from the
    // next larger of them (the sizes of the scales in between among them); an
    // enlarged one.
    struct Tile {
        unsigned cx, cy, nScale;
    };
    std::vector<Tile> tiles;
    for (unsigned e : {1u, 2u, 4u, 8u})
        tiles.push_back({Scaled(c.w, e), Scaled(c.h, e), e});
    for (unsigned e : {3u, 5u, 6u, 7u})
        tiles.push_back({Scaled(c.w, e), Scaled(c.h, e), e <= 4 ? 4u : 8u});
    for (unsigned e : {2u, 4u, 8u})
        tiles.push_back({Scaled(c.w, e) - 7, Scaled(c.h, e) - 5, e});
    tiles.push_back({c.w * 5 / 4, c.h * 5 / 4, 8});

    CFrameDecoder decoder;  // one for every tile, as a decoding thread has
    for (const Tile& tile : tiles) {
        const std::string what = std::string(c.kind.name) + " " + std::to_string(c.w) + "x" +
                                 std::to_string(c.h) + " to " + std::to_string(tile.cx) + "x" +
                                 std::to_string(tile.cy);
        ASSERT_EQ(tile.nScale, CFrameDecoder::ScaleFor(c.w, c.h, tile.cx, tile.cy)) << what;
        Pixels ours;
        ASSERT_EQ(FrameResult::Decoded, decoder.DecodeToTile(jpeg.data(), jpeg.size(), tile.cx, tile.cy, &ours))
            << what << ": " << decoder.LastMessage();
        const Pixels theirs =
            FfmpegDecode(scratch, jpeg, ReferenceFilter(c.w, c.h, tile.cx, tile.cy, tile.nScale));
        ASSERT_EQ(ours.size(), theirs.size()) << what;
        const Difference d = Compare(ours, theirs);
        std::printf("%-32s scale %u/8  PSNR R/G/B %5.1f %5.1f %5.1f dB  mean |diff| %4.2f %4.2f %4.2f\n",
                    what.c_str(), tile.nScale, d.psnr[0], d.psnr[1], d.psnr[2], d.mean[0], d.mean[1], d.mean[2]);
        EXPECT_GE(d.WorstPsnr(), kMinPsnr) << what;
        EXPECT_LE(d.WorstMean(), tile.nScale == 1 ? kMaxMeanAtOneEighth : kMaxMean) << what;
    }

    // The whole frame: its own size, and the same picture as the full-size tile.
    unsigned w = 0, h = 0;
    Pixels whole, tile;
    ASSERT_EQ(FrameResult::Decoded, decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &whole));
    EXPECT_EQ(c.w, w);
    EXPECT_EQ(c.h, h);
    ASSERT_EQ(FrameResult::Decoded, decoder.DecodeToTile(jpeg.data(), jpeg.size(), c.w, c.h, &tile));
    EXPECT_EQ(tile, whole);
}

const FrameKind kYuv420 = {"4:2:0", "yuvj420p", 0, 0, false};
const FrameKind kYuv422 = {"4:2:2", "yuvj422p", 0, 0, false};
const FrameKind kYuv444 = {"4:4:4", "yuvj444p", 0, 0, false};
const FrameKind kYuv422Restarts = {"4:2:2 restarts", "yuvj422p", 0, 0, true};
const FrameKind kYuv420Restarts = {"4:2:0 restarts", "yuvj420p", 0, 0, true};
const FrameKind kGrey = {"grey", nullptr, TJSAMP_GRAY, 0, false};
const FrameKind kYuv440 = {"4:4:0", nullptr, TJSAMP_440, 0, false};
const FrameKind kProgressive = {"4:2:0 progressive", nullptr, TJSAMP_420, TJFLAG_PROGRESSIVE, false};

std::string ComparisonName(const ::testing::TestParamInfo<Comparison>& info)
{
    std::string name = std::string(info.param.kind.name) + "_" + std::to_string(info.param.w) + "x" +
                       std::to_string(info.param.h);
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

// 321 x 243 is no multiple of any block or MCU; 320 x 240 is of every one.
INSTANTIATE_TEST_SUITE_P(Frames, AgainstFfmpeg,
                         ::testing::Values(Comparison{kYuv420, 321, 243}, Comparison{kYuv420, 320, 240},
                                           Comparison{kYuv422, 321, 243}, Comparison{kYuv444, 321, 243},
                                           Comparison{kYuv444, 320, 240}, Comparison{kYuv420Restarts, 321, 243},
                                           Comparison{kYuv422Restarts, 320, 240}, Comparison{kGrey, 321, 243},
                                           Comparison{kGrey, 320, 240}, Comparison{kYuv440, 321, 243},
                                           Comparison{kProgressive, 321, 243}),
                         ComparisonName);

// --- Damage

// Frames with their intact decodes, for damaging.
struct Sample {
    const char* name;
    Bytes jpeg;
    bool bSequential;  // one scan, top to bottom
};

std::vector<Sample> Samples(CScratch& scratch)
{
    return {{"4:2:0", MakeFrame(scratch, kYuv420, 161, 97), true},
            {"4:2:2 restarts", MakeFrame(scratch, kYuv422Restarts, 160, 96), true},
            {"grey", MakeFrame(scratch, kGrey, 161, 97), true},
            {"progressive", MakeFrame(scratch, kProgressive, 161, 97), false}};
}

TEST(FrameDamage, ATruncatedFrameGivesAPictureOrNothing)
{
    if (!rectest::haveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg missing";
    CScratch scratch;
    CFrameDecoder decoder;
    for (const Sample& sample : Samples(scratch)) {
        const Bytes& jpeg = sample.jpeg;
        ASSERT_FALSE(jpeg.empty()) << sample.name;
        unsigned w = 0, h = 0;
        Pixels intact;
        ASSERT_EQ(FrameResult::Decoded, decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &intact));
        const size_t scan = FindMarker(jpeg, 0xDA);
        ASSERT_NE(std::string::npos, scan);
        const size_t scanData = scan + 2 + (size_t(jpeg[scan + 2]) << 8 | jpeg[scan + 3]);

        // Every length through the header, then steps through the scans, and the last bytes.
        std::vector<size_t> lengths;
        for (size_t n = 0; n < jpeg.size(); n += n < scanData + 8 ? 1 : 1 + jpeg.size() / 150)
            lengths.push_back(n);
        for (size_t n = jpeg.size() - 8; n < jpeg.size(); ++n)
            lengths.push_back(n);
        int nDamaged = 0, nFailed = 0;
        for (size_t n : lengths) {
            const std::string what = std::string(sample.name) + " cut to " + std::to_string(n) + " of " +
                                     std::to_string(jpeg.size());
            const Bytes cut(jpeg.begin(), jpeg.begin() + long(n));  // of its own, for the sanitizer to guard
            Pixels tile = {1, 2, 3}, whole;
            unsigned cw = 0, ch = 0;
            const FrameResult toTile = decoder.DecodeToTile(cut.data(), cut.size(), 80, 48, &tile);
            ExpectPictureOrNothing(decoder, toTile, tile, 80 * 48, what);
            const FrameResult toWhole = decoder.DecodeWhole(cut.data(), cut.size(), &cw, &ch, &whole);
            ExpectPictureOrNothing(decoder, toWhole, whole, size_t(w) * h, what);
            EXPECT_NE(FrameResult::Decoded, toTile) << what;
            EXPECT_EQ(toTile, toWhole) << what;
            if (sample.bSequential && n >= scanData) {  // one scan, cut in its data
                EXPECT_EQ(FrameResult::Damaged, toWhole) << what << ": " << decoder.LastMessage();
            }
            (toWhole == FrameResult::Failed ? nFailed : nDamaged)++;
            if (toWhole == FrameResult::Failed)
                continue;
            // What arrived is decoded as it would be whole: a sequential frame's
            // rows above the cut, a progressive frame's first scans.
            if (sample.bSequential && n >= jpeg.size() * 3 / 4) {
                for (size_t i = 0; i < size_t(w) * 8; ++i)
                    ASSERT_EQ(intact[i], whole[i]) << what << ": top rows, pixel " << i;
            }
            if (!sample.bSequential && n >= jpeg.size() / 2) {
                EXPECT_GE(Compare(whole, intact).WorstPsnr(), 25.0) << what;  // measured: 32.8 dB and up
            }
        }
        // Both outcomes were met: a frame cut in its header is no picture.
        EXPECT_GT(nDamaged, 0) << sample.name;
        EXPECT_GT(nFailed, 0) << sample.name;
        std::printf("%-16s %zu bytes, %zu cuts: %d damaged, %d failed\n", sample.name, jpeg.size(),
                    lengths.size(), nDamaged, nFailed);
    }
}

TEST(FrameDamage, RandomlyDamagedFramesGiveAPictureOrNothing)
{
    if (!rectest::haveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg missing";
    CScratch scratch;
    const std::vector<Sample> samples = Samples(scratch);
    std::mt19937 random(20240611);  // fixed: a failure is the same on every run
    CFrameDecoder decoder;
    int counts[3] = {};
    for (int round = 0; round < 800; ++round) {
        const Sample& sample = samples[size_t(round) % samples.size()];
        ASSERT_FALSE(sample.jpeg.empty());
        Bytes jpeg = sample.jpeg;
        const int nChanges = 1 + int(random() % 6);
        for (int k = 0; k < nChanges; ++k) {
            const size_t at = 2 + random() % (jpeg.size() - 2);  // past SOI
            switch (random() % 4) {
            case 0: jpeg[at] = 0xFF; break;  // a marker where there was none
            case 1: jpeg[at] = uint8_t(random()); break;
            default: jpeg[at] ^= uint8_t(1u << (random() % 8)); break;
            }
        }
        if (round % 5 == 0)
            jpeg.resize(2 + random() % (jpeg.size() - 2));
        const std::string what = std::string(sample.name) + ", round " + std::to_string(round);
        Pixels small, large, whole;
        const FrameResult r = decoder.DecodeToTile(jpeg.data(), jpeg.size(), 40, 24, &small);
        ExpectPictureOrNothing(decoder, r, small, 40 * 24, what);
        ExpectPictureOrNothing(decoder, decoder.DecodeToTile(jpeg.data(), jpeg.size(), 123, 77, &large), large,
                               123 * 77, what);
        unsigned w = 0, h = 0;
        const FrameResult rw = decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &whole);
        ExpectPictureOrNothing(decoder, rw, whole, size_t(w) * h, what);
        const uint64_t nMaxPixels = CFrameDecoder::kMaxPixels;
        if (rw != FrameResult::Failed) {
            EXPECT_LE(uint64_t(w) * h, nMaxPixels) << what;
        }
        ++counts[int(r)];
    }
    std::printf("800 damaged frames: %d decoded, %d damaged, %d failed\n", counts[0], counts[1], counts[2]);
    EXPECT_GT(counts[int(FrameResult::Damaged)], 0);
    EXPECT_GT(counts[int(FrameResult::Failed)], 0);
}

TEST(FrameDamage, AHeaderTheLibraryGaveUpOnDoesNotSpoilTheNextFrame)
{
    const Bytes good = FlatFrame(64, 48);
    Bytes tooBig = good;  // past the library's own limit of 65500
    SetFrameSize(&tooBig, 65535, 65535);
    const Bytes cut(good.begin(), good.begin() + 30);  // in its quantisation table
    CFrameDecoder decoder;
    for (const Bytes* pBad : std::vector<const Bytes*>{&tooBig, &cut}) {
        Pixels tile;
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(pBad->data(), pBad->size(), 32, 24, &tile));
        EXPECT_EQ(FrameResult::Decoded, decoder.DecodeToTile(good.data(), good.size(), 32, 24, &tile))
            << decoder.LastMessage();
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(pBad->data(), pBad->size(), 32, 24, &tile));
        unsigned w = 0, h = 0;
        EXPECT_EQ(FrameResult::Decoded, decoder.DecodeWhole(good.data(), good.size(), &w, &h, &tile))
            << decoder.LastMessage();
    }
}

TEST(FrameDamage, StrayBytesInTheHeaderGiveTheWholePictureWithAWarning)
{
    const Bytes intact = FlatFrame(64, 48);
    CFrameDecoder decoder;
    Pixels expected;
    ASSERT_EQ(FrameResult::Decoded, decoder.DecodeToTile(intact.data(), intact.size(), 40, 30, &expected));
    for (uint8_t marker : {0xDB, 0xC0, 0xC4, 0xDA}) {  // before the tables, frame header, codes and scan
        Bytes jpeg = intact;
        jpeg.insert(jpeg.begin() + long(FindMarker(jpeg, marker)), {0x00, 0x5A, 0xA5});
        Pixels tile;
        EXPECT_EQ(FrameResult::Damaged, decoder.DecodeToTile(jpeg.data(), jpeg.size(), 40, 30, &tile))
            << std::hex << int(marker) << ": " << decoder.LastMessage();
        EXPECT_EQ(expected, tile) << std::hex << int(marker);
        EXPECT_NE(std::string::npos, decoder.LastMessage().find("extraneous bytes")) << decoder.LastMessage();
    }
}

TEST(FrameDamage, AFrameTheLibraryStopsOnAfterAWarningGivesNothing)
{
    // A warning of stray bytes, then an error before any row: a CMYK frame,
    // which the library cannot make RGB of. And a progressive frame (decoded
    // whole before its first row) cut in a later scan's header: a warning of
    // the early end, then an error on the scan header that makes.
    const std::vector<uint8_t> cmykPixels(64 * 48 * 4, 0x40);
    Bytes cmyk = Compress(cmykPixels.data(), 64, 48, TJPF_CMYK, TJSAMP_420, 0);
    ASSERT_FALSE(cmyk.empty());
    cmyk.insert(cmyk.begin() + long(FindMarker(cmyk, 0xDB)), {0x00, 0x5A});
    const Bytes progressive = FlatFrame(64, 48, TJFLAG_PROGRESSIVE);
    const size_t secondScan = FindMarker(progressive, 0xDA, FindMarker(progressive, 0xDA) + 2);
    ASSERT_NE(std::string::npos, secondScan);
    const Bytes cut(progressive.begin(), progressive.begin() + long(secondScan + 4));

    const Bytes other = FlatFrame(80, 60);  // leaves a picture in the decoder's buffers
    CFrameDecoder decoder;
    for (const Bytes* pJpeg : std::vector<const Bytes*>{&cmyk, &cut}) {
        for (unsigned cx : {64u, 40u, 30u}) {  // the frame's size, a scale, resampled
            Pixels tile;
            ASSERT_NE(FrameResult::Failed, decoder.DecodeToTile(other.data(), other.size(), cx, cx * 3 / 4, &tile));
            EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(pJpeg->data(), pJpeg->size(), cx, cx * 3 / 4, &tile))
                << (pJpeg == &cmyk ? "CMYK" : "progressive") << ", " << cx << " wide";
            EXPECT_TRUE(tile.empty());
        }
        unsigned w = 0, h = 0;
        Pixels whole;
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeWhole(pJpeg->data(), pJpeg->size(), &w, &h, &whole));
        EXPECT_TRUE(whole.empty());
    }
}

// --- Limits

TEST(FrameLimits, FramesOverTheLimitsAreRefusedBeforeDecoding)
{
    struct Case {
        const char* what;
        unsigned w, h;
        int nFlags;
        bool bRefused;
    } cases[] = {
        {"65535 x 65535", 65535, 65535, 0, true},  // past the library's own limit too
        {"65500 x 65500", 65500, 65500, 0, true},
        {"8193 x 8192", 8193, 8192, 0, true},
        {"8192 x 8193", 8192, 8193, 0, true},
        {"8192 x 8192", 8192, 8192, 0, false},
        {"progressive 2049 x 2048", 2049, 2048, TJFLAG_PROGRESSIVE, true},
        {"progressive 2048 x 2049", 2048, 2049, TJFLAG_PROGRESSIVE, true},
        {"progressive 2048 x 2048", 2048, 2048, TJFLAG_PROGRESSIVE, false},
    };
    CFrameDecoder decoder;
    for (const Case& c : cases) {
        // A small frame whose header claims the size: the limits are judged on
        // the header, and an accepted frame decodes what data there is.
        Bytes jpeg = FlatFrame(64, 48, c.nFlags);
        ASSERT_FALSE(jpeg.empty());
        SetFrameSize(&jpeg, c.w, c.h);
        Pixels tile = {7};
        const FrameResult result = decoder.DecodeToTile(jpeg.data(), jpeg.size(), 256, 192, &tile);
        ExpectPictureOrNothing(decoder, result, tile, 256 * 192, c.what);
        if (!c.bRefused) {
            EXPECT_EQ(FrameResult::Damaged, result) << c.what << ": " << decoder.LastMessage();
            continue;
        }
        EXPECT_EQ(FrameResult::Failed, result) << c.what;
        // Whole, the refused ones would be gigabytes; the sanitizer's limit ends
        // the test program on any allocation of more than the largest picture.
        unsigned w = 0, h = 0;
        Pixels whole = {7};
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &whole)) << c.what;
        EXPECT_TRUE(whole.empty()) << c.what;
    }
    // A real progressive frame at the limit decodes.
    const Bytes big = FlatFrame(2048, 2048, TJFLAG_PROGRESSIVE);
    Pixels tile;
    EXPECT_EQ(FrameResult::Decoded, decoder.DecodeToTile(big.data(), big.size(), 320, 240, &tile))
        << decoder.LastMessage();
}

TEST(FrameLimits, AFrameOfAComponentAScanIsHeldToTheSameLimit)
{
    // A colour frame whose first scan claims one component of three: the
    // library would hold the whole picture until the last scan came.
    std::vector<uint8_t> rgb(64 * 48 * 3, 0x80);
    Bytes jpeg = Compress(rgb.data(), 64, 48, TJPF_RGB, TJSAMP_444, 0);
    ASSERT_FALSE(jpeg.empty());
    const size_t sos = FindMarker(jpeg, 0xDA);
    ASSERT_NE(std::string::npos, sos);
    const size_t nLength = size_t(jpeg[sos + 2]) << 8 | jpeg[sos + 3];
    ASSERT_EQ(3, jpeg[sos + 4]) << "an interleaved scan of three components";
    const Bytes oneComponent = {0xFF, 0xDA, 0x00, 0x08, 0x01, jpeg[sos + 5], jpeg[sos + 6], 0x00, 0x3F, 0x00};
    jpeg.erase(jpeg.begin() + long(sos), jpeg.begin() + long(sos + 2 + nLength));
    jpeg.insert(jpeg.begin() + long(sos), oneComponent.begin(), oneComponent.end());
    CFrameDecoder decoder;
    for (const auto& size : {std::pair<unsigned, unsigned>{2049, 2048}, {4096, 4096}}) {
        Bytes big = jpeg;
        SetFrameSize(&big, size.first, size.second);
        Pixels tile = {7};
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(big.data(), big.size(), 160, 120, &tile))
            << size.first << " x " << size.second;
        EXPECT_TRUE(tile.empty());
        EXPECT_NE(std::string::npos, decoder.LastMessage().find("scans")) << decoder.LastMessage();
    }
    // At the limit the header is taken, whatever the damaged scan then gives.
    SetFrameSize(&jpeg, 2048, 2048);
    Pixels tile;
    decoder.DecodeToTile(jpeg.data(), jpeg.size(), 160, 120, &tile);
    EXPECT_EQ(std::string::npos, decoder.LastMessage().find("scans")) << decoder.LastMessage();
}

TEST(FrameLimits, AProgressiveFrameOverItsLimitIsRefusedHoweverItsHeaderIsLaidOut)
{
    // Markers before the frame header that the library reads past: inserted in
    // a baseline frame of the same size (which is no more refused for them),
    // and in a progressive one (which still is).
    const Bytes baseline = FlatFrame(2056, 2048), progressive = FlatFrame(2056, 2048, TJFLAG_PROGRESSIVE);
    ASSERT_FALSE(baseline.empty());
    ASSERT_FALSE(progressive.empty());
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"nothing", {}},
        {"a restart marker", {0xFF, 0xD3}},
        {"a temporary marker", {0xFF, 0x01}},
        {"fill bytes", {0xFF, 0xFF, 0xFF}},
        {"a comment of length 0", {0xFF, 0xFE, 0x00, 0x00}},
        {"stray bytes", {0x12, 0x34}},
    };
    CFrameDecoder decoder;
    for (const auto& c : cases) {
        for (const Bytes* pFrame : std::vector<const Bytes*>{&baseline, &progressive}) {
            Bytes jpeg = *pFrame;
            jpeg.insert(jpeg.begin() + long(FindFrameHeader(jpeg)), c.bytes.begin(), c.bytes.end());
            Pixels tile;
            const FrameResult result = decoder.DecodeToTile(jpeg.data(), jpeg.size(), 257, 256, &tile);
            if (pFrame == &baseline)
                EXPECT_NE(FrameResult::Failed, result) << "baseline, " << c.what << ": " << decoder.LastMessage();
            else
                EXPECT_EQ(FrameResult::Failed, result) << "progressive, " << c.what;
        }
    }
}

TEST(FrameLimits, WhatIsNoPictureGivesNothing)
{
    const Bytes flat = FlatFrame(64, 48);
    const std::vector<uint8_t> cmykPixels(64 * 48 * 4, 0x40);
    const Bytes cmyk = Compress(cmykPixels.data(), 64, 48, TJPF_CMYK, TJSAMP_420, 0);
    ASSERT_FALSE(cmyk.empty());
    struct Case {
        const char* what;
        Bytes jpeg;
        unsigned cx, cy;
    } cases[] = {
        {"a tile 0 wide", flat, 0, 24},  // first: after a clean decode, with no message of another frame
        {"no bytes", {}, 32, 24},
        {"SOI alone", {0xFF, 0xD8}, 32, 24},
        {"SOI and EOI", {0xFF, 0xD8, 0xFF, 0xD9}, 32, 24},
        {"a PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D}, 32, 24},
        {"text", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'r', 'a', 'm', 'e'}, 32, 24},
        {"a CMYK frame", cmyk, 32, 24},
        {"a tile 0 high", flat, 32, 0},
    };
    CFrameDecoder decoder;
    Pixels clean;
    ASSERT_EQ(FrameResult::Decoded, decoder.DecodeToTile(flat.data(), flat.size(), 32, 24, &clean));
    for (const Case& c : cases) {
        Pixels tile = {1, 2, 3};  // emptied, not left as it was
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(c.jpeg.data(), c.jpeg.size(), c.cx, c.cy, &tile))
            << c.what;
        EXPECT_TRUE(tile.empty()) << c.what;
        EXPECT_FALSE(decoder.LastMessage().empty()) << c.what;
        if (c.cx == 0 || c.cy == 0)
            continue;  // the frame itself is fine
        unsigned w = 0, h = 0;
        Pixels whole = {1, 2, 3};
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeWhole(c.jpeg.data(), c.jpeg.size(), &w, &h, &whole)) << c.what;
        EXPECT_TRUE(whole.empty()) << c.what;
    }
    Pixels tile;
    EXPECT_EQ(FrameResult::Failed, decoder.DecodeToTile(nullptr, 100, 32, 24, &tile));
    EXPECT_EQ(FrameResult::Decoded, decoder.DecodeToTile(flat.data(), flat.size(), 32, 24, &tile))
        << "the decoder goes on after frames it refused";
    EXPECT_TRUE(decoder.LastMessage().empty());
}

// --- The fuzzer's seeds and crashers

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> files;
    if (DIR* pDir = opendir(dir.c_str())) {
        while (const dirent* pEntry = readdir(pDir))
            if (pEntry->d_name[0] != '.')
                files.push_back(dir + "/" + pEntry->d_name);
        closedir(pDir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FrameFuzzing, SeedsDecodeWholeAndCrashersStayFixed)
{
    // The seeds are real recordings of every kind of frame: each decodes cleanly.
    const std::vector<std::string> seeds = FilesIn(FRAME_TEST_DIR "/frame_corpus");
    ASSERT_GE(seeds.size(), 4u);
    std::set<uint8_t> markers;
    CFrameDecoder decoder;
    for (const std::string& path : seeds) {
        const Bytes file = rectest::readAll(path);
        rec::Recording recording;
        ASSERT_TRUE(recording.openMemory(file.data(), file.size())) << path;
        for (const rec::Stream& stream : recording.streams()) {
            ASSERT_FALSE(stream.frames.empty()) << path;
            for (const rec::Frame& frame : stream.frames) {
                Bytes jpeg;
                ASSERT_TRUE(recording.readFrame(frame, jpeg)) << path;
                for (uint8_t m : {0xC0, 0xC2, 0xC9, 0xCA, 0xDD})
                    if (FindMarker(jpeg, m) != std::string::npos)
                        markers.insert(m);
                Pixels pixels;
                unsigned w = 0, h = 0;
                EXPECT_EQ(FrameResult::Decoded, decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &pixels))
                    << path << ": " << decoder.LastMessage();
                EXPECT_EQ(stream.width, w) << path;
                EXPECT_EQ(stream.height, h) << path;
            }
        }
    }
    EXPECT_EQ((std::set<uint8_t>{0xC0, 0xC2, 0xC9, 0xCA, 0xDD}), markers)
        << "baseline, progressive, arithmetic both ways, restart intervals";

    // Inputs that once failed the fuzzer: whatever they hold, each decode is well-formed.
    for (const std::string& path : FilesIn(FRAME_TEST_DIR "/frame_crashes")) {
        const Bytes file = rectest::readAll(path);
        rec::Recording recording;
        if (!recording.openMemory(file.data(), file.size()))
            continue;
        for (const rec::Stream& stream : recording.streams())
            for (const rec::Frame& frame : stream.frames) {
                Bytes jpeg;
                if (!recording.readFrame(frame, jpeg))
                    continue;
                Pixels pixels;
                ExpectPictureOrNothing(decoder, decoder.DecodeToTile(jpeg.data(), jpeg.size(), 160, 120, &pixels),
                                       pixels, 160 * 120, path);
            }
    }
}

}  // namespace
