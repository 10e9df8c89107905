// Resizing a decoded picture to the size of its tile.
//
// Shrinking averages the source pixels each target pixel covers (area
// averaging, so that a 2:1 view loses no detail to aliasing); enlarging
// interpolates linearly between the nearest source pixels. Both are separable,
// in fixed point: down the rows first, into a row of 16-bit channels, then
// across it. The weights are worked out once for each pair of sizes (a view's
// tiles keep their size from picture to picture), and on x86 the pass across
// takes two taps of all four channels in one SSE2 multiply-add. Doubling, one
// camera of a file's own size in a window twice as large, has a path of its
// own that gives the same pixels without looking weights up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class CPictureResampler {
public:
    // pSource: sw x sh pixels of 4 bytes (blue, green, red, unused), as the
    // frame decoder writes them, nSourceStride bytes a row.
    // pTarget: tw x th pixels, each 0xFFRRGGBB (the layout of a 32-bit DIB,
    // opaque, as the frame decoder leaves the pixels it does not resample).
    // When any size is 0 nothing is written.
    void Resample(const uint8_t* pSource, unsigned sw, unsigned sh, size_t nSourceStride, uint32_t* pTarget,
                  unsigned tw, unsigned th);

    static const unsigned kUnit = 256;  // what the weights of a pixel add up to

    // The weights of one axis. Target pixel i takes nWidth source pixels from
    // first[i], weighed by weights[i * nWidth + k], which add up to kUnit; a
    // pixel that needs fewer has weights of 0 at the end. nWidth is even, so
    // that the taps go in pairs.
    struct Taps {
        unsigned nWidth = 0;
        std::vector<uint32_t> first;
        std::vector<int16_t> weights;
    };

private:
    static void MakeTaps(unsigned nSource, unsigned nTarget, Taps* pTaps);
    void WeighRowsDown(const uint8_t* pSource, size_t nSourceStride, unsigned sh, unsigned y);
    void WeighAcross(uint32_t* pOut) const;
    void Double(const uint8_t* pSource, unsigned sw, unsigned sh, size_t nSourceStride, uint32_t* pTarget);

    unsigned m_sw = 0, m_tw = 0, m_sh = 0, m_th = 0;
    Taps m_x, m_y;
    // m_x's weights in pairs, four times over: one 16-byte multiply-add operand
    // a pair, in the order the pass across takes them.
    std::vector<int32_t> m_xPairs;
    // One source-wide row weighed over its vertical taps, at half scale so that
    // every channel fits a signed 16 bits (255 * kUnit / 2), with zeros after it
    // for the horizontal taps of weight 0 past its end.
    std::vector<int16_t> m_row;
    // For doubling: one source row weighed down, an edge pixel repeated at
    // each end.
    std::vector<uint16_t> m_doubled;
};
