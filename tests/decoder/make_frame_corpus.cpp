// Writes the frame fuzzer's seeds: small recordings whose frames are real JPEGs
// of every kind the decoder meets (grey, 4:2:0, 4:2:2, 4:4:4, 4:4:0, restart
// markers, progressive, arithmetic coding), made by libjpeg-turbo's encoder.
// Usage: make_frame_corpus DIR
#include <turbojpeg.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "recording/writer.h"

namespace {

struct FrameShape {
    unsigned w, h;
    int subsampling;
    int flags;
    const char* restart;  // TJ_RESTART: MCU rows between restart markers; null: none
    bool arithmetic;
};

// A picture with flat, graded and busy parts: a gradient, a bright square and
// a pattern, different in each frame.
std::vector<uint8_t> Picture(unsigned w, unsigned h, unsigned seed)
{
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            const bool square = x > w / 3 && x < w / 2 && y > h / 4 && y < h / 2;
            p[0] = uint8_t(square ? 240 : x * 255 / w);
            p[1] = uint8_t(square ? 240 : y * 255 / h);
            p[2] = uint8_t((x * 7 + y * 13 + seed * 31) % 97 + (x / 4 + y / 4 + seed) % 2 * 120);
        }
    return rgb;
}

std::vector<uint8_t> Encode(const FrameShape& shape, unsigned seed)
{
    // The encoder reads these settings from its environment only.
    if (shape.restart)
        setenv("TJ_RESTART", shape.restart, 1);
    else
        unsetenv("TJ_RESTART");
    setenv("TJ_ARITHMETIC", shape.arithmetic ? "1" : "0", 1);
    const std::vector<uint8_t> rgb = Picture(shape.w, shape.h, seed);
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long n = 0;
    std::vector<uint8_t> jpeg;
    if (handle && tjCompress2(handle, rgb.data(), int(shape.w), 0, int(shape.h), TJPF_RGB, &out, &n,
                              shape.subsampling, 75, shape.flags) == 0)
        jpeg.assign(out, out + n);
    else
        std::fprintf(stderr, "make_frame_corpus: %s\n", tjGetErrorStr2(handle));
    tjFree(out);
    if (handle)
        tjDestroy(handle);
    return jpeg;
}

// Two cameras, two frames each.
bool WriteSeed(const std::string& path, const FrameShape& first, const FrameShape& second)
{
    const std::vector<rec::StreamFormat> streams = {{1, first.w, first.h}, {3, second.w, second.h}};
    rec::WriterOptions options;
    options.superIndexEntries = 4;  // keeps the seeds small, as does leaving out the event blocks
    options.writeDvrx = false;
    rec::Writer writer;
    rec::Status status = writer.open(path, streams, options);
    for (unsigned frame = 0; status && frame < 2; ++frame) {
        for (size_t s = 0; status && s < streams.size(); ++s) {
            const std::vector<uint8_t> jpeg = Encode(s == 0 ? first : second, frame * 2 + unsigned(s));
            if (jpeg.empty())
                return false;
            status = writer.addFrame(s, jpeg.data(), jpeg.size());
        }
    }
    const rec::Status closed = writer.close();
    if (!status || !closed)
        std::fprintf(stderr, "make_frame_corpus: %s: %s%s\n", path.c_str(), status.reason.c_str(),
                     closed.reason.c_str());
    return status && closed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_frame_corpus DIR\n");
        return 1;
    }
    const std::string dir = argv[1];
    const struct {
        const char* name;
        FrameShape first, second;
    } seeds[] = {
        {"yuv420_yuv422_restarts.avi", {48, 32, TJSAMP_420, 0, nullptr, false}, {40, 24, TJSAMP_422, 0, "1", false}},
        {"grey_yuv444.avi", {33, 17, TJSAMP_GRAY, 0, nullptr, false}, {24, 16, TJSAMP_444, 0, "2", false}},
        {"progressive_yuv440.avi", {40, 30, TJSAMP_420, TJFLAG_PROGRESSIVE, nullptr, false}, {27, 21, TJSAMP_440, 0, nullptr, false}},
        {"arithmetic.avi", {32, 24, TJSAMP_420, 0, nullptr, true}, {21, 13, TJSAMP_GRAY, TJFLAG_PROGRESSIVE, nullptr, true}},
    };
    bool ok = true;
    for (const auto& seed : seeds)
        ok = WriteSeed(dir + "/" + seed.name, seed.first, seed.second) && ok;
    return ok ? 0 : 1;
}
