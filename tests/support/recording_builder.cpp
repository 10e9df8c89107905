#include "tests/support/recording_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace rectest {

rec::Status writeRecording(const Sample& s, const rec::WriterOptions& o, const std::string& path)
{
    rec::Writer w;
    rec::Status st = w.open(path, s.streams, o);
    size_t count = 0;
    if (s.frameCount)
        count = *s.frameCount;
    else
        for (const auto& own : s.frames) count = std::max(count, own.size());
    for (size_t k = 0; st && k < count; k++) {
        for (size_t i = 0; st && i < s.frames.size(); i++) {
            const std::vector<Bytes>& own = s.frames[i];
            if (own.empty() || (!s.frameCount && k >= own.size())) continue;
            const Bytes& frame = own[std::min(k, own.size() - 1)];
            st = w.addFrame(i, frame.data(), frame.size());
        }
    }
    w.setStartTime(s.start);
    w.setSourceBlock(s.source);
    w.setMotionBlock(s.motion);
    w.setGpiBlock(s.gpi);
    rec::Status closed = w.close();
    return st ? closed : st;
}

Bytes writeSample(const Sample& s, const rec::WriterOptions& o, const std::string& path)
{
    rec::Status st = writeRecording(s, o, path);
    EXPECT_TRUE(st) << st.reason;
    return readAll(path);
}

Bytes fakeJpeg(int camera, size_t index)
{
    size_t n = 20 + (index * 7 + size_t(camera) * 3) % 41;
    Bytes b = {0xFF, 0xD8};
    for (size_t i = 0; i < n; i++) b.push_back(uint8_t(camera * 31 + index * 13 + i));
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

Sample makeSample(const std::vector<int>& cameras, const std::vector<size_t>& counts)
{
    Sample s;
    for (size_t i = 0; i < cameras.size(); i++) {
        s.streams.push_back({cameras[i], uint32_t(160 + 16 * i), uint32_t(120 + 8 * i)});
        std::vector<Bytes> f;
        for (size_t k = 0; k < counts[i]; k++) f.push_back(fakeJpeg(cameras[i], k));
        s.frames.push_back(f);
    }
    s.start = {2024, 3, 5, ((10 * 60 + 20) * 60 + 30) * 1000 + 456};
    for (size_t i = 0; i < cameras.size(); i++) {
        rec::addSourceEvent(s.source, 2 + i, cameras[i]);
        rec::setMotionLevel(s.motion, 5 * i + 1, cameras[i], uint8_t(50 + i));
    }
    rec::setMotionLevel(s.motion, 999, 16, 255);
    rec::setGpiValue(s.gpi, 7, -12345);
    rec::setGpiValue(s.gpi, 1999, 100);
    return s;
}

std::string tempPath(const std::string& name)
{
    // Random rather than the process id: ids come round again, and a file an
    // earlier process left behind would stand in for one that must not exist.
    static const std::string token = [] {
        std::random_device device;
        char text[20];
        std::snprintf(text, sizeof text, "%08x%08x", unsigned(device()), unsigned(device()));
        return std::string(text);
    }();
    std::string dir = ::testing::TempDir();
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir + "rec_" + token + "_" + name;
}

TempFile::TempFile(const std::string& suffix)
{
    static std::atomic<unsigned> made{0};
    m_path = tempPath(std::to_string(++made) + suffix);
}

TempFile::~TempFile() { std::remove(m_path.c_str()); }

Bytes readAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool writeAll(const std::string& path, const void* data, size_t size)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(static_cast<const char*>(data), std::streamsize(size));
    f.close();
    return !f.fail();
}

bool writeAll(const std::string& path, const Bytes& b) { return writeAll(path, b.data(), b.size()); }

}  // namespace rectest
