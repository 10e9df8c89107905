#include "evidence/frame_compare.h"

#include "domain/time_of_day.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace evidence {

namespace {

struct Pictures {
    FrameAccess access;
    std::vector<const rec::Frame*> frames;  // the pictures only, in order
    int64_t startOfDay;
    std::string timeOf(size_t i) const
    {
        const int64_t ms = frames.empty() ? 0 : frames[std::min(i, frames.size() - 1)]->timeMs;
        return domain::FormatTimeOfDay(startOfDay + ms, domain::Precision::Milliseconds);
    }
};

class Matcher {
public:
    Matcher(Pictures& a, Pictures& b) : m_a(a), m_b(b) {}
    bool equal(size_t i, size_t j)
    {
        if (i >= m_a.frames.size() || j >= m_b.frames.size()) return false;
        const rec::Frame &x = *m_a.frames[i], &y = *m_b.frames[j];
        if (x.size != y.size) return false;
        const uint8_t *p = m_a.access.bytes(x), *q = m_b.access.bytes(y);
        return p && q && std::memcmp(p, q, x.size) == 0;
    }

private:
    Pictures &m_a, &m_b;
};

}  // namespace

void compareCamera(const rec::Recording& source, const FileView& sourceView, const CameraPlan& camera,
                   const rec::Recording& clip, const FileView& clipView, const rec::Stream& clipStream,
                   const Report& report)
{
    Pictures a{{source, sourceView}, {}, source.startTime().msOfDay};
    Pictures b{{clip, clipView}, {}, clip.startTime().msOfDay};
    for (long i = camera.first; i < camera.end; i++)
        if (camera.stream->frames[size_t(i)].size) a.frames.push_back(&camera.stream->frames[size_t(i)]);
    for (const rec::Frame& f : clipStream.frames)
        if (f.size) b.frames.push_back(&f);
    const std::string name = "camera " + std::to_string(camera.camera) + ", ";
    Matcher match(a, b);
    size_t i = 0, j = 0;
    while (i < a.frames.size() && j < b.frames.size()) {
        if (match.equal(i, j)) {
            i++, j++;
        } else if (match.equal(i, j + 1) && match.equal(i + 1, j)) {
            report(name + a.timeOf(i) + ": frames reordered (" + a.timeOf(i + 1) + " comes first)");
            i += 2, j += 2;
        } else if (match.equal(i + 1, j)) {
            report(name + a.timeOf(i) + ": frame dropped");
            i++;
        } else if (match.equal(i, j + 1)) {
            report(name + b.timeOf(j) + ": frame added");
            j++;
        } else {
            report(name + a.timeOf(i) + ": frame changed");
            i++, j++;
        }
    }
    for (; i < a.frames.size(); i++) report(name + a.timeOf(i) + ": frame dropped");
    for (; j < b.frames.size(); j++) report(name + b.timeOf(j) + ": frame added");
}

void compareEvents(const rec::Recording& clip, const ClipEvents& expected, int64_t clipStartOfDay,
                   const Report& report)
{
    auto at = [&](int64_t slotMs, size_t slot) {
        return domain::FormatTimeOfDay(clipStartOfDay + int64_t(slot) * slotMs, domain::Precision::Tenths);
    };
    for (size_t slot = 0; slot < rec::kSourceSlots; slot++) {
        if (rec::sourceMask(clip.sourceBlock(), slot) != rec::sourceMask(expected.source, slot))
            report("Source event at " + at(rec::kSourceSlotMs, slot) + ": changed");
        for (int camera = 1; camera <= int(rec::kMaxCameras); camera++)
            if (rec::motionLevel(clip.motionBlock(), slot, camera) != rec::motionLevel(expected.motion, slot, camera))
                report("Motion event at " + at(rec::kMotionSlotMs, slot) + ", camera " + std::to_string(camera) +
                       ": changed");
    }
    for (size_t slot = 0; slot < rec::kGpiSlots; slot++)
        if (rec::gpiValue(clip.gpiBlock(), slot) != rec::gpiValue(expected.gpi, slot))
            report("GPI event at " + at(rec::kGpiSlotMs, slot) + ": changed");
}

}  // namespace evidence
