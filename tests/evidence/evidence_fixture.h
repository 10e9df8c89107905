// Sources written from stand-in pictures, and clips of them, for the evidence tests.
#pragma once

#include "evidence/clip_writer.h"
#include "tests/support/recording_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace evtest {

using rectest::Bytes;

// 10:20:30.456 on 2024-03-05.
constexpr int32_t kStartOfDay = ((10 * 60 + 20) * 60 + 30) * 1000 + 456;

inline rectest::Sample twoCameras(size_t frames)
{
    rectest::Sample s;
    s.start = {2024, 3, 5, kStartOfDay};
    for (int camera : {1, 2}) {
        s.streams.push_back({camera, 320, 240});
        std::vector<Bytes> own;
        for (size_t k = 0; k < frames; k++) own.push_back(rectest::fakeJpeg(camera, k));
        s.frames.push_back(own);
    }
    rec::setMotionLevel(s.motion, 2, 1, 40);
    return s;
}

inline rec::WriterOptions fourPerSecond()
{
    rec::WriterOptions o;
    o.rate = 4;
    return o;
}

inline evidence::ClipResult clipOf(const std::string& source, const std::string& out, evidence::ClipRange range,
                                   const evidence::ClipProgress& progress = nullptr)
{
    rec::Recording recording;
    EXPECT_TRUE(recording.open(source));
    return evidence::writeClip(recording, {source, out, range, "test"}, progress);
}

inline bool exists(const std::string& path) { return !rectest::readAll(path).empty(); }

// A clip read back as a sample, to be tampered with and written again.
inline rectest::Sample sampleOf(const std::string& path)
{
    rec::Recording r;
    EXPECT_TRUE(r.open(path));
    rectest::Sample s;
    s.start = r.startTime();
    s.source = r.sourceBlock();
    s.motion = r.motionBlock();
    s.gpi = r.gpiBlock();
    for (const rec::Stream& stream : r.streams()) {
        s.streams.push_back({stream.camera, stream.width, stream.height, stream.rate, stream.scale});
        std::vector<Bytes> own;
        for (const rec::Frame& f : stream.frames) {
            own.emplace_back();
            r.readFrame(f, own.back());
        }
        s.frames.push_back(own);
    }
    return s;
}

}  // namespace evtest
