// The public Recording API: opening a file or a buffer (the parsing is AviParser's, see
// avi_parser.h), the streams' times, and reading frames.
#include "recording/recording.h"

#include "recording/avi_parser.h"
#include "domain/calendar.h"
#include "domain/time_of_day.h"
#include "recording/source.h"

#include <algorithm>
#include <cstdio>

namespace rec {

int64_t Stream::timeOf(uint64_t index) const
{
    if (rate == 0) return 0;
    // Split so that nothing overflows: index < 2^32, scale/rate <= 3600.
    uint64_t is = index * uint64_t(scale);
    return int64_t((is / rate) * 1000 + (is % rate) * 1000 / rate);
}

long Stream::frameAt(int64_t t) const
{
    auto it = std::upper_bound(frames.begin(), frames.end(), t,
                               [](int64_t v, const Frame& f) { return v < f.timeMs; });
    return long(it - frames.begin()) - 1;
}

Recording::Recording() = default;
Recording::~Recording() = default;
Recording::Recording(Recording&&) noexcept = default;
Recording& Recording::operator=(Recording&&) noexcept = default;

void Recording::close()
{
    m_src.reset();
    m_fileSize = 0;
    m_streams.clear();
    m_start = StartTime();
    m_startSource = StartSource::None;
    m_hasDvrx = false;
    m_source.fill(0);
    m_motion.fill(0);
    m_gpi.fill(0);
    m_damage.clear();
}

bool Recording::isOpen() const { return m_src != nullptr; }

Status Recording::open(const std::string& path)
{
    close();
    auto f = std::make_unique<FileSource>();
    Status s = f->open(path);
    if (!s) return s;
    m_src = std::move(f);
    return parse();
}

Status Recording::openMemory(const void* data, size_t size)
{
    close();
    m_src = std::make_unique<MemorySource>(data, size);
    return parse();
}

Status Recording::parse()
{
    m_fileSize = m_src->size();
    AviParser p(*this);
    Status s = p.run();
    if (!s) close();
    return s;
}

const Stream* Recording::streamForCamera(int camera) const
{
    for (const Stream& s : m_streams)
        if (s.camera == camera) return &s;
    return nullptr;
}

uint32_t Recording::cameraMask() const
{
    uint32_t m = 0;
    for (const Stream& s : m_streams) m |= 1u << (s.camera - 1);
    return m;
}

int64_t Recording::durationMs() const
{
    int64_t d = 0;
    for (const Stream& s : m_streams) d = std::max(d, s.durationMs());
    return d;
}

size_t Recording::readFrame(const Frame& frame, uint8_t* buf, size_t capacity) const
{
    if (!m_src || frame.offset >= m_fileSize) return 0;
    uint64_t n = std::min<uint64_t>({frame.size, capacity, m_fileSize - frame.offset});
    if (n == 0 || !m_src->read(frame.offset, buf, size_t(n))) return 0;
    return size_t(n);
}

bool Recording::readFrame(const Frame& frame, std::vector<uint8_t>& out) const
{
    out.clear();
    if (!m_src || frame.offset > m_fileSize || frame.size > m_fileSize - frame.offset) return false;
    out.resize(frame.size);
    return frame.size == 0 || readFrame(frame, out.data(), out.size()) == frame.size;
}

const char* errorName(Error e)
{
    switch (e) {
    case Error::Ok: return "ok";
    case Error::FileMissing: return "file missing";
    case Error::FileUnreadable: return "file unreadable";
    case Error::NotRecording: return "not a recording";
    case Error::Damaged: return "damaged";
    }
    return "unknown";
}

std::string formatStartTime(const StartTime& t)
{
    return domain::FormatDate({t.year, t.month, t.day}) + "\t" + domain::FormatClock(t.msOfDay < 0 ? 0 : t.msOfDay, domain::Precision::Milliseconds);
}

}  // namespace rec
