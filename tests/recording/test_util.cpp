#include "test_util.h"

#include "recording/bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace rectest {

Bytes fakeJpeg(int camera, size_t index) {
    size_t n = 20 + (index * 7 + size_t(camera) * 3) % 41;
    Bytes b = {0xFF, 0xD8};
    for (size_t i = 0; i < n; i++) b.push_back(uint8_t(camera * 31 + index * 13 + i));
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

Sample makeSample(const std::vector<int>& cameras, const std::vector<size_t>& counts) {
    Sample s;
    for (size_t i = 0; i < cameras.size(); i++) {
        s.specs.push_back({cameras[i], uint32_t(160 + 16 * i), uint32_t(120 + 8 * i)});
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

Bytes writeSample(const Sample& s, const rec::WriterOptions& o, const std::string& path) {
    rec::Writer w;
    rec::Status st = w.open(path, s.specs, o);
    EXPECT_TRUE(st) << st.reason;
    size_t most = 0;
    for (auto& f : s.frames) most = std::max(most, f.size());
    for (size_t k = 0; k < most; k++)
        for (size_t i = 0; i < s.frames.size(); i++)
            if (k < s.frames[i].size()) {
                EXPECT_TRUE(w.addFrame(i, s.frames[i][k].data(), s.frames[i][k].size()));
            }
    w.setStartTime(s.start);
    w.setSourceBlock(s.source);
    w.setMotionBlock(s.motion);
    w.setGpiBlock(s.gpi);
    st = w.close();
    EXPECT_TRUE(st) << st.reason;
    return readAll(path);
}

std::string tempPath(const std::string& name) {
    std::string dir = ::testing::TempDir();
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + "rec_" + std::to_string(getpid()) + "_" + name;
}

Bytes readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const Bytes& b) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

void expectSane(const rec::Recording& r) {
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

std::vector<size_t> chunkOffsets(const Bytes& b) {
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

size_t findTag(const Bytes& b, const char* tag, size_t from) {
    for (size_t i = from; i + 4 <= b.size(); i++)
        if (std::equal(tag, tag + 4, b.begin() + long(i))) return i;
    return std::string::npos;
}

bool haveProgram(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

static std::string capture(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::map<int, std::vector<int64_t>> probePacketTimes(const std::string& path) {
    std::map<int, std::vector<int64_t>> m;
    std::istringstream in(capture("ffprobe -v error -show_entries packet=stream_index,pts_time -of csv=p=0 '" +
                                  path + "'"));
    std::string line;
    while (std::getline(in, line)) {
        int st = 0;
        double t = 0;
        if (std::sscanf(line.c_str(), "%d,%lf", &st, &t) == 2) m[st].push_back(int64_t(std::llround(t * 1000)));
    }
    return m;
}

std::map<int, long> probeFrameCounts(const std::string& path) {
    std::map<int, long> m;
    std::istringstream in(capture("ffprobe -v error -count_frames -show_entries stream=index,nb_read_frames -of csv=p=0 '" +
                                  path + "'"));
    std::string line;
    while (std::getline(in, line)) {
        int st = 0;
        long n = 0;
        if (std::sscanf(line.c_str(), "%d,%ld", &st, &n) == 2) m[st] = n;
    }
    return m;
}

int runShell(const std::string& cmd) { return std::system(cmd.c_str()); }

}  // namespace rectest
