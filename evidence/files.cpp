#include "evidence/files.h"

#include "recording/file64.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace evidence {

#ifdef _WIN32
namespace {
std::wstring wide(const std::string& path)
{
    std::u16string text;
    if (!rec::utf8ToUtf16(path, &text)) return std::wstring(path.begin(), path.end());
    return std::wstring(text.begin(), text.end());
}
}  // namespace

bool removeFile(const std::string& path) { return DeleteFileW(wide(path).c_str()) != 0; }

bool replaceFile(const std::string& from, const std::string& to)
{
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool removeFile(const std::string& path)
{
    return std::remove(path.c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
#endif

bool writeTextFile(const std::string& path, const std::string& text)
{
    std::FILE* f = rec::openFile(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) removeFile(path);
    return ok;
}

bool canRead(const std::string& path)
{
    std::FILE* f = rec::openFile(path, "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

bool readTextFile(const std::string& path, std::string& text)
{
    std::FILE* f = rec::openFile(path, "rb");
    if (!f) return false;
    text.clear();
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace evidence
