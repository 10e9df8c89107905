// Made footage for motion searches: a textured background that never moves,
// camera noise on every frame, boxes that move through chosen areas at chosen
// times, and changes of the whole picture's brightness. Native only: the
// frames are encoded by TurboJPEG.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "recording/recording.h"
#include "tests/support/recording_builder.h"

namespace scene {

struct Rect {
    unsigned x, y, w, h;
};

// A dark box of size x size crossing area back and forth from beginS to endS.
struct Mover {
    double beginS, endS;
    Rect area;
    unsigned size = 24;
};

// The whole picture's brightness going by delta grey levels from beginS to endS, and staying.
struct Ramp {
    double beginS, endS;
    int delta;
};

struct Scene {
    unsigned width = 320, height = 240;
    int subsampling = 0;  // TJSAMP_*
    unsigned fps = 10;
    double seconds = 60;
    double noise = 3;  // standard deviation, grey levels
    std::vector<Mover> movers;
    std::vector<Ramp> ramps;
    int camera = 1;
};

// The JPEG of frame index.
rectest::Bytes Frame(const Scene& s, size_t index);
// A recording of the scene (and of others, as more cameras of the same length), written to path.
void Write(const std::vector<Scene>& cameras, const std::string& path, rec::StartTime start = {2024, 3, 5, 36000000});

}  // namespace scene
