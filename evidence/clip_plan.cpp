#include "evidence/clip_plan.h"

#include "domain/time_of_day.h"

#include <algorithm>
#include <limits>

namespace evidence {

namespace {

// The picture on view at t and the first frame at or past end, or false without a picture.
bool cameraStretch(const rec::Stream& s, int64_t from, int64_t to, long& first, long& end)
{
    const long count = long(s.frames.size());
    long i = std::max(s.frameAt(from), 0L);
    while (i > 0 && s.frames[size_t(i)].size == 0) i--;
    while (i < count && s.frames[size_t(i)].size == 0) i++;
    long stop = i;
    while (stop < count && s.timeOf(uint64_t(stop)) < to) stop++;
    if (i >= stop) return false;
    first = i;
    end = stop;
    return true;
}

// The most empty slots whose length does not pass ms.
uint64_t slotsWithin(const rec::Stream& s, int64_t ms)
{
    uint64_t n = uint64_t(ms) * s.rate / (uint64_t(s.scale) * 1000);
    while (s.timeOf(n + 1) <= ms) n++;
    while (n > 0 && s.timeOf(n) > ms) n--;
    return n;
}

}  // namespace

bool planClip(const rec::Recording& source, const ClipRange& range, ClipPlan& plan, std::string& why)
{
    plan = ClipPlan();
    if (range.toMs <= range.fromMs) {
        why = "the stretch ends before it starts";
        return false;
    }
    int64_t start = std::numeric_limits<int64_t>::max();
    for (const rec::Stream& s : source.streams()) {
        if (!(range.cameras & domain::CameraBit(s.camera))) continue;
        CameraPlan camera;
        camera.camera = s.camera;
        camera.stream = &s;
        if (!cameraStretch(s, range.fromMs, range.toMs, camera.first, camera.end)) continue;
        start = std::min(start, s.timeOf(uint64_t(camera.first)));
        plan.cameras.push_back(camera);
    }
    if (plan.cameras.empty()) {
        why = "no camera asked for has a picture in the stretch";
        return false;
    }
    plan.startMs = start;
    for (CameraPlan& camera : plan.cameras)
        camera.empty = slotsWithin(*camera.stream, camera.stream->timeOf(uint64_t(camera.first)) - start);
    return true;
}

ClipEvents moveEvents(const rec::Recording& source, int64_t startMs, int64_t endMs)
{
    ClipEvents out;
    const int64_t sourceSlotMs = rec::kSourceSlotMs, gpiSlotMs = rec::kGpiSlotMs;
    for (size_t slot = 0; slot < rec::kSourceSlots; slot++) {
        int64_t begin = int64_t(slot) * sourceSlotMs;
        if (begin >= endMs || begin + sourceSlotMs <= startMs) continue;
        size_t to = rec::sourceSlotOf(std::max(begin, startMs) - startMs);
        uint32_t mask = rec::sourceMask(source.sourceBlock(), slot);
        if (rec::sourceStatus(source.sourceBlock(), slot) < 0)
            for (int camera : domain::CamerasOf(mask)) rec::addSourceEvent(out.source, to, camera);
        for (int camera = 1; camera <= int(rec::kMaxCameras); camera++) {
            uint8_t level = rec::motionLevel(source.motionBlock(), slot, camera);
            if (level > rec::motionLevel(out.motion, to, camera)) rec::setMotionLevel(out.motion, to, camera, level);
        }
    }
    for (size_t slot = 0; slot < rec::kGpiSlots; slot++) {
        int64_t begin = int64_t(slot) * gpiSlotMs;
        if (begin >= endMs || begin + gpiSlotMs <= startMs) continue;
        int32_t value = rec::gpiValue(source.gpiBlock(), slot);
        if (value != 0) rec::setGpiValue(out.gpi, rec::gpiSlotOf(std::max(begin, startMs) - startMs), value);
    }
    return out;
}

rec::StartTime startTimeAfter(const rec::StartTime& start, int64_t ms)
{
    rec::StartTime t = start;
    int64_t total = int64_t(start.msOfDay) + ms;
    t.msOfDay = int32_t(domain::WithinDay(total));
    int64_t days = (total - t.msOfDay) / domain::kDayMs;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (; days > 0 && t.year > 0 && t.month >= 1 && t.month <= 12; days--) {
        bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
        int length = kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
        if (++t.day > length) {
            t.day = 1;
            if (++t.month > 12) t.month = 1, t.year++;
        }
    }
    return t;
}

}  // namespace evidence
