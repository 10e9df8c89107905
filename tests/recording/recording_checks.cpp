#include "tests/recording/recording_checks.h"

#include "recording/bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rectest {

void expectSane(const rec::Recording& r)
{
    uint32_t mask = 0;
    for (const rec::Stream& s : r.streams()) {
        EXPECT_GE(s.camera, 1);
        EXPECT_LE(s.camera, 16);
        EXPECT_EQ(mask & (1u << (s.camera - 1)), 0u) << "camera twice";
        mask |= 1u << (s.camera - 1);
        EXPECT_GT(s.rate, 0u);
        EXPECT_GT(s.scale, 0u);
        int64_t last = -1;
        Bytes buf;
        for (const rec::Frame& f : s.frames) {
            EXPECT_LE(f.offset + f.size, r.fileSize());
            EXPECT_GE(f.timeMs, last);
            last = f.timeMs;
            EXPECT_TRUE(r.readFrame(f, buf));
            EXPECT_EQ(buf.size(), f.size);
        }
    }
    EXPECT_EQ(mask, r.cameraMask());
    for (const uint8_t* b : {r.sourceBlock().data(), r.motionBlock().data()}) EXPECT_LE(rec::blockCount(b), 1000);
    EXPECT_LE(rec::blockCount(r.gpiBlock().data()), 2000);
}

std::vector<size_t> chunkOffsets(const Bytes& b)
{
    std::vector<size_t> out;
    // Lists to descend: RIFF and LIST; everything else is a leaf.
    std::vector<std::pair<size_t, size_t>> todo = {{0, b.size()}};
    while (!todo.empty()) {
        auto [pos, end] = todo.back();
        todo.pop_back();
        while (pos + 8 <= end) {
            out.push_back(pos);
            uint32_t id = rec::rd32(&b[pos]), size = rec::rd32(&b[pos + 4]);
            size_t cend = std::min<size_t>(end, pos + 8 + size_t(size));
            if ((id == rec::fourcc("RIFF") || id == rec::fourcc("LIST")) && pos + 12 <= cend)
                todo.push_back({pos + 12, cend});
            pos = cend + (size & 1);
        }
    }
    return out;
}

size_t findTag(const Bytes& b, const char* tag, size_t from)
{
    for (size_t i = from; i + 4 <= b.size(); i++)
        if (std::equal(tag, tag + 4, b.begin() + long(i))) return i;
    return std::string::npos;
}

}  // namespace rectest
