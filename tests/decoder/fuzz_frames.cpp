// libFuzzer target: a recording opened from memory and its first frames decoded
// as the decoding threads would, to tiles of two sizes, zoomed, and whole, and
// regions of them in grey as a search would. Every result must be a picture of the
// size asked for, or nothing.
#include <turbojpeg.h>
#include <cstddef>
#include <cstdint>
#include <vector>
#include "decoder/frame_decoder.h"
#include "decoder/zoom.h"
#include "recording/recording.h"

namespace {

const size_t kMaxFrames = 8;  // per input: cameras and sizes mix, and each input stays quick
// A whole decode of a frame claiming up to 8192 x 8192 spends its time in the
// library's loops, not in the decoder's code, which is the same at any size.
const uint64_t kMaxWholePixels = 1024 * 1024;
// A tile of a 4 x 4 view, and one of odd size that no scale gives exactly.
const struct {
    unsigned cx, cy;
} kTiles[] = {{160, 120}, {37, 29}};
// Regions as a motion search asks for them: a corner at 1/8, a middle at 1/4,
// a small one at full scale, and one that may well lie outside the frame.
const FrameRegion kRegions[] = {{0, 0, 128, 128}, {40, 24, 70, 66}, {5, 3, 9, 11}, {300, 200, 400, 300}};

void Check(FrameResult result, const std::vector<uint32_t>& pixels, size_t nPixels)
{
    if (result == FrameResult::Failed ? !pixels.empty() : pixels.size() != nPixels)
        __builtin_trap();
    for (uint32_t pixel : pixels)
        if (pixel >> 24 != 0xFF)  // every pixel written is opaque
            __builtin_trap();
}

// The size the frame's header claims, by a decompressor of its own; 0 when none.
uint64_t ClaimedPixels(const std::vector<uint8_t>& jpeg)
{
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (handle && !jpeg.empty())
        tjDecompressHeader3(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), &w, &h, &subsampling,
                            &colorspace);
    if (handle)
        tjDestroy(handle);
    return w > 0 && h > 0 ? uint64_t(w) * uint64_t(h) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    rec::Recording recording;
    if (!recording.openMemory(data, size))
        return 0;
    CFrameDecoder decoder;  // one for all the frames, as a decoding thread has
    std::vector<uint8_t> jpeg;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> samples;
    size_t nFrames = 0;
    for (const rec::Stream& stream : recording.streams()) {
        for (const rec::Frame& frame : stream.frames) {
            if (nFrames++ == kMaxFrames)
                return 0;
            if (!recording.readFrame(frame, jpeg))
                continue;
            for (const auto& tile : kTiles)
                Check(decoder.DecodeToTile(jpeg.data(), jpeg.size(), tile.cx, tile.cy, &pixels), pixels,
                      size_t(tile.cx) * tile.cy);
            // Zoomed in a little (a part reduced from a scale) and all the way, at a corner.
            for (int nStep : {1, ZoomView::kMaxStep}) {
                FrameRegion crop;
                const ZoomView zoom = ZoomedAbout(ZoomView(), nStep, 1.0, 1.0);
                Check(decoder.DecodeZoomedToTile(jpeg.data(), jpeg.size(), zoom, 160, 120, &pixels, &crop), pixels,
                      size_t(160) * 120);
            }
            for (const FrameRegion& region : kRegions) {
                unsigned cx = 0, cy = 0;
                const FrameResult result = decoder.DecodeRegionGrey(jpeg.data(), jpeg.size(), region, &cx, &cy, &samples);
                if (result == FrameResult::Failed ? !samples.empty() : samples.size() != size_t(cx) * cy || cx == 0)
                    __builtin_trap();
            }
            if (ClaimedPixels(jpeg) <= kMaxWholePixels) {
                unsigned w = 0, h = 0;
                const FrameResult result = decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &pixels);
                Check(result, pixels, size_t(w) * h);
            }
        }
    }
    return 0;
}
