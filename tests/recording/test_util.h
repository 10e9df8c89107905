// Helpers for the recording tests: small recordings made by the writer, file bytes, ffprobe.
#pragma once

#include "recording/recording.h"
#include "recording/writer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rectest {

using Bytes = std::vector<uint8_t>;

// A fake picture: SOI, bytes that depend on camera and index, EOI; odd and even sizes.
Bytes fakeJpeg(int camera, size_t index);

struct Sample {
    std::vector<rec::StreamSpec> specs;
    std::vector<std::vector<Bytes>> frames;  // per stream, as written
    rec::StartTime start;
    rec::SourceBlock source{};
    rec::MotionBlock motion{};
    rec::GpiBlock gpi{};
};

// Cameras with the given frame counts, events in a few slots, start 2024-03-05 10:20:30.456.
Sample makeSample(const std::vector<int>& cameras, const std::vector<size_t>& counts);
// Writes it, frames interleaved by index; returns the file's bytes.
Bytes writeSample(const Sample& s, const rec::WriterOptions& o, const std::string& path);

std::string tempPath(const std::string& name);
Bytes readAll(const std::string& path);
void writeAll(const std::string& path, const Bytes& b);

// Checks that hold for any successful open: frames inside the file, readable, times rising.
void expectSane(const rec::Recording& r);

// Offsets of every chunk header in a RIFF file (walking lists), for damaging them.
std::vector<size_t> chunkOffsets(const Bytes& b);
size_t findTag(const Bytes& b, const char* tag, size_t from = 0);

// ffprobe's packets per stream: presentation times in ms; empty map when ffprobe is missing.
bool haveProgram(const char* name);
std::map<int, std::vector<int64_t>> probePacketTimes(const std::string& path);
// ffprobe -count_frames: decoded frames per stream.
std::map<int, long> probeFrameCounts(const std::string& path);
int runShell(const std::string& cmd);

}  // namespace rectest
