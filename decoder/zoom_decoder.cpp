// The part of a frame a zoom shows, decoded from the frame itself: the
// library is asked for the MCU columns covering it (jpeg_crop_scanline), skips
// the rows above it (jpeg_skip_scanlines, entropy decoding only) and is stopped
// after its last row. The part is then fitted to the tile by the resampler:
// area averaging when it is larger, linear interpolation when smaller.
#include <algorithm>
#include <cstring>
#include "decoder/frame_decoder.h"
#include "decoder/jpeg_library.h"
#include "decoder/zoom.h"

namespace {

const unsigned kPixelBytes = 4;

unsigned ScaledUp(unsigned v, unsigned nEighths) { return unsigned((uint64_t(v) * nEighths + 7) / 8); }

}  // namespace

bool CFrameDecoder::DecodeCropRows(unsigned nEighths, unsigned x0, unsigned y0, unsigned cx, unsigned cy,
                                   size_t* pOffset, size_t* pStride)
{
    Library& lib = *m_library;
    jpeg_decompress_struct& cinfo = lib.cinfo;
    if (setjmp(lib.stop)) {
        jpeg_abort_decompress(&cinfo);
        return false;
    }
    // As DecodeToTile's: opaque, in a DIB's byte order.
    unsigned xStart = 0, width = 0;
    if (!StartPart(nEighths, JCS_EXT_BGRA, x0, y0, cx, cy, "the part", &xStart, &width))
        return false;
    const size_t nStride = size_t(width) * kPixelBytes;
    m_scaled.resize(nStride * cy);
    m_rows.resize(cy);
    for (size_t y = 0; y < cy; ++y)
        m_rows[y] = m_scaled.data() + y * nStride;
    for (unsigned nRead = 0; nRead < cy;) {
        const JDIMENSION n = jpeg_read_scanlines(&cinfo, m_rows.data() + nRead, cy - nRead);
        if (n == 0) {
            std::snprintf(lib.szMessage, sizeof lib.szMessage, "the library gave no row past %u", y0 + nRead);
            jpeg_abort_decompress(&cinfo);
            return false;
        }
        nRead += n;
    }
    // The rows below the part are never read.
    jpeg_abort_decompress(&cinfo);
    *pOffset = size_t(x0 - xStart) * kPixelBytes;
    *pStride = nStride;
    return true;
}

FrameResult CFrameDecoder::DecodeZoomedToTile(const uint8_t* pJpeg, size_t nSize, const ZoomView& zoom, unsigned cx,
                                              unsigned cy, std::vector<uint32_t>* pPixels, FrameRegion* pCrop)
{
    unsigned w = 0, h = 0;
    if (cx == 0 || cy == 0 || !ReadHeader(pJpeg, nSize, &w, &h)) {
        if (cx == 0 || cy == 0)
            m_message = "a tile of no pixels";
        pPixels->clear();
        return FrameResult::Failed;
    }
    const FrameRegion part = CropOf(zoom, w, h);
    const unsigned nScale = ScaleFor(part.w, part.h, cx, cy);
    const unsigned nStep = 8 / nScale;  // frame pixels a decoded one stands for
    const unsigned x0 = part.x / nStep, y0 = part.y / nStep;
    const unsigned x1 = ScaledUp(part.x + part.w, nScale), y1 = ScaledUp(part.y + part.h, nScale);
    const unsigned sw = x1 - x0, sh = y1 - y0;
    *pCrop = {x0 * nStep, y0 * nStep, std::min(w, x1 * nStep) - x0 * nStep, std::min(h, y1 * nStep) - y0 * nStep};
    size_t nOffset = 0, nStride = 0;
    Library& lib = *m_library;
    if (!DecodeCropRows(nScale, x0, y0, sw, sh, &nOffset, &nStride)) {
        m_message = lib.szMessage;
        pPixels->clear();
        return FrameResult::Failed;
    }
    pPixels->resize(size_t(cx) * cy);
    const uint8_t* pSource = m_scaled.data() + nOffset;
    if (sw == cx && sh == cy) {
        for (unsigned y = 0; y < cy; ++y)
            std::memcpy(pPixels->data() + size_t(y) * cx, pSource + y * nStride, size_t(cx) * kPixelBytes);
    } else {
        m_resampler.Resample(pSource, sw, sh, nStride, pPixels->data(), cx, cy);
    }
    if (!lib.bWarned)
        return FrameResult::Decoded;
    m_message = lib.szMessage;
    return FrameResult::Damaged;
}
