#include "decoder/resample.h"
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(CPictureResampler::kUnit == 256, "the sums below rely on weights of 8 bits");

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
    pTaps->nWidth += pTaps->nWidth % 2;  // taps go in pairs
    pTaps->weights.assign(size_t(nTarget) * pTaps->nWidth, 0);
    for (unsigned i = 0; i < nTarget; ++i) {
        const uint64_t lo = i * span, hi = lo + span;
        const uint32_t first = firstOf(i), last = lastOf(i);
        pTaps->first.push_back(first);
        int16_t* w = &pTaps->weights[size_t(i) * pTaps->nWidth];
        unsigned nGiven = 0;
        for (uint32_t j = first; j <= last; ++j) {
            const uint64_t a = std::max<uint64_t>(lo, uint64_t(j) * nTarget);
            const uint64_t b = std::min<uint64_t>(hi, uint64_t(j + 1) * nTarget);
            // Rounded down; what rounding left over goes to the last tap.
            const unsigned share = j == last ? kUnit - nGiven : static_cast<unsigned>((b - a) * kUnit / span);
            w[j - first] = static_cast<int16_t>(share);
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
        pTaps->weights[size_t(i) * 2] = static_cast<int16_t>(kUnit - frac);
        pTaps->weights[size_t(i) * 2 + 1] = static_cast<int16_t>(frac);
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

// Down the rows of target row y: each channel's weighed sum is at most
// 255 * kUnit, which fits 16 bits unsigned, and is kept halved, as a signed
// 16 bits for the multiply-add across. Taps past the last row (of weight 0)
// are not read.
void CPictureResampler::WeighRowsDown(const uint8_t* pSource, size_t nSourceStride, unsigned sh, unsigned y)
{
    const int16_t* wy = &m_y.weights[size_t(y) * m_y.nWidth];
    const uint8_t* src = pSource + size_t(m_y.first[y]) * nSourceStride;
    const unsigned nTaps = std::min(m_y.nWidth, sh - m_y.first[y]);
    const size_t nChannels = size_t(m_sw) * 4;
    uint16_t* const sum = reinterpret_cast<uint16_t*>(m_row.data());
    const uint16_t w0 = static_cast<uint16_t>(wy[0]);
    if (nTaps == 2) {  // enlarging, or the same height: one pass
        const uint8_t* next = src + nSourceStride;
        const uint16_t w1 = static_cast<uint16_t>(wy[1]);
        for (size_t i = 0; i < nChannels; ++i)
            sum[i] = static_cast<uint16_t>(uint16_t(src[i] * w0 + next[i] * w1) >> 1);
        return;
    }
    for (size_t i = 0; i < nChannels; ++i)
        sum[i] = static_cast<uint16_t>(src[i] * w0);
    for (unsigned k = 1; k < nTaps; ++k) {
        src += nSourceStride;
        const uint16_t w = static_cast<uint16_t>(wy[k]);
        for (size_t i = 0; i < nChannels; ++i)
            sum[i] = static_cast<uint16_t>(sum[i] + src[i] * w);
    }
    for (size_t i = 0; i < nChannels; ++i)
        sum[i] = static_cast<uint16_t>(sum[i] >> 1);
}

// Across the row: the weights add up to kUnit again, so each channel's sum is
// at most 255 * kUnit / 2 * kUnit, below 2^23, and the result is that over 2^15.
void CPictureResampler::WeighAcross(uint32_t* pOut) const
{
    const unsigned nWidth = m_x.nWidth;
    const int16_t* const row = m_row.data();
#if defined(__SSE2__)
    // Two neighbouring pixels (b0 g0 r0 x0 b1 g1 r1 x1) become (b0 b1 g0 g1 r0
    // r1 x0 x1), and one multiply-add with a pair of weights weighs both into
    // each channel. Four target pixels are packed and stored at a time.
    const __m128i* const pairs = reinterpret_cast<const __m128i*>(m_xPairs.data());
    const __m128i round = _mm_set1_epi32(1 << 14);
    auto weighPair = [&](const int16_t* p, const __m128i* pWeights) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i channels = _mm_unpacklo_epi16(pixels, _mm_srli_si128(pixels, 8));
        return _mm_madd_epi16(channels, _mm_loadu_si128(pWeights));
    };
    auto pixel = [&](unsigned x) {
        const int16_t* p = row + size_t(m_x.first[x]) * 4;
        const __m128i* pWeights = pairs + size_t(x) * (nWidth / 2);
        __m128i sum = _mm_add_epi32(round, weighPair(p, pWeights));
        for (unsigned k = 2; k < nWidth; k += 2)  // none when enlarging, or shrinking up to 2:1
            sum = _mm_add_epi32(sum, weighPair(p + k * 4, pWeights + k / 2));
        return _mm_srai_epi32(sum, 15);
    };
    const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000));
    unsigned x = 0;
    for (; x + 4 <= m_tw; x += 4) {
        const __m128i a = pixel(x), b = pixel(x + 1), c = pixel(x + 2), d = pixel(x + 3);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + x), _mm_or_si128(bytes, opaque));
    }
    for (; x < m_tw; ++x) {
        const __m128i a = pixel(x);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, a), a);
        pOut[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) | 0xFF000000;
    }
