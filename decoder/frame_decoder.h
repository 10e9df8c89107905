// One Motion-JPEG frame into the pixels of a tile, with libjpeg-turbo.
//
// A frame is decoded at the smallest of the library's fast scales (1/8, 1/4,
// 1/2, 1) whose picture still covers the tile: the scaling happens in the
// inverse DCT, so a 320 x 240 frame in a 160 x 120 tile costs about half its
// whole decode. The resampler then makes the tile's exact size, unless the
// scaled picture is that size already.
//
// Damaged frames: where the library could still decode a picture and only
// warned, the picture is given; where it could not, nothing is. A frame is
// refused before decoding when its header claims more than kMaxPixels, or, for
// a frame the library holds whole while it decodes (progressive, or a
// component a scan), more than kMaxHeldWholePixels.
//
// Portable C++ with no Windows header: the decoder control uses it, and the
// native tree tests and fuzzes it. One decoder per thread. It drives the
// library through its libjpeg API, with an error manager of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "decoder/resample.h"

// A rectangle of a frame, in the frame's own pixels.
struct FrameRegion {
    unsigned x = 0, y = 0, w = 0, h = 0;
};

struct ZoomView;  // decoder/zoom.h

enum class FrameResult {
    Decoded,  // the whole picture
    Damaged,  // a picture, but the library found damage in the frame on the way
    Failed,   // no picture: the output is empty
};

class CFrameDecoder {
public:
    CFrameDecoder();
    ~CFrameDecoder();
    CFrameDecoder(const CFrameDecoder&) = delete;
    CFrameDecoder& operator=(const CFrameDecoder&) = delete;

    // pJpeg's frame in cx x cy pixels, each 0xFFRRGGBB, top row first.
    FrameResult DecodeToTile(const uint8_t* pJpeg, size_t nSize, unsigned cx, unsigned cy,
                             std::vector<uint32_t>* pPixels);
    // The frame at its own size, which *pcx and *pcy receive.
    FrameResult DecodeWhole(const uint8_t* pJpeg, size_t nSize, unsigned* pcx, unsigned* pcy,
                            std::vector<uint32_t>* pPixels);

    // The part of the frame a zoom shows, in cx x cy pixels as DecodeToTile
    // gives them. Only that part is decoded: its MCU columns, and its rows,
    // those above skipped without their inverse DCT. It is taken at the
    // smallest fast scale that still covers the tile, reduced to the tile by
    // the resampler, or taken at the frame's own pixels and enlarged by it.
    // *pCrop receives the part decoded, in the frame's pixels: the zoom's own,
    // widened to the grid of the scale it was decoded at (less than a tile
    // pixel on each side).
    FrameResult DecodeZoomedToTile(const uint8_t* pJpeg, size_t nSize, const ZoomView& zoom, unsigned cx,
                                   unsigned cy, std::vector<uint32_t>* pPixels, FrameRegion* pCrop);

    // The region of the frame as grey samples (its luma, one byte each), at
    // the smallest fast scale that gives the region at least kRegionSamples
    // samples a side (or the whole scale): *pcx x *pcy of them, top row first.
    // Only the MCU columns and rows covering the region are decoded, and the
    // frame is read no further than its last one. Failed when the region is
    // empty or not inside the frame.
    FrameResult DecodeRegionGrey(const uint8_t* pJpeg, size_t nSize, const FrameRegion& region, unsigned* pcx,
                                 unsigned* pcy, std::vector<uint8_t>* pSamples);
    // The scale, in eighths, a region of w x h pixels is decoded at.
    static unsigned RegionScaleFor(unsigned w, unsigned h);
    static constexpr unsigned kRegionSamples = 16;

    // What the library said about the last frame that was not decoded cleanly;
    // empty after a clean one.
    const std::string& LastMessage() const { return m_message; }

    // The scale, in eighths (1, 2, 4 or 8), a w x h frame is decoded at for a cx x cy tile.
    static unsigned ScaleFor(unsigned w, unsigned h, unsigned cx, unsigned cy);

    static constexpr uint64_t kMaxPixels = 8192ull * 8192ull;
    // For frames the library holds whole while it decodes them.
    static constexpr uint64_t kMaxHeldWholePixels = 2048ull * 2048ull;

private:
    // The library's decompressor and its error manager (frame_decoder.cpp).
    struct Library;
    // The two calls into the library that may stop with an error.
    static bool ReadHeaderOf(Library& lib, const uint8_t* pJpeg, size_t nSize);
    static bool DecodeRows(Library& lib, unsigned nEighths, unsigned sw, unsigned sh, uint8_t** rows);
    // Starts decoding the frame whose header was read at nEighths, in `space`,
    // for the part [x0, x0 + cx) x [y0, y0 + cy): the columns widen to whole
    // MCU columns (*pxStart, *pWidth) and the rows above are skipped. False,
    // the decode ended, when the scaled picture is short of the part; `part`
    // names it in the message. The library may stop with an error in here:
    // the caller has set lib.stop.
    bool StartPart(unsigned nEighths, int space, unsigned x0, unsigned y0, unsigned cx, unsigned cy, const char* part,
                   unsigned* pxStart, unsigned* pWidth);
    // Decodes the rows and columns of a region, scaled already, into pOut
    // (cx bytes a row); m_scaled holds a row of the scaled picture.
    bool DecodeRegionRows(unsigned nEighths, unsigned x0, unsigned y0, unsigned cx, unsigned cy, uint8_t* pOut);
    // Decodes columns [x0, x0 + cx) of rows [y0, y0 + cy) of the picture at
    // nEighths, in colour, into m_scaled: the region starts *pOffset bytes in,
    // and its rows are *pStride bytes apart.
    bool DecodeCropRows(unsigned nEighths, unsigned x0, unsigned y0, unsigned cx, unsigned cy, size_t* pOffset,
                        size_t* pStride);
    // Reads the header; false (with m_message) when the frame is refused.
    bool ReadHeader(const uint8_t* pJpeg, size_t nSize, unsigned* pw, unsigned* ph);
    // Decodes the frame whose header was read at nEighths, which makes sw x
    // sh, into pOut (nPitch bytes a row).
    FrameResult Decode(unsigned nEighths, unsigned sw, unsigned sh, uint8_t* pOut, unsigned nPitch);

    std::unique_ptr<Library> m_library;
    std::vector<uint8_t*> m_rows;   // where each row of the picture being decoded goes
    std::vector<uint8_t> m_scaled;  // a picture at its decoded scale, 4 bytes a pixel
    CPictureResampler m_resampler;
    std::string m_message;
};

// The library's name and version, as linked: "libjpeg-turbo 2.1.5".
const char* JpegLibraryVersion();
