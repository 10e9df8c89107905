#include "evidence/file_view.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace evidence {

#ifdef _WIN32
FileView::~FileView() = default;

bool FileView::open(const std::string&) { return false; }
#else
FileView::~FileView()
{
    if (m_data) munmap(const_cast<uint8_t*>(m_data), size_t(m_size));
}

bool FileView::open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    void* at = MAP_FAILED;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        at = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (at == MAP_FAILED) return false;
    madvise(at, size_t(info.st_size), MADV_SEQUENTIAL);
    m_data = static_cast<const uint8_t*>(at);
    m_size = uint64_t(info.st_size);
    return true;
}
#endif

const uint8_t* FrameAccess::bytes(const rec::Frame& f)
{
    if (m_view.isOpen()) return m_view.frame(f);
    return m_file.readFrame(f, m_spare) ? m_spare.data() : nullptr;
}

}  // namespace evidence
