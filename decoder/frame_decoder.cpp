#include "decoder/frame_decoder.h"
#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <cstring>
#include <string>
#include <jpeglib.h>  // and jconfig.h, with LIBJPEG_TURBO_VERSION
#include "decoder/jpeg_library.h"

namespace {

#define VERSION_TEXT(v)   #v
#define VERSION_STRING(v) VERSION_TEXT(v)
const char kLibraryVersion[] = "libjpeg-turbo " VERSION_STRING(LIBJPEG_TURBO_VERSION);

// The byte order of a 32-bit DIB. The library sets the fourth byte of every
// pixel it writes to 0xFF (BGRA, unlike BGRX, promises so), and the pixels keep it.
const J_COLOR_SPACE kPixelFormat = JCS_EXT_BGRA;
const unsigned kPixelBytes = 4;

// Whether the library will hold the whole picture while it decodes the frame:
// a progressive one (SOF2, or SOF10 with arithmetic coding), or a sequential
// one whose first scan does not hold every component (a scan a component).
// Markers are read the way the library reads them: bytes that are no marker are
// skipped (the library warns of them), and so are fill bytes and stuffed zeros;
// RSTn and TEM have no length; the first frame header counts. Where the
// library would stop with an error this says no, and that error refuses the frame.
bool IsHeldWhole(const uint8_t* p, size_t n)
{
    size_t i = 2;              // past SOI
    unsigned nComponents = 0;  // of the frame header, once read
    for (;;) {
        while (i < n && p[i] != 0xFF)
            ++i;
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const uint8_t marker = p[i++];
        if (marker == 0xC2 || marker == 0xCA)
            return nComponents == 0;  // progressive, unless a frame header came before
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;        // a stuffed zero, TEM, RSTn
        if (marker == 0xDA)  // the first scan: its components, after its length
            return nComponents != 0 && i + 2 < n && p[i + 2] < nComponents;
        const bool bSequential = marker == 0xC0 || marker == 0xC1 || marker == 0xC9;
        const bool bSegment = bSequential || marker == 0xC4 || marker == 0xCC || marker == 0xDB ||
                              marker == 0xDC || marker == 0xDD || marker == 0xFE || (marker >= 0xE0 && marker <= 0xEF);
        if (!bSegment || (bSequential && nComponents != 0))  // SOI, EOI, a second frame header, or one the library cannot read
            return false;
        if (i + 2 > n)
            return false;
        if (bSequential) {  // length, precision, height, width, then the components
            if (i + 8 > n)
                return false;
            nComponents = p[i + 7];
        }
        const size_t nLength = size_t(p[i]) << 8 | p[i + 1];  // counts itself; less than 2 skips nothing more
        i += nLength > 2 ? nLength : 2;
    }
}

// The scales a frame is decoded at, smallest first: 1/8, 1/4, 1/2 and 1. The
// library offers every eighth, but only these have inverse DCTs of their own
// (with SIMD code on x86); the others go through generic ones and cost more
// than decoding the whole frame (measured: a 320 x 240 frame takes 0.25 ms at
// 3/4 and 0.12 ms whole).
const unsigned kScaleEighths[] = {1, 2, 4, 8};

// A side of w pixels decoded at nEighths / 8, as the library rounds it.
unsigned Scaled(unsigned w, unsigned nEighths) { return unsigned((uint64_t(w) * nEighths + 7) / 8); }

}  // namespace

const char* JpegLibraryVersion() { return kLibraryVersion; }

unsigned CFrameDecoder::ScaleFor(unsigned w, unsigned h, unsigned cx, unsigned cy)
{
    for (unsigned nEighths : kScaleEighths) {
        if (Scaled(w, nEighths) >= cx && Scaled(h, nEighths) >= cy)
            return nEighths;
    }
    return 8;
}

// The two calls into the library that may stop with an error. The error
// manager jumps back into them, so they hold nothing that longjmp could skip
// the destruction of; false after an error, the decompressor reset.
bool CFrameDecoder::ReadHeaderOf(Library& lib, const uint8_t* pJpeg, size_t nSize)
{
    if (setjmp(lib.stop)) {
        jpeg_abort_decompress(&lib.cinfo);
        return false;
    }
    // The library never reads past nSize: at the end of the bytes it warns,
    // and goes on as if the frame ended there.
    jpeg_mem_src(&lib.cinfo, pJpeg, static_cast<unsigned long>(nSize));
    jpeg_read_header(&lib.cinfo, TRUE);
    return true;
}

