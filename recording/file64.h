// 64-bit offsets on std::FILE, for files past 2 GiB on both Linux and MinGW.
#pragma once

#include <cstdint>
#include <cstdio>

namespace rec {

inline bool seek64(std::FILE* f, uint64_t off)
{
    if (off > uint64_t(INT64_MAX)) return false;
#ifdef _WIN32
    return _fseeki64(f, static_cast<__int64>(off), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(off), SEEK_SET) == 0;
#endif
}

inline bool seekEnd64(std::FILE* f)
{
#ifdef _WIN32
    return _fseeki64(f, 0, SEEK_END) == 0;
#else
    return fseeko(f, 0, SEEK_END) == 0;
#endif
}

// -1 on failure.
inline int64_t tell64(std::FILE* f)
{
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<int64_t>(ftello(f));
#endif
}

}  // namespace rec
