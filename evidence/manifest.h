// What an export says about itself, for anyone to check: NAME.manifest.json beside it, and
// NAME.sha256 in the form `sha256sum -c` reads, covering the export and its manifest.
#pragma once

#include "domain/camera_set.h"

#include <cstdint>
#include <string>
#include <vector>

namespace evidence {

struct CameraFrames {
    int camera = 0;
    uint64_t count = 0;   // pictures, empty slots not counted
    int64_t firstMs = 0;  // first and last picture, from the source's start
    int64_t lastMs = 0;
    std::string sha256;  // of the pictures' bytes in order
};

struct Manifest {
    std::string file;  // the export's own name, without a folder
    std::string kind;  // "clip" or "mp4"
    std::string sourcePath;
    uint64_t sourceSize = 0;
    std::string sourceSha256;
    int32_t sourceStartOfDay = 0;  // ms; the range's times of day count from it
    int64_t fromMs = 0;            // the stretch asked for, from the source's start
    int64_t toMs = 0;
    domain::CameraMask cameras = 0;
    std::vector<CameraFrames> frames;
    std::string program;
    std::string version;
    std::string created;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
};

std::string manifestJson(const Manifest& manifest);
// Reads what manifestJson writes; false when a field is missing or malformed.
bool parseManifest(const std::string& json, Manifest& manifest);

// The time now as Manifest::created wants it.
std::string utcNow();
// The program's version, as the build knows it.
const char* programVersion();

struct HashLine {
    std::string sha256;
    std::string file;
};
std::string sha256Lines(const std::vector<HashLine>& lines);
bool parseSha256Lines(const std::string& text, std::vector<HashLine>& lines);

}  // namespace evidence
