// Running dvrtool and ffmpeg from the tools' tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

inline std::string temp(const std::string& name)
{
    return ::testing::TempDir() + "/dvrtool_" + std::to_string(getpid()) + "_" + name;
}

inline int runTool(const std::string& args, std::string* out = nullptr)
{
    std::string cmd = std::string(DVRTOOL_PATH) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    int st = pclose(p);
    if (out) *out = text;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Runs dvrtool with $DVRTOOL_FFMPEG naming another program.
inline int runToolWithFfmpeg(const std::string& ffmpeg, const std::string& args, std::string* out = nullptr)
{
    setenv("DVRTOOL_FFMPEG", ffmpeg.c_str(), 1);
    int code = runTool(args, out);
    unsetenv("DVRTOOL_FFMPEG");
    return code;
}

inline bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

inline bool haveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") == 0; }

inline std::map<int, long> probeFrames(const std::string& path)
{
    std::map<int, long> m;
    FILE* p = popen(("ffprobe -v error -count_frames -show_entries stream=index,nb_frames,nb_read_frames -of csv=p=0 '" +
                     path + "'")
                        .c_str(),
                    "r");
    int st;
    long nb, rd;
    while (p && fscanf(p, "%d,%ld,%ld", &st, &nb, &rd) == 3) {
        EXPECT_EQ(nb, rd) << "stream " << st;
        m[st] = rd;
    }
    if (p) pclose(p);
    return m;
}

}  // namespace

namespace {

// One picture of a video as 8-bit gray, width x height bytes: the first at or after `seconds`
// of the stream `map` ("0:1") names. Empty if ffmpeg gives less.
inline std::vector<uint8_t> grayPicture(const std::string& path, const std::string& map, double seconds,
                                        size_t width, size_t height)
{
    std::string cmd = "ffmpeg -v error -nostdin -i '" + path + "' -map " + map + " -ss " + std::to_string(seconds) +
                      " -frames:v 1 -pix_fmt gray -f rawvideo - 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::vector<uint8_t> picture(width * height);
    size_t got = p ? fread(picture.data(), 1, picture.size(), p) : 0;
    if (p) pclose(p);
    if (got != picture.size()) picture.clear();
    return picture;
}

// Mean of a rectangle [x0, x1) x [y0, y1) of a gray picture `width` wide.
inline double meanOf(const std::vector<uint8_t>& picture, size_t width, size_t x0, size_t y0, size_t x1, size_t y1)
{
    double sum = 0;
    for (size_t y = y0; y < y1; y++)
        for (size_t x = x0; x < x1; x++) sum += picture[y * width + x];
    return sum / double((x1 - x0) * (y1 - y0));
}

// Mean absolute difference of two gray pictures over a rectangle.
inline double differenceOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t width, size_t x0,
                           size_t y0, size_t x1, size_t y1)
{
    double sum = 0;
    for (size_t y = y0; y < y1; y++)
        for (size_t x = x0; x < x1; x++) sum += std::abs(int(a[y * width + x]) - int(b[y * width + x]));
    return sum / double((x1 - x0) * (y1 - y0));
}

}  // namespace
