#include "recording/source.h"

#include "recording/file64.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

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

// Reads at an offset. Natively without moving a shared position: one call a frame, and the
// decoder's threads read side by side. On Windows a seek and a read of the one stream, in turn:
// ReadFile at an offset of its own (OVERLAPPED) halved the player's 16-camera pace under Wine,
// where each such read of a synchronous handle also moves the handle's position.
bool FileSource::read(uint64_t off, void* buf, size_t n) const
{
    if (off > m_size || n > m_size - off) return false;
    auto* to = static_cast<uint8_t*>(buf);
#ifdef _WIN32
    std::lock_guard<std::mutex> hold(m_lock);
    return n == 0 || (seek64(m_f, off) && std::fread(to, 1, n, m_f) == n);
#else
    while (n > 0) {
        const ssize_t got = pread(fileno(m_f), to, n, off_t(off));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        to += got, off += uint64_t(got), n -= size_t(got);
    }
#endif
    return true;
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
