#include "tools/pipe.h"

#include <sys/wait.h>

namespace dvrtool {

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

Pipe::~Pipe() { close(); }

bool Pipe::open(const std::vector<std::string>& args, bool withStderr)
{
    if (m_stream || args.empty()) return false;
    std::string command;
    for (const std::string& arg : args) command += (command.empty() ? "" : " ") + shellQuote(arg);
    // Nothing for the child to read: it must not take our terminal's input.
    command += " </dev/null";
    if (withStderr) command += " 2>&1";
    std::fflush(nullptr);
    m_stream = popen(command.c_str(), "r");
    return m_stream != nullptr;
}

size_t Pipe::read(void* buf, size_t size) { return m_stream ? std::fread(buf, 1, size, m_stream) : 0; }

bool Pipe::close()
{
    if (!m_stream) return false;
    int status = pclose(m_stream);
    m_stream = nullptr;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace dvrtool
