#include "tools/ffmpeg.h"

#include "tools/jpegsplit.h"

#include "domain/time_of_day.h"

#include <cstdlib>
#include <cstring>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace dvrtool {

std::string ffmpegProgram()
{
    const char* name = std::getenv("DVRTOOL_FFMPEG");
#ifdef _WIN32
    const char* program = "ffmpeg.exe";
#else
    const char* program = "ffmpeg";
#endif
    return name && *name ? name : program;
}

#ifdef _WIN32
// ffmpeg.exe on the PATH, or the program named with a folder.
bool ffmpegFound()
{
    std::string program = ffmpegProgram();
    auto runnable = [](const std::string& file) {
        return _access(file.c_str(), 0) == 0;
    };
    if (program.find_first_of("/\\") != std::string::npos) return runnable(program);
    const char* path = std::getenv("PATH");
    std::string dirs = std::string(".;") + (path ? path : "");
    for (size_t begin = 0;;) {
        size_t end = dirs.find(';', begin);
        std::string dir = dirs.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        if (!dir.empty() && runnable(dir + "\\" + program)) return true;
        if (end == std::string::npos) return false;
        begin = end + 1;
    }
}
#else
bool ffmpegFound()
{
    std::string program = ffmpegProgram();
    if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    for (;;) {
        size_t end = dirs.find(':', begin);
        std::string dir = dirs.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        if (dir.empty()) dir = ".";
        if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) return false;
        begin = end + 1;
    }
}
#endif

bool requireFfmpeg(const char* command, std::FILE* err)
{
    if (ffmpegFound()) return true;
    std::fprintf(err, "dvrtool %s: ffmpeg not found (%s); install it or name it in $DVRTOOL_FFMPEG\n", command,
                 ffmpegProgram().c_str());
    return false;
}

std::string frameRate(const PictureFormat& format)
{
    return std::to_string(format.rate) + "/" + std::to_string(format.scale);
}

FfmpegArgs::FfmpegArgs() : m_args{ffmpegProgram(), "-v", "error", "-nostdin"} {}

FfmpegArgs& FfmpegArgs::inputFile(const std::string& path, double seconds)
{
    m_args.insert(m_args.end(), {"-i", path});
    if (seconds > 0) m_args.insert(m_args.end(), {"-t", std::to_string(seconds)});
    return *this;
}

FfmpegArgs& FfmpegArgs::generated(const std::string& source)
{
    m_args.insert(m_args.end(), {"-f", "lavfi", "-i", source});
    return *this;
}

FfmpegArgs& FfmpegArgs::resampled(const PictureFormat& format, uint32_t width, uint32_t height)
{
    m_args.insert(m_args.end(), {"-an", "-vf",
                                 "fps=" + frameRate(format) + ",scale=" + std::to_string(width) + ":" +
                                     std::to_string(height)});
    return *this;
}

FfmpegArgs& FfmpegArgs::fitted(const PictureFormat& format, const Placement& place)
{
    std::string graph = "fps=" + frameRate(format) + ",scale=" + std::to_string(place.inner.width) + ":" +
                        std::to_string(place.inner.height) + ",setsar=1";
    if (!(place.inner == place.outer))
        graph += ",pad=" + std::to_string(place.outer.width) + ":" + std::to_string(place.outer.height) + ":" +
                 std::to_string(place.x) + ":" + std::to_string(place.y) + ":black";
    m_args.insert(m_args.end(), {"-an", "-vf", graph});
    return *this;
}

FfmpegArgs& FfmpegArgs::add(const std::vector<std::string>& args)
{
    m_args.insert(m_args.end(), args.begin(), args.end());
    return *this;
}

FfmpegArgs& FfmpegArgs::filterGraph(const std::string& graph)
{
    m_args.insert(m_args.end(), {"-filter_complex", graph});
    return *this;
}

FfmpegArgs& FfmpegArgs::jpegPictures(int quality)
{
    m_args.insert(m_args.end(), {"-pix_fmt", "yuvj420p", "-c:v", "mjpeg", "-q:v", std::to_string(quality), "-f",
                                 "image2pipe", "-"});
    return *this;
}

FfmpegArgs& FfmpegArgs::firstPicture()
{
    m_args.insert(m_args.end(), {"-an", "-frames:v", "1", "-pix_fmt", "yuvj444p", "-c:v", "mjpeg", "-f", "image2pipe", "-"});
    return *this;
}

FfmpegArgs& FfmpegArgs::grayFrames()
{
    m_args.insert(m_args.end(), {"-pix_fmt", "gray", "-f", "rawvideo", "-"});
    return *this;
}

bool startFfmpeg(Pipe& pipe, const FfmpegArgs& command, std::FILE* err)
{
    if (pipe.open(command.args())) return true;
    std::fprintf(err, "dvrtool: cannot start ffmpeg\n");
    return false;
}

bool probePictureSize(const std::string& path, Size& size)
{
    Pipe pipe;
    if (!pipe.open(FfmpegArgs().inputFile(path, 0).firstPicture().args())) return false;
    JpegSplitter splitter;
    std::vector<uint8_t> picture;
    uint8_t buf[65536];
    bool found = false;
    while (!found) {
        size_t got = pipe.read(buf, sizeof buf);
        if (got == 0) break;
        splitter.feed(buf, got);
        found = splitter.next(picture);
    }
    bool ok = pipe.close();
    return found && ok && jpegSize(picture.data(), picture.size(), size.width, size.height);
}

double probeSeconds(const std::string& path)
{
    // ffmpeg with an input and no output prints the input's header, then fails for want of an
    // output: only the header is wanted.
    Pipe pipe;
    if (!pipe.open({ffmpegProgram(), "-hide_banner", "-nostdin", "-i", path}, true)) return 0;
    std::string text;
    char buf[4096];
    size_t got;
    while ((got = pipe.read(buf, sizeof buf)) > 0) text.append(buf, got);
    pipe.close();
    // "Duration: 00:01:30.04, start: ...", or "Duration: N/A" when the input does not say.
    const char kDuration[] = "Duration: ";
    size_t at = text.find(kDuration);
    if (at == std::string::npos) return 0;
    at += sizeof kDuration - 1;
    int64_t ms = 0;
    if (!domain::ParseClock(text.substr(at, text.find_first_of(", \r\n", at) - at), 3, ms)) return 0;
    return ms / 1000.0;
}

}  // namespace dvrtool
