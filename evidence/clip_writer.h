// A lossless clip: a stretch of a recording written as a recording of its own, the original
// JPEG frames byte for byte (clip_plan.h says which), with its manifest and NAME.sha256. It is
// written to NAME.partial and renamed when whole; a failure or a cancel leaves nothing behind.
#pragma once

#include "evidence/clip_plan.h"
#include "evidence/manifest.h"
#include "evidence/sha256.h"

#include <cstdint>
#include <functional>
#include <string>

namespace evidence {

struct ClipRequest {
    std::string sourcePath;  // the recording, open in the reader given with it
    std::string outPath;
    ClipRange range;
    std::string program;  // who makes it, for the manifest
};

// Bytes of frames written so far, out of all; returning false cancels.
using ClipProgress = std::function<bool(uint64_t done, uint64_t total)>;

struct ClipResult {
    bool ok = false;
    bool cancelled = false;
    bool emptyStretch = false;  // no picture of the cameras asked for in the range, or it is inverted
    std::string why;            // on failure
    Manifest manifest;
};

ClipResult writeClip(const rec::Recording& source, const ClipRequest& request, const ClipProgress& progress);

// Writes NAME.manifest.json and NAME.sha256 (the export's and the manifest's hashes) beside an
// export that is already whole; manifest.file is filled in. False, both removed, when either
// cannot be written.
bool writeManifestFiles(const std::string& exportPath, Manifest& manifest, std::string& why);
// The same, the export's hash already made.
bool writeManifestFiles(const std::string& exportPath, const Digest& exportDigest, Manifest& manifest, std::string& why);

// A manifest of an export made elsewhere (an MP4) from the range of source: the source, the
// range, and the pictures of each camera it was made from. False with why when unreadable.
bool describeExport(const std::string& sourcePath, const rec::Recording& source, const ClipRange& range,
                    const std::string& program, Manifest& manifest, std::string& why);

}  // namespace evidence
