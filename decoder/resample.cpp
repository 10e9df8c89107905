#include "decoder/resample.h"
#include <algorithm>

static_assert(CPictureResampler::kUnit == 256, "the sums below rely on 8-bit weights");

namespace {

using Taps = CPictureResampler::Taps;
const unsigned kUnit = CPictureResampler::kUnit;

// Shrinking: target pixel i covers [i * nSource, (i + 1) * nSource) and source
// pixel j covers [j * nTarget, (j + 1) * nTarget), in units of 1 / (nSource *
// nTarget) of the picture; a source pixel's weight is its share of the overlap.
void AreaTaps(unsigned nSource, unsigned nTarget, Taps* pTaps)
{
    const uint64_t span = nSource;
    auto firstOf = [&](unsigned i) { return static_cast<uint32_t>(i * span / nTarget); };
    auto lastOf = [&](unsigned i) { return static_cast<uint32_t>(((i + 1) * span - 1) / nTarget); };
    pTaps->nWidth = 0;
    for (unsigned i = 0; i < nTarget; ++i)
        pTaps->nWidth = std::max(pTaps->nWidth, lastOf(i) - firstOf(i) + 1);
    pTaps->weights.assign(size_t(nTarget) * pTaps->nWidth, 0);
    for (unsigned i = 0; i < nTarget; ++i) {
        const uint64_t lo = i * span, hi = lo + span;
        const uint32_t first = firstOf(i), last = lastOf(i);
        pTaps->first.push_back(first);
        uint16_t* w = &pTaps->weights[size_t(i) * pTaps->nWidth];
        unsigned nGiven = 0;
        for (uint32_t j = first; j <= last; ++j) {
            const uint64_t a = std::max<uint64_t>(lo, uint64_t(j) * nTarget);
            const uint64_t b = std::min<uint64_t>(hi, uint64_t(j + 1) * nTarget);
            // Rounded down; what rounding left over goes to the last tap.
            const unsigned share = j == last ? kUnit - nGiven : static_cast<unsigned>((b - a) * kUnit / span);
            w[j - first] = static_cast<uint16_t>(share);
            nGiven += share;
        }
    }
}

// Enlarging (or keeping the size): the centre of target pixel i lies at
// (i + 1/2) * nSource / nTarget - 1/2 in source pixels, between two of them.
void LinearTaps(unsigned nSource, unsigned nTarget, Taps* pTaps)
{
    pTaps->nWidth = 2;
    pTaps->weights.assign(size_t(nTarget) * 2, 0);
    for (unsigned i = 0; i < nTarget; ++i) {
        // num / (2 * nTarget) source pixels, then in kUnit-ths of a pixel.
        const int64_t num = (2 * int64_t(i) + 1) * nSource - nTarget;
        const int64_t pos = num < 0 ? 0 : num * kUnit / (2 * int64_t(nTarget));  // left of the first centre: the edge
        int64_t j = pos / kUnit;
        unsigned frac = static_cast<unsigned>(pos % kUnit);
        if (j >= int64_t(nSource) - 1) {
            j = nSource - 1;
            frac = 0;
        }
        pTaps->first.push_back(static_cast<uint32_t>(j));
        pTaps->weights[size_t(i) * 2] = static_cast<uint16_t>(kUnit - frac);
        pTaps->weights[size_t(i) * 2 + 1] = static_cast<uint16_t>(frac);
    }
}

}  // namespace

void CPictureResampler::MakeTaps(unsigned nSource, unsigned nTarget, Taps* pTaps)
{
    *pTaps = Taps();
    if (nSource == 0 || nTarget == 0)
        return;
    if (nSource > nTarget)
        AreaTaps(nSource, nTarget, pTaps);
    else
        LinearTaps(nSource, nTarget, pTaps);
}

