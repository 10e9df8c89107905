#include "decoder/frame_decoder.h"
#include <turbojpeg.h>
#include <jconfig.h>  // LIBJPEG_TURBO_VERSION
#include <climits>
#include <string>

namespace {

#define VERSION_TEXT(v)   #v
#define VERSION_STRING(v) VERSION_TEXT(v)
const char kLibraryVersion[] = "libjpeg-turbo " VERSION_STRING(LIBJPEG_TURBO_VERSION);

// The byte order of a 32-bit DIB. The library sets the fourth byte of every
// pixel it writes to 0xFF (BGRA, unlike BGRX, promises so): Decode reads from
// it whether the picture was written to its end.
const int kPixelFormat = TJPF_BGRA;
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

void ClearUnusedBytes(uint32_t* pPixels, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        pPixels[i] &= 0x00FFFFFF;
}

}  // namespace

const char* JpegLibraryVersion() { return kLibraryVersion; }

unsigned CFrameDecoder::ScaleFor(unsigned w, unsigned h, unsigned cx, unsigned cy)
{
    for (unsigned nEighths : kScaleEighths) {
        const tjscalingfactor scale = {int(nEighths), 8};
        if (unsigned(TJSCALED(int(w), scale)) >= cx && unsigned(TJSCALED(int(h), scale)) >= cy)
            return nEighths;
    }
    return 8;
}

CFrameDecoder::CFrameDecoder() : m_handle(tjInitDecompress()) {}

CFrameDecoder::~CFrameDecoder()
{
    if (m_handle)
        tjDestroy(m_handle);
}

bool CFrameDecoder::ReadHeader(const uint8_t* pJpeg, size_t nSize, unsigned* pw, unsigned* ph)
{
    m_message.clear();
    if (!m_handle)
        m_handle = tjInitDecompress();
    if (!m_handle) {
        m_message = "the JPEG decoder could not be made";
        return false;
    }
    if (!pJpeg || nSize == 0 || nSize > ULONG_MAX) {
        m_message = "no frame";
        return false;
    }
    int w = 0, h = 0, subsampling = -1, colorspace = -1;
    if (tjDecompressHeader3(m_handle, pJpeg, static_cast<unsigned long>(nSize), &w, &h, &subsampling,
                            &colorspace) != 0) {
        m_message = tjGetErrorStr2(m_handle);
        // Only warned (of stray bytes between segments, say), the library read
        // the header whole: the frame is decoded, and given as damaged.
        const bool bWarnedOnly = tjGetErrorCode(m_handle) == TJERR_WARNING && w > 0 && h > 0 &&
                                 subsampling >= 0 && colorspace >= 0;
        if (!bWarnedOnly) {
            // Where the library gave up inside the header, TurboJPEG leaves its
            // decompressor there, and would take the next frame's SOI for a
            // second one, and so every frame after it: a new one starts afresh.
            tjDestroy(m_handle);
            m_handle = tjInitDecompress();
            return false;
        }
    }
    const uint64_t nPixels = uint64_t(unsigned(w)) * unsigned(h);
    if (w <= 0 || h <= 0 || nPixels > kMaxPixels) {
        m_message = "the frame claims " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
        return false;
    }
    if (nPixels > kMaxHeldWholePixels && IsHeldWhole(pJpeg, nSize)) {
        m_message = "a frame of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels in several scans (progressive, or a component a scan)";
        return false;
    }
    *pw = unsigned(w);
    *ph = unsigned(h);
    return true;
}

FrameResult CFrameDecoder::Decode(const uint8_t* pJpeg, size_t nSize, unsigned sw, unsigned sh, uint8_t* pOut,
                                  unsigned nPitch)
{
    // TurboJPEG reports an error that came after a warning as a warning, though
    // the library stopped there: the last pixel, written last, tells them apart.
    uint8_t& lastAlpha = pOut[size_t(sh - 1) * nPitch + size_t(sw - 1) * kPixelBytes + 3];
    lastAlpha = 0;
    // Asked for the scaled size exactly, the library decodes at that scale. It
    // never reads past nSize, and writes sh rows of nPitch bytes.
    const int rc = tjDecompress2(m_handle, pJpeg, static_cast<unsigned long>(nSize), pOut, int(sw), int(nPitch),
                                 int(sh), kPixelFormat, TJFLAG_LIMITSCANS);
    if (rc == 0)
        return FrameResult::Decoded;
    m_message = tjGetErrorStr2(m_handle);
    const bool bWholePicture = lastAlpha == 0xFF;
    return tjGetErrorCode(m_handle) == TJERR_WARNING && bWholePicture ? FrameResult::Damaged : FrameResult::Failed;
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
    const tjscalingfactor scale = {int(nScale), 8};
    const unsigned sw = unsigned(TJSCALED(int(w), scale)), sh = unsigned(TJSCALED(int(h), scale));
    // Every pixel is written below: a buffer of the right size is used as it is.
    pPixels->resize(size_t(cx) * cy);
    FrameResult result;
    if (sw == cx && sh == cy) {
        // Already the tile's size: straight into it.
        result = Decode(pJpeg, nSize, sw, sh, reinterpret_cast<uint8_t*>(pPixels->data()), cx * kPixelBytes);
        if (result != FrameResult::Failed)
            ClearUnusedBytes(pPixels->data(), pPixels->size());
    } else {
        m_scaled.resize(size_t(sw) * sh * kPixelBytes);
        result = Decode(pJpeg, nSize, sw, sh, m_scaled.data(), sw * kPixelBytes);
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
    const FrameResult result =
        Decode(pJpeg, nSize, w, h, reinterpret_cast<uint8_t*>(pPixels->data()), w * kPixelBytes);
    if (result == FrameResult::Failed) {
        pPixels->clear();
        return result;
    }
    ClearUnusedBytes(pPixels->data(), pPixels->size());
    *pcx = w;
    *pcy = h;
    return result;
}
