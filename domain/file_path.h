// The parts of a file's path that titles, default names and dialogs need. Either slash ends a
// folder, as Windows takes both; the same in narrow (UTF-8) and wide text.
#pragma once

#include <string>

namespace domain {

// Where the name starts: after the last slash, or 0.
template <class Char>
size_t NameStart(const std::basic_string<Char>& path)
{
    const Char slashes[] = {Char('/'), Char('\\'), Char(0)};
    const size_t slash = path.find_last_of(slashes);
    return slash == std::basic_string<Char>::npos ? 0 : slash + 1;
}

// The folder with its closing slash ("C:\\video\\", "/"); empty for a bare name.
template <class Char>
std::basic_string<Char> FolderOf(const std::basic_string<Char>& path)
{
    return path.substr(0, NameStart(path));
}

template <class Char>
std::basic_string<Char> NameOf(const std::basic_string<Char>& path)
{
    return path.substr(NameStart(path));
}

// The name without its last extension; a name that only starts with a dot keeps it.
template <class Char>
std::basic_string<Char> StemOf(const std::basic_string<Char>& path)
{
    std::basic_string<Char> name = NameOf(path);
    const size_t dot = name.rfind(Char('.'));
    if (dot != std::basic_string<Char>::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace domain
