// dvrtool's commands, callable in-process (main.cpp only hands them its arguments).
#pragma once

#include "tools/options.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rec {
enum class Error;
}

namespace dvrtool {

// Exit codes.
enum {
    kExitOk = 0,
    kExitUsage = 1,
    kExitUnreadable = 2,  // missing or unreadable file
    kExitNotRecording = 3,
    kExitDamaged = 4,      // too damaged to open
    kExitFailed = 5,       // ffmpeg or writing failed
    kExitNoCamera = 6,     // a camera asked for is not in the recording
    kExitOutOfRange = 7,   // a stretch of time outside the recording
    kExitNoFfmpeg = 8,     // no ffmpeg to run
    kExitNotVerified = 1,  // verify: the export does not match
    // search says 1 when it found nothing and verify when the export does not match, so their
    // own bad command lines are:
    kExitBadArguments = 9,
    kExitBadRegion = 10,  // a region outside the camera's picture
};

// One command, defined in a file of its own: its name, its part of the usage text, the options
// it knows (each takes a value) and what it does with them.
struct Command {
    const char* name;
    const char* usage;
    std::vector<std::string> options;
    int (*run)(const Options& options, std::FILE* out, std::FILE* err);
    std::vector<std::string> flags = {};  // options that take no value
    int usageExit = kExitUsage;           // for a command line it cannot read
};

extern const Command kMakeCommand;    // make.cpp: a recording from ordinary video files
extern const Command kSynthCommand;   // synth.cpp: a synthetic test recording
extern const Command kInfoCommand;    // info.cpp: what a recording holds
extern const Command kExportCommand;  // export.cpp: an MP4 to hand over
extern const Command kClipCommand;    // clip.cpp: a lossless clip with its manifest
extern const Command kVerifyCommand;  // verify.cpp: an export against its manifest and source
extern const Command kSearchCommand;  // search.cpp: motion in a region of a camera

// The exit code for a recording that would not open.
int exitCodeOf(rec::Error error);

// args[0] names the command.
int run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
void printHelp(std::FILE* out);

// The intervals (seconds, [begin, end)) in which a camera's box moves in a synthetic recording
// of the given length: two per camera, different for each camera.
struct Interval {
    double begin, end;
};
std::vector<Interval> synthIntervals(int camera, double seconds);

}  // namespace dvrtool
