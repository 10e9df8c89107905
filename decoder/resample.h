// Resizing a decoded picture to the size of its tile.
//
// Shrinking averages the source pixels each target pixel covers (area
// averaging, so that a 2:1 view loses no detail to aliasing); enlarging
// interpolates linearly between the nearest source pixels. Both are separable,
// in 8-bit fixed point, and the weights are worked out once for each pair of
// sizes: a view's tiles keep their size from picture to picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class CPictureResampler {
public:
    // pSource: sw x sh pixels of nPixelBytes (3 or 4) bytes, blue, green and red
    // first, nSourceStride bytes a row.
    // pTarget: tw x th pixels, each 0x00RRGGBB (the layout of a 32-bit DIB).
    // Any size may be 0, when nothing is written; so is anything for another pixel size.
    void Resample(const uint8_t* pSource, unsigned sw, unsigned sh, size_t nSourceStride,
                  unsigned nPixelBytes, uint32_t* pTarget, unsigned tw, unsigned th);

    static const unsigned kUnit = 256;  // what the weights of a pixel add up to

    // The weights of one axis. Target pixel i takes nWidth source pixels from
    // first[i], weighed by weights[i * nWidth + k], which add up to kUnit; a
    // pixel that needs fewer has weights of 0 at the end.
    struct Taps {
        unsigned nWidth = 0;
        std::vector<uint32_t> first;
        std::vector<uint16_t> weights;
    };

private:
    static void MakeTaps(unsigned nSource, unsigned nTarget, Taps* pTaps);
    template <unsigned kPixelBytes>
    void ResampleRowOf(const uint16_t* pRow, uint32_t* pOut) const;
    template <unsigned kWidth, unsigned kPixelBytes>
    void ResampleRow(const uint16_t* pRow, uint32_t* pOut) const;

    unsigned m_sw = 0, m_tw = 0, m_sh = 0, m_th = 0;
    Taps m_x, m_y;
    std::vector<uint16_t> m_row;  // one source-wide row, weighted over its vertical taps
};
