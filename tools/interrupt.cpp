#include "tools/interrupt.h"

#include "tools/commands.h"

#include <csignal>
#include <cstring>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace dvrtool {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) { g_interrupted = 1; }

#ifdef SIGBUS
char g_halfWritten[4096];

// Only what may be called in a signal handler.
extern "C" void onCutShort(int)
{
    static const char kText[] = "dvrtool: a file was cut short by another program while it was read\n";
    if (g_halfWritten[0]) unlink(g_halfWritten);
    ssize_t ignored = write(STDERR_FILENO, kText, sizeof kText - 1);
    (void)ignored;
    _exit(kExitUnreadable);
}
#endif

}  // namespace

void catchInterrupts()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#ifdef SIGHUP
    std::signal(SIGHUP, onInterrupt);
#endif
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool interrupted() { return g_interrupted != 0; }

void catchCutShortFiles(const char* halfWritten)
{
#ifdef SIGBUS
    g_halfWritten[0] = 0;
    if (halfWritten && std::strlen(halfWritten) < sizeof g_halfWritten)
        std::memcpy(g_halfWritten, halfWritten, std::strlen(halfWritten) + 1);
    std::signal(SIGBUS, onCutShort);
#else
    (void)halfWritten;
#endif
}

}  // namespace dvrtool
