#include "tools/jpegsplit.h"

#include <algorithm>

namespace dvrtool {

long jpegLength(const uint8_t* p, size_t n) {
    if (n < 2) return 0;
    if (p[0] != 0xFF || p[1] != 0xD8) return -1;
    size_t i = 2;
    for (;;) {
        if (i + 2 > n) return 0;
        if (p[i] != 0xFF) return -1;
        uint8_t m = p[i + 1];
        if (m == 0xFF) {  // fill byte
            i++;
            continue;
        }
        if (m == 0xD9) return long(i + 2);
        if ((m >= 0xD0 && m <= 0xD7) || m == 0x01) {
            i += 2;
            continue;
        }
        if (i + 4 > n) return 0;
        size_t len = size_t(p[i + 2]) << 8 | p[i + 3];
        if (len < 2) return -1;
        if (i + 2 + len > n) return 0;
        i += 2 + len;
        if (m != 0xDA) continue;
        // Entropy-coded data: ends at the first marker that is neither a stuffed 0 nor a restart.
        for (;;) {
            if (i + 1 >= n) return 0;
            if (p[i] != 0xFF) {
                i++;
                continue;
            }
            uint8_t q = p[i + 1];
            if (q == 0x00 || (q >= 0xD0 && q <= 0xD7)) i += 2;
            else if (q == 0xFF) i++;
            else break;
        }
    }
}

void JpegSplitter::feed(const uint8_t* p, size_t n) {
    if (m_pos > 0 && m_pos >= m_buf.size() / 2) {
        m_buf.erase(m_buf.begin(), m_buf.begin() + long(m_pos));
        m_pos = 0;
    }
    m_buf.insert(m_buf.end(), p, p + n);
}

bool JpegSplitter::next(std::vector<uint8_t>& out) {
    for (;;) {
        size_t avail = m_buf.size() - m_pos;
        long len = jpegLength(m_buf.data() + m_pos, avail);
        if (len > 0) {
            out.assign(m_buf.begin() + long(m_pos), m_buf.begin() + long(m_pos) + len);
            m_pos += size_t(len);
            return true;
        }
        if (len == 0) return false;
        // Not a picture here: go to the next start of image.
        size_t k = m_pos + 1;
        while (k + 1 < m_buf.size() && !(m_buf[k] == 0xFF && m_buf[k + 1] == 0xD8)) k++;
        if (k + 1 >= m_buf.size()) k = m_buf.size() - (m_buf.back() == 0xFF ? 1 : 0);
        m_skipped += k - m_pos;
        m_pos = k;
    }
}

}  // namespace dvrtool
