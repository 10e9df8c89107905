// The native tests' outside programs: ffmpeg and ffprobe, through the shell.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rectest {

bool haveProgram(const char* name);
int runShell(const std::string& cmd);
// ffprobe's packets per stream: presentation times in ms; empty map when ffprobe is missing.
std::map<int, std::vector<int64_t>> probePacketTimes(const std::string& path);
// ffprobe -count_frames: decoded frames per stream.
std::map<int, long> probeFrameCounts(const std::string& path);

}  // namespace rectest
