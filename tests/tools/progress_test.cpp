// The one line of progress that long dvrtool commands keep up to date on a terminal, and leave
// out of pipes and files.
#include "tools/progress.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// Runs a shell command with a pseudo-terminal as its stdin, stdout and stderr; what it wrote.
std::string underTerminal(const std::string& command, int& status)
{
    int master = -1;
    pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string text;
    if (child < 0) return text;
    char buf[4096];
    for (;;) {
        ssize_t got = read(master, buf, sizeof buf);
        if (got > 0) text.append(buf, size_t(got));
        else if (got < 0 && errno == EINTR) continue;
        else break;  // EIO once the child and its own children have closed the terminal
    }
    close(master);
    waitpid(child, &status, 0);
    return text;
}

}  // namespace

TEST(Progress, DescribesHowFarAndHowLong)
{
    EXPECT_EQ(dvrtool::Progress::describe(-1, 10), "");
    EXPECT_EQ(dvrtool::Progress::describe(0.5, 0.2), " 50%");  // too soon to guess
    EXPECT_EQ(dvrtool::Progress::describe(0.25, 20), " 25%  1:00 left");
    EXPECT_EQ(dvrtool::Progress::describe(0.1, 100), " 10%  15:00 left");
    EXPECT_EQ(dvrtool::Progress::describe(1.5, 20), "100%  0:00 left");
    // Into anything but a terminal: not a byte.
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        dvrtool::Progress progress("make", file);
        EXPECT_FALSE(progress.shown());
        progress.update("pictures", 0.5);
    }
    EXPECT_EQ(std::ftell(file), 0L);
    std::fclose(file);
}

TEST(Progress, OnATerminalAndNotIntoAPipe)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    std::string avi = temp("progress.avi"), mp4 = temp("progress.mp4"), input = temp("progress-in.mp4");
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=320x240:r=10:d=3 -c:v mpeg4 '" + input + "'").c_str()), 0);
    const std::string commands[][2] = {
        {"synth -o " + avi + " --cameras 2 --seconds 3", "dvrtool synth: pictures, 2 cameras"},
        {"make -o " + avi + " --start 2024-01-01 --motion auto " + input, "dvrtool make: motion, camera 1"},
        {"export -o " + mp4 + " " + avi, "dvrtool export: camera 1"},
    };
    for (const auto& command : commands) {
        int status = -1;
        std::string shown = underTerminal(std::string(DVRTOOL_PATH) + " " + command[0], status);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command[0] << ": " << shown;
        EXPECT_NE(shown.find("\r" + command[1]), std::string::npos) << shown;
        EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
        // The line is cleared before the summary.
        EXPECT_NE(shown.find("\rwrote "), std::string::npos) << shown;

        std::string piped;
        ASSERT_EQ(runTool(command[0], &piped), 0) << piped;
        EXPECT_EQ(piped.find('\r'), std::string::npos) << piped;
        EXPECT_EQ(piped.find("dvrtool " + command[0].substr(0, command[0].find(' '))), std::string::npos) << piped;
        EXPECT_EQ(piped.rfind("wrote ", 0), 0u) << piped;
    }
    for (const std::string& path : {avi, mp4, input}) std::remove(path.c_str());
}

TEST(Progress, AFailureIsSaidOnALineOfItsOwn)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    // Camera 2's ffmpeg fails once the pictures are being written, after the line was drawn.
    std::string input = temp("progress-fail.mp4"), copy = temp("progress-copy.mp4"), avi = temp("progress-fail.avi");
    std::string script = temp("ffmpeg-fails-writing.sh");
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=5:d=1 -c:v mpeg4 '" + input + "'").c_str()), 0);
    ASSERT_EQ(std::system(("cp '" + input + "' '" + copy + "'").c_str()), 0);
    std::ofstream(script) << "#!/bin/sh\ncase \"$*\" in *progress-copy.mp4*-q:v*) exit 1;; esac\nexec ffmpeg \"$@\"\n";
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    int status = -1;
    std::string shown = underTerminal("DVRTOOL_FFMPEG='" + script + "' " + DVRTOOL_PATH + " make -o " + avi +
                                          " --start 2024-01-01 " + input + " " + copy,
                                      status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 5) << shown;
    EXPECT_NE(shown.find("\rdvrtool make: looking at camera 2"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rdvrtool: ffmpeg gave no pictures for camera 2"), std::string::npos) << shown;
    for (const std::string& path : {input, copy, avi, script}) std::remove(path.c_str());
}
