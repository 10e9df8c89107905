// Checks an export against its NAME.sha256 and manifest and, given the source recording, a clip
// frame by frame against the source: what differs is named by camera, time and kind (changed,
// added, dropped, reordered).
#pragma once

#include <string>
#include <vector>

namespace evidence {

enum class Verdict {
    Verified,
    NotVerified,
    Unreadable,  // the export, its manifest files or the source cannot be read
};

struct VerifyReport {
    Verdict verdict = Verdict::Verified;
    std::vector<std::string> problems;  // one line each, what differs
    std::string error;                  // why, when Unreadable
};

VerifyReport verifyExport(const std::string& path, const std::string& sourcePath);

}  // namespace evidence
