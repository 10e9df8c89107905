// What the tests of frame decoding compare with: ffmpeg's decode of the same
// frames, through its own filters, and the difference of two pictures.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/support/external_tools.h"
#include "tests/support/recording_builder.h"

namespace frametest {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;  // 0x00RRGGBB

// Files made by one test, removed at its end.
class CScratch {
public:
    ~CScratch()
    {
        for (const std::string& path : m_paths)
            std::remove(path.c_str());
    }
    std::string Path(const std::string& name)
    {
        m_paths.push_back(rectest::tempPath(std::to_string(m_paths.size()) + name));
        return m_paths.back();
    }

private:
    std::vector<std::string> m_paths;
};

inline bool Ffmpeg(const std::string& args) { return rectest::runShell("ffmpeg -v error -nostdin -y " + args) == 0; }

// The test picture: testsrc2's bars, text and noise as sharp detail in the
// luma, under smooth chroma as a camera's is, all of it inside the RGB gamut.
// (testsrc2's own pixel-sharp saturated colour edges would measure how the two
// decoders' chroma upsampling filters differ, not how well either decodes.)
// testsrc2 makes even sizes only: it is cropped to w x h.
inline std::string TestSource(unsigned w, unsigned h)
{
    return "-f lavfi -i \"testsrc2=size=" + std::to_string(w + w % 2) + "x" + std::to_string(h + h % 2) +
           ",format=yuv444p,geq=lum='64+lum(X,Y)/2':cb='128+30*sin(X/37+Y/53)':cr='128+30*cos(X/41-Y/29)'" +
           ",format=rgb24,crop=" + std::to_string(w) + ":" + std::to_string(h) + ":0:0\"";
}

// ffmpeg's decode of the frame, through a filter.
inline Pixels FfmpegDecode(CScratch& scratch, const Bytes& jpeg, const std::string& filter)
{
    const std::string in = scratch.Path("in.jpg"), out = scratch.Path("out.bgra");
    rectest::writeAll(in, jpeg);
    if (!Ffmpeg("-i " + in + " -vf " + filter + " -f rawvideo -pix_fmt bgra " + out))
        return Pixels();
    const Bytes bgra = rectest::readAll(out);
    Pixels pixels(bgra.size() / 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(bgra[4 * i + 2]) << 16 | uint32_t(bgra[4 * i + 1]) << 8 | bgra[4 * i];
    return pixels;
}

// Per channel (red, green, blue): peak signal to noise in dB, and the mean absolute difference.
struct Difference {
    double psnr[3];
    double mean[3];
    double WorstPsnr() const { return std::min({psnr[0], psnr[1], psnr[2]}); }
    double WorstMean() const { return std::max({mean[0], mean[1], mean[2]}); }
};

inline Difference Compare(const Pixels& a, const Pixels& b)
{
    Difference d{};
    double squares[3] = {}, sums[3] = {};
    for (size_t i = 0; i < a.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const int diff = int(a[i] >> (16 - 8 * c) & 0xFF) - int(b[i] >> (16 - 8 * c) & 0xFF);
            squares[c] += double(diff) * diff;
            sums[c] += std::abs(diff);
        }
    for (int c = 0; c < 3; ++c) {
        const double mse = squares[c] / double(a.size());
        d.psnr[c] = mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
        d.mean[c] = sums[c] / double(a.size());
    }
    return d;
}

}  // namespace frametest
