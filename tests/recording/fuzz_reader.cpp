// libFuzzer target: open from memory, then read every frame as the decoder would.
#include "recording/recording.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    rec::Recording r;
    if (!r.openMemory(data, size)) return 0;
    std::vector<uint8_t> buf;
    for (const rec::Stream& s : r.streams()) {
        for (const rec::Frame& f : s.frames) {
            if (f.offset + f.size > r.fileSize()) __builtin_trap();
            r.readFrame(f, buf);
        }
        s.frameAt(s.durationMs() / 2);
    }
    return 0;
}