// Across one row that the vertical pass left in 16 bits: the weights add up to
// kUnit again, so each sum is below 2^24 and the result is its top 8 bits.
template <unsigned kWidth, unsigned kPixelBytes>
void CPictureResampler::ResampleRow(const uint16_t* pRow, uint32_t* pOut) const
{
    const unsigned nWidth = kWidth ? kWidth : m_x.nWidth;
    const unsigned nPixelBytes = kPixelBytes;
    const uint16_t* w = m_x.weights.data();
    for (unsigned x = 0; x < m_tw; ++x, w += nWidth) {
        const uint16_t* p = pRow + size_t(m_x.first[x]) * nPixelBytes;
        uint32_t b = 0, g = 0, r = 0;
        for (unsigned k = 0; k < nWidth; ++k, p += nPixelBytes) {
            b += uint32_t(p[0]) * w[k];
            g += uint32_t(p[1]) * w[k];
            r += uint32_t(p[2]) * w[k];
        }
        const uint32_t half = 1u << 15;  // of kUnit * kUnit
        pOut[x] = ((r + half) >> 16) << 16 | ((g + half) >> 16) << 8 | ((b + half) >> 16);
    }
}

// Fixed tap counts and pixel sizes let the compiler unroll the common cases.
template <unsigned kPixelBytes>
void CPictureResampler::ResampleRowOf(const uint16_t* pRow, uint32_t* pOut) const
{
    switch (m_x.nWidth) {
    case 2: ResampleRow<2, kPixelBytes>(pRow, pOut); break;
    case 3: ResampleRow<3, kPixelBytes>(pRow, pOut); break;
    default: ResampleRow<0, kPixelBytes>(pRow, pOut); break;
    }
}

void CPictureResampler::Resample(const uint8_t* pSource, unsigned sw, unsigned sh,
                                 size_t nSourceStride, unsigned nPixelBytes, uint32_t* pTarget,
                                 unsigned tw, unsigned th)
{
    if (sw == 0 || sh == 0 || tw == 0 || th == 0 || (nPixelBytes != 3 && nPixelBytes != 4))
        return;
    if (sw != m_sw || tw != m_tw) {
        MakeTaps(sw, tw, &m_x);
        m_sw = sw;
        m_tw = tw;
    }
    if (sh != m_sh || th != m_th) {
        MakeTaps(sh, th, &m_y);
        m_sh = sh;
        m_th = th;
    }
    const size_t nRowBytes = size_t(sw) * nPixelBytes;
    // Zeros after the row, for the horizontal taps of weight 0 past its end;
    // the passes below never write there, so they are made once per size.
    const size_t nRowSize = nRowBytes + size_t(m_x.nWidth) * nPixelBytes;
    if (m_row.size() != nRowSize)
        m_row.assign(nRowSize, 0);
    uint16_t* const row = m_row.data();
    for (unsigned y = 0; y < th; ++y) {
        // Down whole rows first: the weights add up to kUnit, so each sum is at
        // most 255 * 256 and fits 16 bits. Taps past the last row (of weight 0)
        // are not read.
        const uint16_t* wy = &m_y.weights[size_t(y) * m_y.nWidth];
        const uint8_t* src = pSource + size_t(m_y.first[y]) * nSourceStride;
        const unsigned nTaps = std::min(m_y.nWidth, sh - m_y.first[y]);
        for (size_t i = 0; i < nRowBytes; ++i)
            row[i] = static_cast<uint16_t>(src[i] * wy[0]);
        for (unsigned k = 1; k < nTaps; ++k) {
            src += nSourceStride;
            const uint16_t w = wy[k];
            for (size_t i = 0; i < nRowBytes; ++i)
                row[i] = static_cast<uint16_t>(row[i] + src[i] * w);
        }
        uint32_t* out = pTarget + size_t(y) * tw;
        if (nPixelBytes == 3)
            ResampleRowOf<3>(row, out);
        else
            ResampleRowOf<4>(row, out);
    }
}
