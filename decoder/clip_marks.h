// The stretch marked in the open recording for a clip: a start and an end at
// pictures' times (ms from the file's start), its caption and the clip's
// offered file name. Portable, no Windows header.
#pragma once
#include <cstdint>
#include <string>

class CClipMarks {
public:
    void SetStart(int64_t ms) { m_start = ms; }
    void SetEnd(int64_t ms) { m_end = ms; }
    void Clear() { m_start = m_end = -1; }
    bool IsEmpty() const { return m_start < 0 && m_end < 0; }
    bool IsComplete() const { return m_start >= 0 && m_end >= 0; }
    // The stretch [From, To): the earlier mark's picture to the later's, both included.
    int64_t From() const;
    int64_t To() const;

    // "Clip 14:32:00 - 14:35:30 (3:30)"; with one mark, that one and a dash; empty with none.
    std::string Caption(int64_t startOfDayMs) const;
    // "yard-143200-143530.d01" beside the recording "yard.d01" (path in UTF-8).
    std::string FileName(const std::string& recordingPath, int64_t startOfDayMs) const;

private:
    int64_t m_start = -1;
    int64_t m_end = -1;
};
