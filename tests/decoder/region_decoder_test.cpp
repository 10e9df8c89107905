// Regions of frames in grey against the whole frame decoded by TurboJPEG: at
// 1/8 a sample is its 8 x 8 block's mean, within rounding; at full scale the
// very pixels. Corners, edges, odd sizes and each subsampling.
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>
#include "decoder/frame_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Smooth colour under fine noise, well inside the gamut so that no block clips.
Bytes Encode(unsigned w, unsigned h, int nSubsampling)
{
    std::mt19937 random(w * 31 + h);
    std::uniform_int_distribution<int> noise(-12, 12);
    Bytes rgb(size_t(w) * h * 3);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const int v = 128 + int(50 * std::sin(x / 23.0) * std::cos(y / 17.0)) + noise(random);
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(v + 20 * std::sin(y / 40.0));
            p[1] = uint8_t(v);
            p[2] = uint8_t(v - 20 * std::cos(x / 30.0));
        }
    tjhandle handle = tjInitCompress();
    unsigned char* pOut = nullptr;
    unsigned long nOut = 0;
    Bytes jpeg;
    if (tjCompress2(handle, rgb.data(), int(w), 0, int(h), TJPF_RGB, &pOut, &nOut, nSubsampling, 85, 0) == 0)
        jpeg.assign(pOut, pOut + nOut);
    tjFree(pOut);
    tjDestroy(handle);
    return jpeg;
}

Bytes WholeGrey(const Bytes& jpeg, unsigned w, unsigned h)
{
    Bytes grey(size_t(w) * h);
    tjhandle handle = tjInitDecompress();
    EXPECT_EQ(0, tjDecompress2(handle, jpeg.data(), jpeg.size(), grey.data(), int(w), 0, int(h), TJPF_GRAY, 0));
    tjDestroy(handle);
    return grey;
}

// The mean of the visible pixels of block (bx, by).
double BlockMean(const Bytes& grey, unsigned w, unsigned h, unsigned bx, unsigned by)
{
    double sum = 0;
    unsigned n = 0;
    for (unsigned y = by * 8; y < std::min(h, by * 8 + 8); ++y)
        for (unsigned x = bx * 8; x < std::min(w, bx * 8 + 8); ++x, ++n)
            sum += grey[size_t(y) * w + x];
    return sum / n;
}

struct Case {
    unsigned w, h;
    int nSubsampling;
};

class RegionDecoding : public ::testing::TestWithParam<Case> {};

TEST_P(RegionDecoding, AtOneEighthEachSampleIsItsBlocksMean)
{
    const Case c = GetParam();
    const Bytes jpeg = Encode(c.w, c.h, c.nSubsampling);
    ASSERT_FALSE(jpeg.empty());
    const Bytes grey = WholeGrey(jpeg, c.w, c.h);
    // Corners, edges, the middle at odd offsets, and the whole picture.
    const FrameRegion regions[] = {{0, 0, 130, 128},
                                   {c.w - 133, c.h - 129, 133, 129},
                                   {0, c.h - 140, 150, 140},
                                   {c.w - 131, 0, 131, 150},
                                   {37, 45, c.w / 2 + 3, 131},
                                   {0, 0, c.w, c.h}};
    CFrameDecoder decoder;
    std::vector<uint8_t> samples;
    for (const FrameRegion& r : regions) {
        SCOPED_TRACE(::testing::Message() << r.x << "," << r.y << " " << r.w << "x" << r.h);
        ASSERT_EQ(1u, CFrameDecoder::RegionScaleFor(r.w, r.h));
        unsigned cx = 0, cy = 0;
        ASSERT_EQ(FrameResult::Decoded, decoder.DecodeRegionGrey(jpeg.data(), jpeg.size(), r, &cx, &cy, &samples));
        ASSERT_EQ((r.x + r.w + 7) / 8 - r.x / 8, cx);
        ASSERT_EQ((r.y + r.h + 7) / 8 - r.y / 8, cy);
        int worst = 0;
        for (unsigned j = 0; j < cy; ++j)
            for (unsigned i = 0; i < cx; ++i) {
                const double mean = BlockMean(grey, c.w, c.h, r.x / 8 + i, r.y / 8 + j);
                worst = std::max(worst, int(std::lround(std::abs(mean - samples[size_t(j) * cx + i]))));
            }
        EXPECT_LE(worst, 2);
    }
}

TEST_P(RegionDecoding, ASmallRegionIsTheWholeDecodesPixels)
{
    const Case c = GetParam();
    const Bytes jpeg = Encode(c.w, c.h, c.nSubsampling);
    const Bytes grey = WholeGrey(jpeg, c.w, c.h);
    CFrameDecoder decoder;
    std::vector<uint8_t> samples;
    for (const FrameRegion& r : {FrameRegion{c.w - 11, c.h - 9, 11, 9}, FrameRegion{101, 77, 13, 15}}) {
        unsigned cx = 0, cy = 0;
        ASSERT_EQ(8u, CFrameDecoder::RegionScaleFor(r.w, r.h));
        ASSERT_EQ(FrameResult::Decoded, decoder.DecodeRegionGrey(jpeg.data(), jpeg.size(), r, &cx, &cy, &samples));
        ASSERT_EQ(r.w, cx);
        ASSERT_EQ(r.h, cy);
        for (unsigned j = 0; j < cy; ++j)
            for (unsigned i = 0; i < cx; ++i)
                ASSERT_NEAR(grey[size_t(r.y + j) * c.w + r.x + i], samples[size_t(j) * cx + i], 1) << i << "," << j;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RegionDecoding,
                         ::testing::Values(Case{704, 576, TJSAMP_420}, Case{703, 577, TJSAMP_422},
                                           Case{321, 239, TJSAMP_444}, Case{352, 288, TJSAMP_GRAY}));

TEST(RegionDecodingLimits, RegionsNotInsideTheFrameAreRefused)
{
    const Bytes jpeg = Encode(64, 48, TJSAMP_420);
    CFrameDecoder decoder;
    std::vector<uint8_t> samples;
    unsigned cx = 0, cy = 0;
    for (const FrameRegion& r : {FrameRegion{0, 0, 0, 10}, FrameRegion{64, 0, 1, 1}, FrameRegion{10, 10, 55, 5},
                                 FrameRegion{0, 40, 8, 9}, FrameRegion{4294967295u, 0, 2, 2}}) {
        EXPECT_EQ(FrameResult::Failed, decoder.DecodeRegionGrey(jpeg.data(), jpeg.size(), r, &cx, &cy, &samples));
        EXPECT_TRUE(samples.empty());
    }
    // and the decoder still decodes the next frame
    EXPECT_EQ(FrameResult::Decoded,
              decoder.DecodeRegionGrey(jpeg.data(), jpeg.size(), FrameRegion{0, 0, 64, 48}, &cx, &cy, &samples));
    EXPECT_EQ(4u, CFrameDecoder::RegionScaleFor(64, 48));  // 1/4 is the first to give 16 a side
    EXPECT_EQ(32u, cx);
    EXPECT_EQ(24u, cy);
}

}  // namespace
