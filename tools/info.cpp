// dvrtool info: what a recording holds, as the reader sees it.
#include "tools/commands.h"

#include "recording/recording.h"

#include "domain/camera_set.h"
#include "domain/event_type.h"
#include "domain/time_of_day.h"

#include <algorithm>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  info [--events] FILE\n"
    "      Cameras, sizes, frame counts, duration, start time, events and damage.\n"
    "      --events also lists every slot with an event: its time of day and cameras.\n";

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

// One line a slot with an event: "  14:32:07  Source  cameras 3,5", "  14:32:09  GPI  100".
void listEvents(const rec::Recording& recording, std::FILE* out)
{
    const int64_t start = recording.startTime().msOfDay;
    auto line = [&](domain::EventType type, size_t slot, const std::string& what) {
        std::fprintf(out, "  %s  %s  %s\n",
                     domain::FormatTimeOfDay(start + domain::SlotOffsetMs(type, int64_t(slot)), domain::Precision::Seconds)
                         .c_str(),
                     domain::EventTypeName(type), what.c_str());
    };
    auto cameras = [](domain::CameraMask mask) {
        return (domain::CameraCount(mask) > 1 ? "cameras " : "camera ") + domain::FormatCameraSet(mask);
    };
    std::fprintf(out, "event slots:\n");
    const rec::SourceBlock& source = recording.sourceBlock();
    for (size_t slot = 0; slot < rec::blockCount(source.data()); slot++)
        if (rec::sourceStatus(source, slot) < 0 && rec::sourceMask(source, slot))
            line(domain::EventType::Source, slot, cameras(rec::sourceMask(source, slot)));
    const rec::MotionBlock& motion = recording.motionBlock();
    for (size_t slot = 0; slot < rec::blockCount(motion.data()); slot++) {
        domain::CameraMask mask = 0;
        for (int camera = 1; camera <= domain::kMaxCameras; camera++)
            if (rec::motionLevel(motion, slot, camera)) mask |= domain::CameraBit(camera);
        if (mask) line(domain::EventType::Motion, slot, cameras(mask));
    }
    const rec::GpiBlock& gpi = recording.gpiBlock();
    for (size_t slot = 0; slot < rec::blockCount(gpi.data()); slot++)
        if (rec::gpiValue(gpi, slot)) line(domain::EventType::Gpi, slot, std::to_string(rec::gpiValue(gpi, slot)));
}

int runInfo(const Options& options, std::FILE* out, std::FILE* err)
{
    const bool events = options.positional.size() == 2 && options.positional[0] == "--events";
    if (options.positional.size() != (events ? 2u : 1u)) {
        std::fprintf(err, "dvrtool info: needs one FILE\n");
        return kExitUsage;
    }
    const std::string& path = options.positional.back();
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
    if (events) listEvents(recording, out);
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

// No options taking a value: every word but a leading --events is a FILE, even one that
// begins with '-'.
const Command kInfoCommand = {"info", kUsage, {}, runInfo};

}  // namespace dvrtool
