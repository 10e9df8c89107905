// A program run as a subprocess, its standard output read through a pipe.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dvrtool {

// One argument quoted for the shell.
std::string shellQuote(const std::string& text);

class Pipe {
public:
    Pipe() = default;
    ~Pipe();
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    // Starts args[0] with the others; its stdout is ours to read.
    bool open(const std::vector<std::string>& args);
    size_t read(void* buf, size_t size);  // 0 at the end
    // Waits for the program; true if it exited with status 0.
    bool close();
    bool isOpen() const { return m_stream != nullptr; }

private:
    std::FILE* m_stream = nullptr;
};

}  // namespace dvrtool
