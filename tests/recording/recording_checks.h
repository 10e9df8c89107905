// Checks of the reader's tests: what holds for any recording opened, and where
// a file's chunks are, for damaging them.
#pragma once

#include "recording/recording.h"
#include "tests/support/recording_builder.h"

#include <cstddef>
#include <vector>

namespace rectest {

// Checks that hold for any successful open: frames inside the file, readable, times rising.
void expectSane(const rec::Recording& r);

// Offsets of every chunk header in a RIFF file (walking lists), for damaging them.
std::vector<size_t> chunkOffsets(const Bytes& b);
size_t findTag(const Bytes& b, const char* tag, size_t from = 0);

}  // namespace rectest
