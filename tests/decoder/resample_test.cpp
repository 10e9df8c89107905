// The resampler that makes a decoded picture the size of its tile, on pictures
// whose right answer is known.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <vector>
#include "decoder/resample.h"

namespace {

// A source picture of w x h as the frame decoder writes it: blue, green, red and
// an unused byte a pixel, rows of stride bytes.
struct Bgr {
    static const unsigned bpp = 4;
    unsigned w, h;
    size_t stride;
    std::vector<uint8_t> bytes;
    Bgr(unsigned w_, unsigned h_, size_t nPad = 0) : w(w_), h(h_), stride(w_ * bpp + nPad), bytes(stride * h_, 0xEE) {}
    void Set(unsigned x, unsigned y, uint8_t r, uint8_t g, uint8_t b)
    {
        uint8_t* p = &bytes[y * stride + x * bpp];
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
    void Fill(uint8_t r, uint8_t g, uint8_t b)
    {
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x)
                Set(x, y, r, g, b);
    }
};

std::vector<uint32_t> Resampled(const Bgr& source, unsigned tw, unsigned th)
{
    CPictureResampler resampler;
    std::vector<uint32_t> out(size_t(tw) * th, 0xDEADBEEF);
    resampler.Resample(source.bytes.data(), source.w, source.h, source.stride, out.data(), tw, th);
    return out;
}

int Red(uint32_t p) { return p >> 16 & 0xFF; }
int Green(uint32_t p) { return p >> 8 & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

}  // namespace

TEST(Resampler, KeepsAFlatColourAtEverySize)
{
    // Weights that do not add up to one, or sums that overflow, show as a change
    // of colour somewhere; white and black are the extremes.
    const uint8_t colours[3][3] = {{255, 255, 255}, {0, 0, 0}, {17, 128, 254}};
    const unsigned sizes[] = {1, 2, 3, 5, 7, 16, 33, 160, 321};
    for (const auto& c : colours)
        for (unsigned sw : sizes)
            for (unsigned tw : sizes) {
                const unsigned sh = sw % 7 + 1, th = tw % 5 + 1;
                Bgr source(sw, sh, sw % 4);
                source.Fill(c[0], c[1], c[2]);
                for (uint32_t pixel : Resampled(source, tw, th)) {
                    ASSERT_EQ(0xFF000000 | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2], pixel)
                        << sw << "x" << sh << " to " << tw << "x" << th;
                }
            }
}

TEST(Resampler, TheSameSizeIsACopyInDibOrder)
{
    Bgr source(3, 2, 5);  // rows padded, so that the stride is what is used
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x)
            source.Set(x, y, uint8_t(10 + x), uint8_t(20 + y), uint8_t(30 + x + y));
    const std::vector<uint32_t> out = Resampled(source, 3, 2);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            const uint32_t p = out[y * 3 + x];
            EXPECT_EQ(int(10 + x), Red(p));
            EXPECT_EQ(int(20 + y), Green(p));
            EXPECT_EQ(int(30 + x + y), Blue(p));
            EXPECT_EQ(0xFFu, p >> 24) << "opaque, whatever the source's fourth byte";
        }
}

TEST(Resampler, HalvingAveragesEachBlockOfFour)
{
    // A checkerboard of 0 and 200 comes out 100 everywhere; a block of its own
    // colour comes out that colour, unaffected by its neighbours.
    Bgr source(8, 4);
    for (unsigned y = 0; y < 4; ++y)
        for (unsigned x = 0; x < 8; ++x) {
            const uint8_t v = (x + y) % 2 ? 200 : 0;
            source.Set(x, y, v, v, v);
        }
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 6; x < 8; ++x)
            source.Set(x, y, 250, 0, 40);
    const std::vector<uint32_t> out = Resampled(source, 4, 2);
    for (unsigned x = 0; x < 3; ++x)
        EXPECT_EQ(100, Green(out[x])) << x;
    EXPECT_EQ(0xFF000000 | uint32_t(250) << 16 | 40, out[3]);
    for (unsigned x = 0; x < 4; ++x)
        EXPECT_EQ(100, Red(out[4 + x])) << x;
}

TEST(Resampler, ShrinkingByAnOddRatioWeighsThePixelsByCover)
{
    // Three pixels into two: each output pixel covers one and a half of them.
    Bgr source(3, 1);
    source.Set(0, 0, 0, 0, 0);
    source.Set(1, 0, 90, 90, 90);
    source.Set(2, 0, 180, 180, 180);
    const std::vector<uint32_t> out = Resampled(source, 2, 1);
    EXPECT_NEAR(30, Red(out[0]), 1);   // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_NEAR(150, Red(out[1]), 1);  // (90 * 0.5 + 180 * 1) / 1.5
}

