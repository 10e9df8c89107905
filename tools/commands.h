// dvrtool's commands, callable in-process (main.cpp is only the dispatch).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace dvrtool {

// Exit codes.
enum {
    kExitOk = 0,
    kExitUsage = 1,
    kExitUnreadable = 2,    // missing or unreadable file
    kExitNotRecording = 3,
    kExitDamaged = 4,       // too damaged to open
    kExitFailed = 5,        // ffmpeg or writing failed
};

int run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
void printHelp(std::FILE* out);

// The intervals (seconds, [begin, end)) in which camera cam's box moves in a synthetic
// recording of the given length: two per camera, different for each camera.
struct Interval { double begin, end; };
std::vector<Interval> synthIntervals(int cam, double seconds);

// "5", "12.5" or "30000/1001" as rate/scale; false if not a positive rate.
bool parseFps(const std::string& s, uint32_t& rate, uint32_t& scale);
bool parseSize(const std::string& s, uint32_t& w, uint32_t& h);

}  // namespace dvrtool
