// Opening files by any name, and 64-bit offsets on std::FILE for files past
// 2 GiB, on both Linux and MinGW.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace rec {

// The UTF-16 form of UTF-8 text; false when the text is not well-formed UTF-8
// (overlong forms, surrogates and values past U+10FFFF included).
inline bool utf8ToUtf16(const std::string& text, std::u16string* out)
{
    out->clear();
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1
                                        : (lead >> 4) == 14  ? 2
                                        : (lead >> 3) == 30  ? 3
                                                             : -1;
        if (extra < 0 || text.size() - i <= static_cast<size_t>(extra)) return false;
        char32_t c = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        static const char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c >= 0x10000) {
            out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(c));
        }
        i += extra + 1;
    }
    return true;
}

// fopen for a path in UTF-8, the form the program keeps paths in. Windows
// opens by the UTF-16 name, whatever the process's code page; a path that is
// not UTF-8 is taken as the code page's own, as fopen takes it.
inline std::FILE* openFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    std::u16string wide, wideMode;
    if (utf8ToUtf16(path, &wide) && utf8ToUtf16(mode, &wideMode))
        return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), reinterpret_cast<const wchar_t*>(wideMode.c_str()));
#endif
    return std::fopen(path.c_str(), mode);
}

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
