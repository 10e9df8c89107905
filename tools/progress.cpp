#include "tools/progress.h"

#include <algorithm>
#include <cmath>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace dvrtool {

namespace {

bool onTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

}  // namespace

Progress::Progress(const std::string& command, std::FILE* err)
    : m_command(command), m_err(err), m_shown(err && onTerminal(err)) {}

Progress::~Progress() { clear(); }

std::string Progress::describe(double fraction, double elapsedSeconds)
{
    if (fraction < 0) return "";
    fraction = std::min(fraction, 1.0);
    char text[64];
    int percent = int(fraction * 100);
    // A guess from the first moments would swing wildly.
    if (fraction < 0.01 || elapsedSeconds < 1) {
        std::snprintf(text, sizeof text, "%3d%%", percent);
        return text;
    }
    long left = std::lround(elapsedSeconds * (1 - fraction) / fraction);
    std::snprintf(text, sizeof text, "%3d%%  %ld:%02ld left", percent, left / 60, left % 60);
    return text;
}

void Progress::update(const std::string& step, double fraction)
{
    if (!m_shown) return;
    Clock::time_point now = Clock::now();
    bool newStep = step != m_step;
    if (newStep) {
        m_step = step;
        m_stepStart = now;
    } else if (now - m_lastDraw < std::chrono::milliseconds(200) && fraction < 1) {
        return;
    }
    m_lastDraw = now;
    double elapsed = std::chrono::duration<double>(now - m_stepStart).count();
    std::string line = "dvrtool " + m_command + ": " + step;
    std::string done = describe(fraction, elapsed);
    if (!done.empty()) line += "  " + done;
    // Spaces over what a longer line before left behind.
    size_t width = line.size();
    if (line.size() < m_width) line.append(m_width - line.size(), ' ');
    m_width = width;
    std::fprintf(m_err, "\r%s", line.c_str());
    std::fflush(m_err);
}

void Progress::clear()
{
    if (!m_shown || m_width == 0) return;
    std::fprintf(m_err, "\r%s\r", std::string(m_width, ' ').c_str());
    std::fflush(m_err);
    m_width = 0;
    m_step.clear();
}

}  // namespace dvrtool
