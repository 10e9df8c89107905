// The zoom's geometry, and the zoomed part of a frame decoded from the frame
// against ffmpeg's crop of the same part, scaled to the tile with the same
// kind of filter: at the frame's corners and edges, odd sizes, 4:2:0 and 4:2:2.
#include <gtest/gtest.h>
#include <cstdio>
#include "decoder/zoom.h"
#include "tests/decoder/frame_reference.h"

namespace {

using namespace frametest;

// The frame's point under (px, py) of the tile, as fractions of the frame.
double FrameX(const ZoomView& view, double px) { return view.centerX + (px - 0.5) / view.Factor(); }
double FrameY(const ZoomView& view, double py) { return view.centerY + (py - 0.5) / view.Factor(); }

TEST(ZoomGeometry, TheWheelKeepsThePointUnderThePointerAndStaysInsideTheFrame)
{
    ZoomView view;
    // In the middle of the tile, a little off centre: the point stays put at every step.
    for (int step = 1; step <= ZoomView::kMaxStep; ++step) {
        const ZoomView next = ZoomedAbout(view, 1, 0.4, 0.55);
        EXPECT_EQ(step, next.nStep);
        EXPECT_NEAR(FrameX(view, 0.4), FrameX(next, 0.4), 1e-9) << step;
        EXPECT_NEAR(FrameY(view, 0.55), FrameY(next, 0.55), 1e-9) << step;
        view = next;
    }
    EXPECT_DOUBLE_EQ(8.0, view.Factor());
    EXPECT_EQ(view, ZoomedAbout(view, 3, 0.5, 0.5)) << "8x is the most";
    // Back out at a corner: what is seen is clamped into the frame, and 1x is the whole frame again.
    const ZoomView out = ZoomedAbout(view, -4, 0.0, 1.0);
    EXPECT_GE(out.centerX - 0.5 / out.Factor(), 0.0);
    EXPECT_LE(out.centerY + 0.5 / out.Factor(), 1.0);
    EXPECT_EQ(ZoomView(), ZoomedAbout(out, -5, 0.9, 0.1));
    // At the very corner, zooming in keeps the corner in the corner.
    const ZoomView corner = ZoomedAbout(ZoomView(), 4, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(1.0 - 0.5 / 4, corner.centerX);
    EXPECT_DOUBLE_EQ(1.0 - 0.5 / 4, corner.centerY);
}

TEST(ZoomGeometry, PanningFollowsThePointerAsFarAsTheFrameReaches)
{
    EXPECT_EQ(ZoomView(), Panned(ZoomView(), 0.3, 0.3)) << "nothing to pan at 1x";
    const ZoomView view = ZoomedAbout(ZoomView(), 4, 0.5, 0.5);  // 4x, in the middle
    const ZoomView moved = Panned(view, 0.5, -0.25);             // half a tile right, a quarter up
    EXPECT_DOUBLE_EQ(0.5 - 0.5 / 4, moved.centerX);
    EXPECT_DOUBLE_EQ(0.5 + 0.25 / 4, moved.centerY);
    const ZoomView far = Panned(view, 10, 10);
    EXPECT_DOUBLE_EQ(0.5 / 4, far.centerX);
    EXPECT_DOUBLE_EQ(0.5 / 4, far.centerY);
}

TEST(ZoomGeometry, TheCropAndTheInsetLieInsideWhatTheyStandFor)
{
    const ZoomView view = ZoomedAbout(ZoomView(), 6, 1.0, 0.0);  // 8x, top right
    const FrameRegion crop = CropOf(view, 720, 480);
    EXPECT_EQ(630u, crop.x);
    EXPECT_EQ(0u, crop.y);
    EXPECT_EQ(90u, crop.w);
    EXPECT_EQ(60u, crop.h);
    const FrameRegion odd = CropOf(ZoomedAbout(ZoomView(), 6, 1.0, 1.0), 353, 241);
    EXPECT_EQ(353u, odd.x + odd.w);
    EXPECT_EQ(241u, odd.y + odd.h);
    EXPECT_EQ(FrameRegion().w, CropOf(ZoomView(), 0, 0).w) << "no frame, no pixels";

    ZoomRect frame = {}, part = {};
    const ZoomRect tile = {160, 120, 320, 240};
    ASSERT_TRUE(InsetOf(view, tile, &frame, &part));
    EXPECT_TRUE(frame.left > tile.left && frame.right < tile.right && frame.top > tile.top && frame.bottom < tile.bottom);
    EXPECT_TRUE(part.left >= frame.left && part.right <= frame.right && part.top >= frame.top &&
                part.bottom <= frame.bottom);
    EXPECT_GT(part.left, (frame.left + frame.right) / 2) << "the part is at the frame's right";
    EXPECT_FALSE(InsetOf(view, {0, 0, 40, 30}, &frame, &part)) << "too small a tile for an inset";
}

// --- The zoomed decode against ffmpeg's

struct ZoomCase {
    const char* pixfmt;
    unsigned w, h;    // the frame
    unsigned cx, cy;  // the tile
    int nStep;
    double px, py;  // where the wheel turned, in the tile
};

void PrintTo(const ZoomCase& c, std::ostream* pOut)
{
    *pOut << c.pixfmt << " " << c.w << "x" << c.h << " in " << c.cx << "x" << c.cy << " step " << c.nStep << " at "
          << c.px << "," << c.py;
}

class ZoomedDecode : public ::testing::TestWithParam<ZoomCase> {};

// Measured: 52 dB and more on D1 frames, 47 dB on the odd sizes (whose last
// MCU is partly outside the frame) and where a part is reduced from one of the
// library's scales (whose scaled inverse DCT is no exact area average).
TEST_P(ZoomedDecode, MatchesFfmpegsCropOfTheWholeFrame)
{
    if (!rectest::haveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg missing";
    const ZoomCase c = GetParam();
    CScratch scratch;
    const std::string framePath = scratch.Path("frame.jpg");
    ASSERT_TRUE(Ffmpeg(TestSource(c.w, c.h) + " -frames:v 1 -c:v mjpeg -pix_fmt " + c.pixfmt + " -q:v 3 -f mjpeg " +
                       framePath));
    const Bytes jpeg = rectest::readAll(framePath);
    ASSERT_FALSE(jpeg.empty());

    const ZoomView view = ZoomedAbout(ZoomView(), c.nStep, c.px, c.py);
    CFrameDecoder decoder;
    Pixels pixels;
    FrameRegion crop;
    ASSERT_EQ(FrameResult::Decoded,
              decoder.DecodeZoomedToTile(jpeg.data(), jpeg.size(), view, c.cx, c.cy, &pixels, &crop))
        << decoder.LastMessage();
    ASSERT_EQ(size_t(c.cx) * c.cy, pixels.size());
    const FrameRegion wanted = CropOf(view, c.w, c.h);
    EXPECT_LE(crop.x, wanted.x);
    EXPECT_GE(crop.x + crop.w, wanted.x + wanted.w);
    EXPECT_LE(crop.x + crop.w, c.w);
    EXPECT_LE(crop.y + crop.h, c.h);

    const auto n = [](unsigned v) { return std::to_string(v); };
    const bool bEnlarged = crop.w < c.cx;
    const Pixels reference = FfmpegDecode(scratch, jpeg,
                                          "format=gbrp,crop=" + n(crop.w) + ":" + n(crop.h) + ":" + n(crop.x) + ":" +
                                              n(crop.y) + ",scale=" + n(c.cx) + ":" + n(c.cy) +
                                              (bEnlarged ? ":flags=bilinear" : ":flags=area"));
    ASSERT_EQ(pixels.size(), reference.size());
    Pixels ours(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        ours[i] = pixels[i] & 0xFFFFFF;
    const Difference d = Compare(ours, reference);
    std::printf("%-10s %ux%u in %ux%u at %.2fx, crop %ux%u+%u+%u: PSNR %5.1f dB\n", c.pixfmt, c.w, c.h, c.cx, c.cy,
                view.Factor(), crop.w, crop.h, crop.x, crop.y, d.WorstPsnr());
    EXPECT_GE(d.WorstPsnr(), 42.0);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ZoomedDecode,
    ::testing::Values(ZoomCase{"yuvj420p", 720, 480, 160, 120, 4, 0.5, 0.5},    // D1 at 4x in a 16-camera view
                      ZoomCase{"yuvj420p", 720, 480, 160, 120, 6, 0.0, 0.0},    // top left corner, 8x
                      ZoomCase{"yuvj422p", 720, 480, 160, 120, 4, 1.0, 1.0},    // bottom right corner
                      ZoomCase{"yuvj422p", 720, 480, 160, 120, 3, 1.0, 0.3},    // right edge, reduced
                      ZoomCase{"yuvj420p", 353, 241, 161, 97, 2, 0.0, 1.0},     // odd sizes, bottom left
                      ZoomCase{"yuvj422p", 353, 241, 80, 60, 1, 0.7, 0.0},      // reduced from a scale, top edge
                      ZoomCase{"yuvj420p", 720, 480, 640, 480, 2, 0.3, 0.6}));  // one camera, enlarged

}  // namespace
