// The few file operations an export needs beyond reading and writing (UTF-8 paths).
#pragma once

#include <string>

namespace evidence {

bool removeFile(const std::string& path);
// Moves from over to, replacing what is there.
bool replaceFile(const std::string& from, const std::string& to);
// The whole text written and closed; false (and nothing left) otherwise.
bool writeTextFile(const std::string& path, const std::string& text);
bool readTextFile(const std::string& path, std::string& text);
// The file opens for reading.
bool canRead(const std::string& path);

}  // namespace evidence
