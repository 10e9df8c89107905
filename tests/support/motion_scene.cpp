#include "tests/support/motion_scene.h"
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <cmath>
#include <random>

namespace scene {

namespace {

uint8_t Clamp(double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255
                                                             : v); }

// Where a mover's box is at time t: across the area and back, once a 4 s.
bool BoxAt(const Mover& m, double t, unsigned* px, unsigned* py)
{
    if (t < m.beginS || t >= m.endS)
        return false;
    const double phase = std::fmod((t - m.beginS) / 4.0, 1.0);
    const double along = phase < 0.5 ? phase * 2 : 2 - phase * 2;
    *px = m.area.x + unsigned(along * (m.area.w - m.size));
    *py = m.area.y + unsigned(along * (m.area.h - m.size));
    return true;
}

// The background without light or noise: the same for every frame, made once.
const std::vector<double>& Background(const Scene& s)
{
    static std::vector<double> cached;
    static unsigned w = 0, h = 0;
    static int camera = 0;
    if (w != s.width || h != s.height || camera != s.camera || cached.empty()) {
        w = s.width, h = s.height, camera = s.camera;
        cached.resize(size_t(w) * h);
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x)
                cached[size_t(y) * w + x] =
                    110 + 40 * std::sin(x / 13.0 + camera) * std::cos(y / 9.0) + ((x / 32 + y / 32) % 2) * 20;
    }
    return cached;
}

// Gaussian noise of deviation 1, drawn once; frames take it from different places.
const std::vector<double>& NoiseTable()
{
    static const std::vector<double> table = [] {
        std::mt19937 random(1);
        std::normal_distribution<double> normal(0, 1);
        std::vector<double> values(1 << 16);
        for (double& v : values)
            v = normal(random);
        return values;
    }();
    return table;
}

double Brightness(const Scene& s, double t)
{
    double delta = 0;
    for (const Ramp& r : s.ramps)
        delta += t <= r.beginS ? 0 : t >= r.endS ? r.delta
                                                 : r.delta * (t - r.beginS) / (r.endS - r.beginS);
    return delta;
}

}  // namespace

rectest::Bytes Frame(const Scene& s, size_t index)
{
    const double t = double(index) / s.fps;
    const std::vector<double>& base = Background(s);
    const std::vector<double>& noise = NoiseTable();
    // A stride prime to the table's size, and a start of the frame's own.
    const size_t stride = 40503, start = index * 2654435761u + size_t(s.camera) * 97;
    const double light = Brightness(s, t);
    std::vector<uint8_t> rgb(base.size() * 3);
    for (size_t i = 0; i < base.size(); ++i) {
        const double v = base[i] + light + s.noise * noise[(start + i * stride) & 0xFFFF];
        uint8_t* p = &rgb[i * 3];
        p[0] = Clamp(v + 10), p[1] = Clamp(v), p[2] = Clamp(v - 10);
    }
    for (const Mover& m : s.movers) {
        unsigned bx = 0, by = 0;
        if (!BoxAt(m, t, &bx, &by))
            continue;
        for (unsigned y = by; y < by + m.size && y < s.height; ++y)
            for (unsigned x = bx; x < bx + m.size && x < s.width; ++x) {
                uint8_t* p = &rgb[(size_t(y) * s.width + x) * 3];
                p[0] = 20, p[1] = 30, p[2] = 200;
            }
    }
    tjhandle handle = tjInitCompress();
    unsigned char* pOut = nullptr;
    unsigned long nOut = 0;
    rectest::Bytes jpeg;
    if (tjCompress2(handle, rgb.data(), int(s.width), 0, int(s.height), TJPF_RGB, &pOut, &nOut, s.subsampling, 80,
                    0) == 0)
        jpeg.assign(pOut, pOut + nOut);
    tjFree(pOut);
    tjDestroy(handle);
    return jpeg;
}

void Write(const std::vector<Scene>& cameras, const std::string& path, rec::StartTime start)
{
    rectest::Sample sample;
    sample.start = start;
    for (const Scene& s : cameras) {
        sample.streams.push_back({s.camera, s.width, s.height});
        std::vector<rectest::Bytes> frames;
        for (size_t i = 0; i < size_t(s.seconds * s.fps); ++i)
            frames.push_back(Frame(s, i));
        sample.frames.push_back(std::move(frames));
    }
    rec::WriterOptions options;
    options.rate = cameras.at(0).fps;
    const rec::Status status = rectest::writeRecording(sample, options, path);
    EXPECT_TRUE(status) << status.reason;
}

}  // namespace scene
