#include "decoder/clip_marks.h"

#include <algorithm>
#include <cstdio>

#include "domain/file_path.h"
#include "domain/time_of_day.h"

int64_t CClipMarks::From() const { return std::min(m_start, m_end); }

int64_t CClipMarks::To() const { return std::max(m_start, m_end) + 1; }

std::string CClipMarks::Caption(int64_t startOfDayMs) const
{
    const auto at = [&](int64_t ms) { return domain::FormatTimeOfDay(startOfDayMs + ms, domain::Precision::Seconds); };
    if (!IsComplete())
        return IsEmpty() ? std::string() : "Clip " + at(m_start >= 0 ? m_start : m_end) + " -";
    const int64_t seconds = (std::max(m_start, m_end) - From()) / domain::kSecondMs;
    char length[32];
    if (seconds >= domain::kHourSeconds)
        std::snprintf(length, sizeof length, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::snprintf(length, sizeof length, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    return "Clip " + at(From()) + " - " + at(std::max(m_start, m_end)) + " (" + length + ")";
}

std::string CClipMarks::FileName(const std::string& recordingPath, int64_t startOfDayMs) const
{
    return domain::FolderOf(recordingPath) + domain::StemOf(recordingPath) + "-" + domain::FormatTimeOfDayDigits(startOfDayMs + From()) + "-" +
           domain::FormatTimeOfDayDigits(startOfDayMs + std::max(m_start, m_end)) + ".d01";
}
