#include "tools/jpegsplit.h"

#include <algorithm>

namespace dvrtool {

long jpegLength(const uint8_t* bytes, size_t size)
{
    if (size < 2) return 0;
    if (bytes[0] != 0xFF || bytes[1] != 0xD8) return -1;
    size_t pos = 2;
    for (;;) {
        if (pos + 2 > size) return 0;
        if (bytes[pos] != 0xFF) return -1;
        uint8_t marker = bytes[pos + 1];
        if (marker == 0xFF) {  // fill byte
            pos++;
            continue;
        }
        if (marker == 0xD9) return long(pos + 2);
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2;
            continue;
        }
        if (pos + 4 > size) return 0;
        size_t length = size_t(bytes[pos + 2]) << 8 | bytes[pos + 3];
        if (length < 2) return -1;
        if (pos + 2 + length > size) return 0;
        pos += 2 + length;
        if (marker != 0xDA) continue;
        // Entropy-coded data: ends at the first marker that is neither a stuffed 0 nor a restart.
        for (;;) {
            if (pos + 1 >= size) return 0;
            if (bytes[pos] != 0xFF) {
                pos++;
                continue;
            }
            uint8_t next = bytes[pos + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) pos += 2;
            else if (next == 0xFF) pos++;
            else break;
        }
    }
}

bool jpegSize(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height)
{
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (bytes[pos] != 0xFF) return false;
        uint8_t marker = bytes[pos + 1];
        if (marker == 0xFF) {
            pos++;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2;
            continue;
        }
        size_t length = size_t(bytes[pos + 2]) << 8 | bytes[pos + 3];
        if (length < 2 || pos + 2 + length > size) return false;
        // Start of frame, any coding but the table and colour-space markers sharing the range.
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return false;
            height = uint32_t(bytes[pos + 5]) << 8 | bytes[pos + 6];
            width = uint32_t(bytes[pos + 7]) << 8 | bytes[pos + 8];
            return width > 0 && height > 0;
        }
        pos += 2 + length;
    }
    return false;
}

void JpegSplitter::feed(const uint8_t* bytes, size_t size)
{
    if (m_pos > 0 && m_pos >= m_buf.size() / 2) {
        m_buf.erase(m_buf.begin(), m_buf.begin() + long(m_pos));
        m_pos = 0;
    }
    m_buf.insert(m_buf.end(), bytes, bytes + size);
}

bool JpegSplitter::next(std::vector<uint8_t>& out)
{
    for (;;) {
        size_t avail = m_buf.size() - m_pos;
        long length = jpegLength(m_buf.data() + m_pos, avail);
        if (length > 0) {
            out.assign(m_buf.begin() + long(m_pos), m_buf.begin() + long(m_pos) + length);
            m_pos += size_t(length);
            return true;
        }
        if (length == 0) return false;
        // Not a picture here: go to the next start of image.
        size_t start = m_pos + 1;
        while (start + 1 < m_buf.size() && !(m_buf[start] == 0xFF && m_buf[start + 1] == 0xD8)) start++;
        if (start + 1 >= m_buf.size()) start = m_buf.size() - (m_buf.back() == 0xFF ? 1 : 0);
        m_skipped += start - m_pos;
        m_pos = start;
    }
}

}  // namespace dvrtool
