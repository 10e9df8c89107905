// Splits a byte stream of concatenated JPEG pictures (ffmpeg's image2pipe) into pictures,
// by walking the marker segments, so that a 0xFFD9 inside a segment cannot end a picture early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dvrtool {

// Length of the complete JPEG at bytes[0..size): > 0 when complete, 0 when more bytes are
// needed, -1 when bytes do not hold a well-formed JPEG start.
long jpegLength(const uint8_t* bytes, size_t size);

class JpegSplitter {
public:
    void feed(const uint8_t* bytes, size_t size);
    // Moves the next complete picture into out; false if none is complete yet. Bytes that are
    // not part of a picture are skipped (and counted).
    bool next(std::vector<uint8_t>& out);
    size_t skipped() const { return m_skipped; }
    size_t pending() const { return m_buf.size() - m_pos; }

private:
    std::vector<uint8_t> m_buf;
    size_t m_pos = 0;
    size_t m_skipped = 0;
};

}  // namespace dvrtool
