#include "tools/pipe.h"

#include <sys/wait.h>

namespace dvrtool {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

Pipe::~Pipe() { close(); }

bool Pipe::open(const std::vector<std::string>& args) {
    if (m_f || args.empty()) return false;
    std::string cmd;
    for (const std::string& a : args) cmd += (cmd.empty() ? "" : " ") + shellQuote(a);
    // Nothing for the child to read: it must not take our terminal's input.
    cmd += " </dev/null";
    std::fflush(nullptr);
    m_f = popen(cmd.c_str(), "r");
    return m_f != nullptr;
}

size_t Pipe::read(void* buf, size_t n) { return m_f ? std::fread(buf, 1, n, m_f) : 0; }

bool Pipe::close() {
    if (!m_f) return false;
    int st = pclose(m_f);
    m_f = nullptr;
    return st != -1 && WIFEXITED(st) && WEXITSTATUS(st) == 0;
}

}  // namespace dvrtool