#else
    const int16_t* w = m_x.weights.data();
    for (unsigned x = 0; x < m_tw; ++x, w += nWidth) {
        const int16_t* p = row + size_t(m_x.first[x]) * 4;
        int32_t b = 0, g = 0, r = 0;
        for (unsigned k = 0; k < nWidth; ++k, p += 4) {
            b += p[0] * w[k];
            g += p[1] * w[k];
            r += p[2] * w[k];
        }
        auto channel = [](int32_t v) { return uint32_t(std::min((v + (1 << 14)) >> 15, 255)); };
        pOut[x] = 0xFF000000 | channel(r) << 16 | channel(g) << 8 | channel(b);
    }
#endif
}

// Twice the size: each target pixel lies a quarter of a source pixel from the
// nearest one, so both axes weigh 3 of the nearer pixel and 1 of the other,
// the edge pixels repeated; these are the general path's weights exactly
// (192 and 64 of kUnit), with the same rounding: (sum + 8) / 16. Each sum is at
// most 16 * 255 and fits 16 bits.
void CPictureResampler::Double(const uint8_t* pSource, unsigned sw, unsigned sh, size_t nSourceStride,
                               uint32_t* pTarget)
{
    const size_t nChannels = size_t(sw) * 4;
    m_doubled.resize(nChannels + 8);
    uint16_t* const row = m_doubled.data() + 4;
    for (unsigned ty = 0; ty < 2 * sh; ++ty) {
        const unsigned y = ty / 2;
        const unsigned other = ty % 2 ? std::min(y + 1, sh - 1) : (y ? y - 1 : 0);
        const uint8_t* const nearer = pSource + size_t(y) * nSourceStride;
        const uint8_t* const farther = pSource + size_t(other) * nSourceStride;
        size_t i = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= nChannels; i += 16) {
            const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(nearer + i));
            const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(farther + i));
            const __m128i nLo = _mm_unpacklo_epi8(n, zero), nHi = _mm_unpackhi_epi8(n, zero);
            const __m128i lo = _mm_add_epi16(_mm_add_epi16(nLo, _mm_add_epi16(nLo, nLo)), _mm_unpacklo_epi8(f, zero));
            const __m128i hi = _mm_add_epi16(_mm_add_epi16(nHi, _mm_add_epi16(nHi, nHi)), _mm_unpackhi_epi8(f, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 8), hi);
        }
#endif
        for (; i < nChannels; ++i)
            row[i] = static_cast<uint16_t>(3 * nearer[i] + farther[i]);
        for (unsigned c = 0; c < 4; ++c) {
            row[int(c) - 4] = row[c];
            row[nChannels + c] = row[nChannels - 4 + c];
        }

        uint32_t* const out = pTarget + size_t(ty) * 2 * sw;
        unsigned x = 0;
#if defined(__SSE2__)
        // Two source pixels make four target pixels: (even, odd) of each.
        const __m128i eight = _mm_set1_epi16(8);
        const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000));
        for (; x + 2 <= sw; x += 2) {
            const uint16_t* p = row + size_t(x) * 4;
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 4));
            const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4));
            const __m128i c3 = _mm_add_epi16(_mm_add_epi16(c, c), _mm_add_epi16(c, eight));
            const __m128i even = _mm_srli_epi16(_mm_add_epi16(c3, l), 4);
            const __m128i odd = _mm_srli_epi16(_mm_add_epi16(c3, r), 4);
            const __m128i bytes = _mm_packus_epi16(_mm_unpacklo_epi64(even, odd), _mm_unpackhi_epi64(even, odd));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_or_si128(bytes, opaque));
        }
#endif
        for (; x < sw; ++x) {
            const uint16_t* p = row + size_t(x) * 4;
            uint32_t even = 0xFF000000, odd = 0xFF000000;
            for (unsigned ch = 0; ch < 3; ++ch) {
                even |= uint32_t((3 * p[ch] + p[int(ch) - 4] + 8) >> 4) << (8 * ch);
                odd |= uint32_t((3 * p[ch] + p[ch + 4] + 8) >> 4) << (8 * ch);
            }
            out[2 * x] = even;
            out[2 * x + 1] = odd;
        }
    }
}

void CPictureResampler::Resample(const uint8_t* pSource, unsigned sw, unsigned sh, size_t nSourceStride,
                                 uint32_t* pTarget, unsigned tw, unsigned th)
{
    if (sw == 0 || sh == 0 || tw == 0 || th == 0)
        return;
    if (tw == 2 * sw && th == 2 * sh) {
        Double(pSource, sw, sh, nSourceStride, pTarget);
        return;
    }
    if (sw != m_sw || tw != m_tw) {
        MakeTaps(sw, tw, &m_x);
        m_sw = sw;
        m_tw = tw;
        // Each pair of horizontal weights as the multiply-add takes it: (w0 w1)
        // for each of the four channels.
        m_xPairs.clear();
        for (size_t i = 0; i + 1 < m_x.weights.size(); i += 2) {
            const int32_t pair = int32_t(uint16_t(m_x.weights[i]) | uint32_t(uint16_t(m_x.weights[i + 1])) << 16);
            m_xPairs.insert(m_xPairs.end(), {pair, pair, pair, pair});
        }
        // Zeros after the row, read by the last pixels' taps of weight 0; the
        // passes never write there, so they are made once per size.
        m_row.assign((size_t(sw) + m_x.nWidth + 2) * 4, 0);
    }
    if (sh != m_sh || th != m_th) {
        MakeTaps(sh, th, &m_y);
        m_sh = sh;
        m_th = th;
    }
    for (unsigned y = 0; y < th; ++y) {
        WeighRowsDown(pSource, nSourceStride, sh, y);
        WeighAcross(pTarget + size_t(y) * tw);
    }
}
