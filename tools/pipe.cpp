#include "tools/pipe.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <sys/wait.h>
#endif

namespace dvrtool {

#ifdef _WIN32
// cmd.exe's quoting as the C runtime reads it back: in double quotes, a quote doubled.
std::string shellQuote(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += "\"\"";
        else quoted += c;
    }
    return quoted + "\"";
}

const char kNoInput[] = " <NUL";
#else
const char kNoInput[] = " </dev/null";

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}
#endif

Pipe::~Pipe()
{
    close();
}

bool Pipe::open(const std::vector<std::string>& args, bool withStderr)
{
    if (m_stream || args.empty()) return false;
    std::string command;
    for (const std::string& arg : args) command += (command.empty() ? "" : " ") + shellQuote(arg);
    // Nothing for the child to read: it must not take our terminal's input.
    command += kNoInput;
    if (withStderr) command += " 2>&1";
    std::fflush(nullptr);
#ifdef _WIN32
    // cmd /c takes the line whole when it is wrapped in one more pair of quotes.
    m_stream = _popen(("\"" + command + "\"").c_str(), "rb");
#else
    m_stream = popen(command.c_str(), "r");
#endif
    return m_stream != nullptr;
}

size_t Pipe::read(void* buf, size_t size) { return m_stream ? std::fread(buf, 1, size, m_stream) : 0; }

bool Pipe::close()
{
    if (!m_stream) return false;
#ifdef _WIN32
    int status = _pclose(m_stream);
    m_stream = nullptr;
    return status == 0;
#else
    int status = pclose(m_stream);
    m_stream = nullptr;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace dvrtool