TEST(Resampler, EnlargingInterpolatesAndKeepsTheEdges)
{
    Bgr source(4, 2);
    for (unsigned x = 0; x < 4; ++x)
        for (unsigned y = 0; y < 2; ++y)
            source.Set(x, y, uint8_t(x * 80), 0, uint8_t(y * 200));
    const std::vector<uint32_t> out = Resampled(source, 16, 8);
    for (unsigned y = 0; y < 8; ++y) {
        EXPECT_EQ(0, Red(out[y * 16])) << "the left edge is the first pixel";
        EXPECT_EQ(240, Red(out[y * 16 + 15])) << "the right edge is the last";
        for (unsigned x = 1; x < 16; ++x)
            ASSERT_LE(Red(out[y * 16 + x - 1]), Red(out[y * 16 + x])) << "a ramp stays a ramp";
    }
    EXPECT_EQ(0, Blue(out[0]));
    EXPECT_EQ(200, Blue(out[7 * 16]));
    EXPECT_NEAR(100, Blue(out[4 * 16]), 30) << "between the rows, a value between them";
}

TEST(Resampler, DoublingTakesThreeQuartersOfTheNearestPixel)
{
    // Twice the size has a path of its own; it must give what linear
    // interpolation between pixel centres gives, the edges held, rounded to the
    // nearest value. Odd widths and single rows or columns reach its ends.
    const unsigned sizes[][2] = {{1, 1}, {1, 3}, {3, 1}, {5, 7}, {33, 9}, {160, 120}};
    uint32_t seed = 12345;
    auto random = [&] { return uint8_t((seed = seed * 1103515245 + 12345) >> 16); };
    for (const auto& size : sizes) {
        const unsigned sw = size[0], sh = size[1];
        Bgr source(sw, sh, sw % 3 * 4);
        for (unsigned y = 0; y < sh; ++y)
            for (unsigned x = 0; x < sw; ++x)
                source.Set(x, y, random(), random(), random());
        const std::vector<uint32_t> out = Resampled(source, 2 * sw, 2 * sh);
        auto channel = [&](unsigned x, unsigned y, unsigned shift) {
            const uint8_t* p = &source.bytes[y * source.stride + x * Bgr::bpp];
            return double(shift == 16 ? p[2] : shift == 8 ? p[1]
                                                          : p[0]);
        };
        for (unsigned ty = 0; ty < 2 * sh; ++ty)
            for (unsigned tx = 0; tx < 2 * sw; ++tx) {
                // The target centre in source pixels, and the two around it.
                const double fx = std::min(std::max((tx + 0.5) / 2 - 0.5, 0.0), sw - 1.0);
                const double fy = std::min(std::max((ty + 0.5) / 2 - 0.5, 0.0), sh - 1.0);
                const unsigned x0 = unsigned(fx), y0 = unsigned(fy);
                const unsigned x1 = std::min(x0 + 1, sw - 1), y1 = std::min(y0 + 1, sh - 1);
                const double ax = fx - x0, ay = fy - y0;
                for (unsigned shift : {16u, 8u, 0u}) {
                    const double v = (1 - ay) * ((1 - ax) * channel(x0, y0, shift) + ax * channel(x1, y0, shift)) +
                                     ay * ((1 - ax) * channel(x0, y1, shift) + ax * channel(x1, y1, shift));
                    ASSERT_EQ(int(v + 0.5), int(out[ty * 2 * sw + tx] >> shift & 0xFF))
                        << sw << "x" << sh << " at " << tx << "," << ty << " channel " << shift;
                }
                ASSERT_EQ(0xFFu, out[ty * 2 * sw + tx] >> 24) << "opaque";
            }
    }
}

TEST(Resampler, ASizeOfNothingWritesNothing)
{
    Bgr source(4, 4);
    CPictureResampler resampler;
    uint32_t sentinel = 0x12345678;
    resampler.Resample(source.bytes.data(), 0, 4, source.stride, &sentinel, 1, 1);
    resampler.Resample(source.bytes.data(), 4, 4, source.stride, &sentinel, 0, 1);
    EXPECT_EQ(0x12345678u, sentinel);
}
