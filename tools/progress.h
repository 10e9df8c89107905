// One line of progress for long work, kept up to date in place on a terminal: the step, how
// far it is and the time it has left. Into anything that is not a terminal it writes nothing,
// so that logs and pipes stay clean.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace dvrtool {

class Progress {
public:
    // command names the command on the line ("make"); shown only when err is a terminal.
    Progress(const std::string& command, std::FILE* err);
    ~Progress();  // clears the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool shown() const { return m_shown; }
    // fraction of step done, 0..1; below 0 when not known, then only the step is shown. The
    // time left counts from the step's first update. Redrawn at most a few times a second.
    void update(const std::string& step, double fraction);
    void clear();

    // "42%  1:05 left" for a step that began elapsedSeconds ago; without a time left until
    // there is enough to go by.
    static std::string describe(double fraction, double elapsedSeconds);

private:
    using Clock = std::chrono::steady_clock;
    std::string m_command;
    std::FILE* m_err;
    bool m_shown;
    std::string m_step;
    Clock::time_point m_stepStart, m_lastDraw;
    size_t m_width = 0;  // of the line on screen
};

}  // namespace dvrtool