// Decodes the frame whose header was read, at nEighths, into rows (as many
// as the scaled picture has, each sw pixels).
bool CFrameDecoder::DecodeRows(Library& lib, unsigned nEighths, unsigned sw, unsigned sh, uint8_t** rows)
{
    jpeg_decompress_struct& cinfo = lib.cinfo;
    if (setjmp(lib.stop)) {
        jpeg_abort_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = kPixelFormat;
    cinfo.scale_num = nEighths;
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != sw || cinfo.output_height != sh) {
        std::snprintf(lib.szMessage, sizeof lib.szMessage, "the library scaled to %u x %u, not %u x %u",
                      unsigned(cinfo.output_width), unsigned(cinfo.output_height), sw, sh);
        jpeg_abort_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < sh)
        jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline, sh - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool CFrameDecoder::StartPart(unsigned nEighths, int space, unsigned x0, unsigned y0, unsigned cx, unsigned cy,
                              const char* part, unsigned* pxStart, unsigned* pWidth)
{
    jpeg_decompress_struct& cinfo = m_library->cinfo;
    cinfo.out_color_space = J_COLOR_SPACE(space);
    cinfo.scale_num = nEighths;
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    const int nComponents = space == JCS_GRAYSCALE ? 1 : kPixelBytes;
    if (x0 + cx > cinfo.output_width || y0 + cy > cinfo.output_height || cinfo.output_components != nComponents) {
        std::snprintf(m_library->szMessage, sizeof m_library->szMessage, "the library scaled to %u x %u, short of %s",
                      unsigned(cinfo.output_width), unsigned(cinfo.output_height), part);
        jpeg_abort_decompress(&cinfo);
        return false;
    }
    // The crop widens to whole MCU columns: xStart moves left to one's edge.
    JDIMENSION xStart = x0, width = cx;
    if (cx < cinfo.output_width)
        jpeg_crop_scanline(&cinfo, &xStart, &width);
    if (y0 > 0)
        jpeg_skip_scanlines(&cinfo, y0);
    *pxStart = xStart;
    *pWidth = width;
    return true;
}

CFrameDecoder::CFrameDecoder() : m_library(std::make_unique<Library>()) {}

CFrameDecoder::~CFrameDecoder() = default;

bool CFrameDecoder::ReadHeader(const uint8_t* pJpeg, size_t nSize, unsigned* pw, unsigned* ph)
{
    Library& lib = *m_library;
    jpeg_abort_decompress(&lib.cinfo);  // whatever the frame before left behind
    m_message.clear();
    lib.bWarned = false;
    lib.szMessage[0] = '\0';
    if (!pJpeg || nSize == 0 || nSize > ULONG_MAX) {
        m_message = "no frame";
        return false;
    }
    if (!ReadHeaderOf(lib, pJpeg, nSize)) {
        m_message = lib.szMessage;
        return false;
    }
    // Warned only (of stray bytes between segments, say), the library read the
    // header whole: the frame is decoded, and given as damaged.
    if (lib.bWarned)
        m_message = lib.szMessage;
    const unsigned w = lib.cinfo.image_width, h = lib.cinfo.image_height;
    const uint64_t nPixels = uint64_t(w) * h;
    if (w == 0 || h == 0 || nPixels > kMaxPixels)
        m_message = "the frame claims " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    else if (nPixels > kMaxHeldWholePixels && IsHeldWhole(pJpeg, nSize))
        m_message = "a frame of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels in several scans (progressive, or a component a scan)";
    else {
        *pw = w;
        *ph = h;
        return true;
    }
    jpeg_abort_decompress(&lib.cinfo);
    return false;
}

FrameResult CFrameDecoder::Decode(unsigned nEighths, unsigned sw, unsigned sh, uint8_t* pOut, unsigned nPitch)
{
    m_rows.resize(sh);
    for (size_t y = 0; y < sh; ++y)
        m_rows[y] = pOut + y * nPitch;
    Library& lib = *m_library;
    if (!DecodeRows(lib, nEighths, sw, sh, m_rows.data())) {
        m_message = lib.szMessage;  // the error that stopped it, maybe after a warning: no picture
        return FrameResult::Failed;
    }
    if (!lib.bWarned)
        return FrameResult::Decoded;
    m_message = lib.szMessage;
    return FrameResult::Damaged;
}

FrameResult CFrameDecoder::DecodeToTile(const uint8_t* pJpeg, size_t nSize, unsigned cx, unsigned cy,
                                        std::vector<uint32_t>* pPixels)
{
    if (cx == 0 || cy == 0) {
        pPixels->clear();
        m_message = "a tile of no pixels";
        return FrameResult::Failed;
    }
    unsigned w = 0, h = 0;
    if (!ReadHeader(pJpeg, nSize, &w, &h)) {
        pPixels->clear();
        return FrameResult::Failed;
    }
    const unsigned nScale = ScaleFor(w, h, cx, cy);
    const unsigned sw = Scaled(w, nScale), sh = Scaled(h, nScale);
    // Every pixel is written below: a buffer of the right size is used as it is.
    pPixels->resize(size_t(cx) * cy);
    FrameResult result;
    if (sw == cx && sh == cy) {
        // Already the tile's size: straight into it.
        result = Decode(nScale, sw, sh, reinterpret_cast<uint8_t*>(pPixels->data()), cx * kPixelBytes);
    } else {
        m_scaled.resize(size_t(sw) * sh * kPixelBytes);
        result = Decode(nScale, sw, sh, m_scaled.data(), sw * kPixelBytes);
        if (result != FrameResult::Failed)
            m_resampler.Resample(m_scaled.data(), sw, sh, size_t(sw) * kPixelBytes, pPixels->data(), cx, cy);
    }
    if (result == FrameResult::Failed)
        pPixels->clear();
    return result;
}

FrameResult CFrameDecoder::DecodeWhole(const uint8_t* pJpeg, size_t nSize, unsigned* pcx, unsigned* pcy,
                                       std::vector<uint32_t>* pPixels)
{
    pPixels->clear();
    unsigned w = 0, h = 0;
    if (!ReadHeader(pJpeg, nSize, &w, &h))
        return FrameResult::Failed;
    pPixels->resize(size_t(w) * h);
    const FrameResult result = Decode(8, w, h, reinterpret_cast<uint8_t*>(pPixels->data()), w * kPixelBytes);
    if (result == FrameResult::Failed) {
        pPixels->clear();
        return result;
    }
    *pcx = w;
    *pcy = h;
    return result;
}
