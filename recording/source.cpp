#include "recording/source.h"

#include "recording/file64.h"

#include <cerrno>
#include <cstring>

namespace rec {

FileSource::~FileSource()
{
    if (m_f) std::fclose(m_f);
}

Status FileSource::open(const std::string& path)
{
    errno = 0;
    m_f = openFile(path, "rb");
    if (!m_f) {
        int e = errno;
        if (e == ENOENT || e == ENOTDIR)
            return {Error::FileMissing, "file not found: " + path};
        return {Error::FileUnreadable, "cannot open " + path + ": " + std::strerror(e)};
    }
    int64_t end = -1;
    if (seekEnd64(m_f)) end = tell64(m_f);
    if (end < 0) return {Error::FileUnreadable, "cannot read " + path};
    m_size = uint64_t(end);
    // A directory opens on some systems but reads fail: find out now.
    uint8_t probe;
    if (m_size > 0 && !read(0, &probe, 1)) return {Error::FileUnreadable, "cannot read " + path};
    return {};
}

bool FileSource::read(uint64_t off, void* buf, size_t n) const
{
    if (off > m_size || n > m_size - off) return false;
    if (n == 0) return true;
    std::lock_guard<std::mutex> hold(m_lock);
    if (!seek64(m_f, off)) return false;
    return std::fread(buf, 1, n, m_f) == n;
}

MemorySource::MemorySource(const void* data, size_t size)
    : m_bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
    m_size = size;
}

bool MemorySource::read(uint64_t off, void* buf, size_t n) const
{
    if (off > m_size || n > m_size - off) return false;
    if (n) std::memcpy(buf, m_bytes.data() + off, n);
    return true;
}

}  // namespace rec
