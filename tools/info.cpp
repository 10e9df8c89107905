// dvrtool info: what a recording holds, as the reader sees it.
#include "tools/commands.h"

#include "recording/recording.h"

#include <algorithm>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  info FILE\n"
    "      Cameras, sizes, frame counts, duration, start time, events and damage.\n";

const char* startSourceName(rec::Recording::StartSource source)
{
    switch (source) {
    case rec::Recording::StartSource::Dvrx: return "dvrx";
    case rec::Recording::StartSource::AviDate: return "AVI date";
    case rec::Recording::StartSource::None: break;
    }
    return "none, midnight";
}

void printEvents(const rec::Recording& recording, std::FILE* out)
{
    const rec::SourceBlock& source = recording.sourceBlock();
    const rec::MotionBlock& motion = recording.motionBlock();
    const rec::GpiBlock& gpi = recording.gpiBlock();
    uint16_t sourceSlots = rec::blockCount(source.data()), motionSlots = rec::blockCount(motion.data()),
             gpiSlots = rec::blockCount(gpi.data());
    size_t sourceEvents = 0, motionCameraSlots = 0, gpiValues = 0;
    for (size_t slot = 0; slot < sourceSlots; slot++)
        if (rec::sourceStatus(source, slot) < 0)
            for (uint32_t mask = rec::sourceMask(source, slot); mask; mask &= mask - 1) sourceEvents++;
    for (size_t slot = 0; slot < motionSlots; slot++)
        for (int camera = 1; camera <= 16; camera++)
            if (rec::motionLevel(motion, slot, camera)) motionCameraSlots++;
    for (size_t slot = 0; slot < gpiSlots; slot++)
        if (rec::gpiValue(gpi, slot)) gpiValues++;
    std::fprintf(out, "events: %s\n", recording.hasDvrx() ? "dvrx" : "none (no dvrx chunk)");
    std::fprintf(out, "  source: %u slots, %zu camera events\n", sourceSlots, sourceEvents);
    std::fprintf(out, "  motion: %u slots, %zu camera slots with motion\n", motionSlots, motionCameraSlots);
    std::fprintf(out, "  gpi: %u slots, %zu with a value\n", gpiSlots, gpiValues);
}

int runInfo(const Options& options, std::FILE* out, std::FILE* err)
{
    if (options.positional.size() != 1) {
        std::fprintf(err, "dvrtool info: needs one FILE\n");
        return kExitUsage;
    }
    const std::string& path = options.positional[0];
    rec::Recording recording;
    rec::Status status = recording.open(path);
    if (!status) {
        std::fprintf(err, "dvrtool info: %s: %s\n", path.c_str(), status.reason.c_str());
        return exitCodeOf(status.error);
    }
    std::string start = rec::formatStartTime(recording.startTime());
    std::replace(start.begin(), start.end(), '\t', ' ');
    std::fprintf(out, "file: %s\nsize: %llu bytes\nstart: %s (%s)\nduration: %.3f s\n", path.c_str(),
                 static_cast<unsigned long long>(recording.fileSize()), start.c_str(),
                 startSourceName(recording.startSource()), recording.durationMs() / 1000.0);
    std::fprintf(out, "cameras: %zu (mask 0x%04x)\n", recording.streams().size(), recording.cameraMask());
    for (const rec::Stream& stream : recording.streams())
        std::fprintf(out, "  camera %d: %ux%u, %u/%u fps, %zu frames, %.3f s\n", stream.camera, stream.width,
                     stream.height, stream.rate, stream.scale, stream.frameCount(), stream.durationMs() / 1000.0);
    printEvents(recording, out);
    if (recording.damage().empty()) {
        std::fprintf(out, "damage: none\n");
    } else {
        std::fprintf(out, "damage: %zu\n", recording.damage().size());
        for (const rec::Damage& damage : recording.damage())
            std::fprintf(out, "  at 0x%llx: %s\n", static_cast<unsigned long long>(damage.offset),
                         damage.what.c_str());
    }
    return kExitOk;
}

}  // namespace

int exitCodeOf(rec::Error error)
{
    switch (error) {
    case rec::Error::NotRecording: return kExitNotRecording;
    case rec::Error::Damaged: return kExitDamaged;
    default: return kExitUnreadable;
    }
}

// No options: every word is a FILE, even one that begins with '-'.
const Command kInfoCommand = {"info", kUsage, {}, runInfo};

}  // namespace dvrtool
