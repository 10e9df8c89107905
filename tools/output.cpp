#include "tools/output.h"

#include "tools/jpegsplit.h"
#include "tools/pipe.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace dvrtool {

namespace {

// One camera's ffmpeg while it runs.
struct Feed {
    Pipe pipe;
    JpegSplitter splitter;
    uint64_t pictures = 0;
    bool done = false;
};

// Reads the next picture from a pipe into picture; false at the end.
bool nextPicture(Pipe& pipe, JpegSplitter& splitter, std::vector<uint8_t>& picture)
{
    uint8_t buf[65536];
    while (!splitter.next(picture)) {
        size_t got = pipe.read(buf, sizeof buf);
        if (got == 0) return false;
        splitter.feed(buf, got);
    }
    return true;
}

// Raises a block's count so that it covers the recording's length.
void coverDuration(uint8_t* block, int64_t ms, int64_t slotMs, size_t slots)
{
    int64_t used = (ms + slotMs - 1) / slotMs;
    if (used > int64_t(slots)) used = int64_t(slots);
    if (rec::blockCount(block) < used) rec::setBlockCount(block, uint16_t(used));
}

}  // namespace

RecordingOutput::RecordingOutput(const std::string& command, std::FILE* err) : m_command(command), m_err(err) {}

std::FILE* RecordingOutput::messages()
{
    // A message begins a line of its own, not the end of the progress line.
    if (m_progress) m_progress->clear();
    return m_err;
}

RecordingOutput::~RecordingOutput()
{
    if (m_path.empty() || m_finished) return;
    // A file cut short would open as a recording that lost its end, or not at all: better none.
    // Only a regular file: -o /dev/null must outlive a failed run.
    m_writer.close();
    std::error_code ignored;
    if (std::filesystem::is_regular_file(m_path, ignored)) std::remove(m_path.c_str());
}

bool RecordingOutput::writePictures(const std::string& path, const std::vector<CameraFeed>& cameras,
                                    const PictureFormat& format)
{
    std::vector<rec::StreamFormat> streams;
    for (const CameraFeed& camera : cameras) {
        bool own = camera.size.width > 0 && camera.size.height > 0;
        streams.push_back({camera.number, own ? camera.size.width : format.width, own ? camera.size.height : format.height});
    }
    rec::WriterOptions options;
    options.rate = format.rate;
    options.scale = format.scale;
    rec::Status status = m_writer.open(path, streams, options);
    if (!status) {
        std::fprintf(messages(), "dvrtool %s: %s\n", m_command.c_str(), status.reason.c_str());
        return false;
    }
    m_path = path;
    return interleave(cameras, format);
}

// Runs every camera's ffmpeg at once and writes their pictures interleaved, one from each per
// round, so that memory stays small whatever the length.
bool RecordingOutput::interleave(const std::vector<CameraFeed>& cameras, const PictureFormat& format)
{
    std::vector<std::unique_ptr<Feed>> feeds;
    for (const CameraFeed& camera : cameras) {
        feeds.push_back(std::make_unique<Feed>());
        if (!startFfmpeg(feeds.back()->pipe, camera.ffmpeg, m_err)) return false;
    }
    std::vector<uint8_t> picture;
    size_t live = feeds.size();
    uint64_t written = 0;
    while (live > 0) {
        for (size_t i = 0; i < feeds.size(); i++) {
            Feed& feed = *feeds[i];
            if (feed.done) continue;
            if (!nextPicture(feed.pipe, feed.splitter, picture)) {
                feed.done = true;
                live--;
                bool ok = feed.pipe.close();
                if (!ok || feed.pictures == 0) {
                    std::fprintf(messages(), "dvrtool: ffmpeg gave no pictures for camera %d\n", cameras[i].number);
                    return false;
                }
                continue;
            }
            rec::Status status = m_writer.addFrame(i, picture.data(), picture.size());
            if (!status) {
                std::fprintf(messages(), "dvrtool: %s\n", status.reason.c_str());
                return false;
            }
            feed.pictures++;
            written++;
        }
        if (m_progress)
            m_progress->update("pictures, " + std::to_string(cameras.size()) + " camera" +
                                   (cameras.size() == 1 ? "" : "s"),
                               m_expected ? double(written) / double(m_expected) : -1);
    }
    uint64_t most = 0;
    for (const auto& feed : feeds) most = std::max(most, feed->pictures);
    m_durationMs = int64_t(most * format.scale * 1000 / format.rate);
    return true;
}

bool RecordingOutput::finish(const rec::StartTime& start, EventBlocks events)
{
    coverDuration(events.source.data(), m_durationMs, rec::kSourceSlotMs, rec::kSourceSlots);
    coverDuration(events.motion.data(), m_durationMs, rec::kMotionSlotMs, rec::kMotionSlots);
    coverDuration(events.gpi.data(), m_durationMs, rec::kGpiSlotMs, rec::kGpiSlots);
    m_writer.setStartTime(start);
    m_writer.setSourceBlock(events.source);
    m_writer.setMotionBlock(events.motion);
    m_writer.setGpiBlock(events.gpi);
    rec::Status status = m_writer.close();
    if (!status) {
        std::fprintf(messages(), "dvrtool %s: %s\n", m_command.c_str(), status.reason.c_str());
        return false;
    }
    m_finished = true;
    return true;
}

}  // namespace dvrtool
