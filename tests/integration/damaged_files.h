// A good small recording and the damaged files made from its bytes.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "tests/support/test_recording.h"

// The colours of the good recording's cameras 1, 3 and 7, to find in the picture.
extern const COLORREF kCameraColors[3];

// Three sparse cameras, 2 s at 25 frames a second, with events in every block.
TestRecordingPlan GoodRecording();

// What opening a file must come to.
enum class Outcome {
    Refused,  // the open fails; the control says why
    Plays,    // the open succeeds and playback goes on
    Either,   // one or the other, each complete
};

struct DamagedFile {
    std::string name;  // what was done to it, for failure messages
    std::vector<uint8_t> bytes;
    Outcome outcome;
};

// Offsets of every chunk with that four-character code (its header), in file order.
std::vector<size_t> FindChunks(const std::vector<uint8_t>& bytes, const char* fourcc);

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
// Overwrites [from, to) with bytes of a fixed pseudo-random sequence.
void Scramble(std::vector<uint8_t>& bytes, size_t from, size_t to, uint32_t seed);

// The families of damage, each from the good file's bytes. good is its path (the
// reader finds its frames).
std::vector<DamagedFile> Truncations(const std::vector<uint8_t>& good);
std::vector<DamagedFile> HeaderDamage(const std::vector<uint8_t>& good);
std::vector<DamagedFile> IndexDamage(const std::vector<uint8_t>& good);
std::vector<DamagedFile> FrameDamage(const std::string& goodPath, const std::vector<uint8_t>& good);
std::vector<DamagedFile> DvrxDamage(const std::vector<uint8_t>& good);
std::vector<DamagedFile> NotRecordings();

// A path of exactly nLength characters in the temporary directory, ending in ".d01".
std::string LongTempPath(size_t nLength);
