#include "tools/ffmpeg.h"

#include <cstdlib>

namespace dvrtool {

std::string ffmpegProgram() {
    const char* name = std::getenv("DVRTOOL_FFMPEG");
    return name && *name ? name : "ffmpeg";
}

std::string frameRate(const PictureFormat& format) {
    return std::to_string(format.rate) + "/" + std::to_string(format.scale);
}

FfmpegArgs::FfmpegArgs() : m_args{ffmpegProgram(), "-v", "error", "-nostdin"} {}

FfmpegArgs& FfmpegArgs::inputFile(const std::string& path, double seconds) {
    m_args.insert(m_args.end(), {"-i", path});
    if (seconds > 0) m_args.insert(m_args.end(), {"-t", std::to_string(seconds)});
    return *this;
}

FfmpegArgs& FfmpegArgs::generated(const std::string& source) {
    m_args.insert(m_args.end(), {"-f", "lavfi", "-i", source});
    return *this;
}

FfmpegArgs& FfmpegArgs::resampled(const PictureFormat& format, uint32_t width, uint32_t height) {
    m_args.insert(m_args.end(), {"-an", "-vf",
                                 "fps=" + frameRate(format) + ",scale=" + std::to_string(width) + ":" +
                                     std::to_string(height)});
    return *this;
}

FfmpegArgs& FfmpegArgs::filterGraph(const std::string& graph) {
    m_args.insert(m_args.end(), {"-filter_complex", graph});
    return *this;
}

FfmpegArgs& FfmpegArgs::jpegPictures(int quality) {
    m_args.insert(m_args.end(), {"-pix_fmt", "yuvj420p", "-c:v", "mjpeg", "-q:v", std::to_string(quality), "-f",
                                 "image2pipe", "-"});
    return *this;
}

FfmpegArgs& FfmpegArgs::grayFrames() {
    m_args.insert(m_args.end(), {"-pix_fmt", "gray", "-f", "rawvideo", "-"});
    return *this;
}

bool startFfmpeg(Pipe& pipe, const FfmpegArgs& command, std::FILE* err) {
    if (pipe.open(command.args())) return true;
    std::fprintf(err, "dvrtool: cannot start ffmpeg\n");
    return false;
}

}  // namespace dvrtool
