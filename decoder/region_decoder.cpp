// A region of a frame, grey, for searches that compare the same few blocks of
// many frames: the library is asked for the MCU columns covering the region
// (jpeg_crop_scanline), skips the rows above it without their inverse DCT
// (jpeg_skip_scanlines), and is stopped after the region's last row. Only the
// luma is converted: a grey output leaves the chroma components undecoded.
#include <cstring>
#include "decoder/frame_decoder.h"
#include "decoder/jpeg_library.h"

namespace {

const unsigned kRegionScales[] = {1, 2, 4, 8};

// The first and one-past-last sample of a span of pixels [from, to) at nEighths / 8.
unsigned ScaledDown(unsigned v, unsigned nEighths) { return unsigned(uint64_t(v) * nEighths / 8); }
unsigned ScaledUp(unsigned v, unsigned nEighths) { return unsigned((uint64_t(v) * nEighths + 7) / 8); }

}  // namespace

unsigned CFrameDecoder::RegionScaleFor(unsigned w, unsigned h)
{
    for (unsigned nEighths : kRegionScales) {
        if (ScaledDown(w, nEighths) >= kRegionSamples && ScaledDown(h, nEighths) >= kRegionSamples)
            return nEighths;
    }
    return 8;
}

bool CFrameDecoder::DecodeRegionRows(unsigned nEighths, unsigned x0, unsigned y0, unsigned cx, unsigned cy,
                                     uint8_t* pOut)
{
    Library& lib = *m_library;
    jpeg_decompress_struct& cinfo = lib.cinfo;
    if (setjmp(lib.stop)) {
        jpeg_abort_decompress(&cinfo);
        return false;
    }
    unsigned xStart = 0, width = 0;
    if (!StartPart(nEighths, JCS_GRAYSCALE, x0, y0, cx, cy, "the region", &xStart, &width))
        return false;
    JSAMPROW row = m_scaled.data();
    for (unsigned y = 0; y < cy; ++y) {
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break;  // the library has no more rows: the rest stay as they were cleared
        std::memcpy(pOut + size_t(y) * cx, row + (x0 - xStart), cx);
    }
    // The rows below the region are never read.
    jpeg_abort_decompress(&cinfo);
    return true;
}

FrameResult CFrameDecoder::DecodeRegionGrey(const uint8_t* pJpeg, size_t nSize, const FrameRegion& region,
                                            unsigned* pcx, unsigned* pcy, std::vector<uint8_t>* pSamples)
{
    pSamples->clear();
    unsigned w = 0, h = 0;
    if (!ReadHeader(pJpeg, nSize, &w, &h))
        return FrameResult::Failed;
    if (region.w == 0 || region.h == 0 || region.x >= w || region.y >= h || region.w > w - region.x ||
        region.h > h - region.y) {
        jpeg_abort_decompress(&m_library->cinfo);
        m_message = "the region is not inside the frame of " + std::to_string(w) + " x " + std::to_string(h);
        return FrameResult::Failed;
    }
    const unsigned nScale = RegionScaleFor(region.w, region.h);
    const unsigned x0 = ScaledDown(region.x, nScale), y0 = ScaledDown(region.y, nScale);
    const unsigned cx = ScaledUp(region.x + region.w, nScale) - x0, cy = ScaledUp(region.y + region.h, nScale) - y0;
    m_scaled.resize(ScaledUp(w, nScale));  // a row of the scaled picture
    pSamples->assign(size_t(cx) * cy, 0);
    Library& lib = *m_library;
    if (!DecodeRegionRows(nScale, x0, y0, cx, cy, pSamples->data())) {
        m_message = lib.szMessage;
        pSamples->clear();
        return FrameResult::Failed;
    }
    *pcx = cx;
    *pcy = cy;
    if (!lib.bWarned)
        return FrameResult::Decoded;
    m_message = lib.szMessage;
    return FrameResult::Damaged;
}
