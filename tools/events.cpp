#include "tools/events.h"

#include "domain/hour.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace dvrtool {

namespace {

// Reads "SECONDS INTEGER" lines; calls take(ms, value) for each.
template <class Take>
bool eachLine(const std::string& text, const char* what, std::string& error, Take take)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        const char* cursor = line.c_str() + first;
        char* end = nullptr;
        double seconds = std::strtod(cursor, &end);
        if (end == cursor || !std::isfinite(seconds) || seconds < 0) {
            error = std::string(what) + " line " + std::to_string(number) + ": bad time";
            return false;
        }
        cursor = end;
        long long value = std::strtoll(cursor, &end, 10);
        if (end == cursor || value < INT32_MIN || value > INT32_MAX) {
            error = std::string(what) + " line " + std::to_string(number) + ": bad number";
            return false;
        }
        for (cursor = end; *cursor == ' ' || *cursor == '\t' || *cursor == '\r'; cursor++) {
        }
        if (*cursor) {
            error = std::string(what) + " line " + std::to_string(number) + ": unexpected text";
            return false;
        }
        // Past the hour any time is ignored; a day is past it, and small enough to be milliseconds.
        int64_t ms = std::llround(std::min(seconds * 1000, double(domain::kDayMs)));
        if (!take(ms, int32_t(value))) {
            error = std::string(what) + " line " + std::to_string(number) + ": value out of range";
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseSourceEvents(const std::string& text, rec::SourceBlock& out, std::string& error)
{
    out.fill(0);
    return eachLine(text, "source", error, [&](int64_t ms, int32_t cam) {
        if (cam < 1 || cam > int(rec::kMaxCameras)) return false;
        rec::addSourceEvent(out, rec::sourceSlotOf(ms), cam);
        return true;
    });
}

bool parseGpiEvents(const std::string& text, rec::GpiBlock& out, std::string& error)
{
    out.fill(0);
    return eachLine(text, "gpi", error, [&](int64_t ms, int32_t value) {
        rec::setGpiValue(out, rec::gpiSlotOf(ms), value);
        return true;
    });
}

uint8_t MotionMeter::levelOf(double mad)
{
    if (!(mad >= kNoise)) return 0;
    double level = mad * kGain;
    return level >= 255 ? 255 : (level < 1 ? 1 : uint8_t(level));
}

void MotionMeter::add(const uint8_t* gray, size_t size, double seconds)
{
    size_t slot = seconds < 0 ? 0 : size_t(seconds * 1000 / double(rec::kMotionSlotMs));
    if (m_prev.size() == size && size > 0 && slot < m_slotMax.size()) {
        uint64_t sum = 0;
        for (size_t i = 0; i < size; i++) sum += uint64_t(std::abs(int(gray[i]) - int(m_prev[i])));
        double mad = double(sum) / double(size);
        if (mad > m_slotMax[slot]) m_slotMax[slot] = mad;
    }
    if (slot < m_slotMax.size()) {
        m_lastSlot = std::max(m_lastSlot, slot);
        m_any = true;
    }
    m_prev.assign(gray, gray + size);
}

void MotionMeter::store(rec::MotionBlock& block, int camera) const
{
    if (!m_any) return;
    for (size_t j = 0; j <= m_lastSlot; j++) rec::setMotionLevel(block, j, camera, levelOf(m_slotMax[j]));
}

}  // namespace dvrtool
