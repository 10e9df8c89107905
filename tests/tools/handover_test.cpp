// What is handed over: clips and exports with their manifests, checked with sha256sum and
// dvrtool verify; an interrupted export leaves nothing.
#include "tool_run.h"

#include "evidence/file_view.h"
#include "tools/interrupt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

bool sha256sumPasses(const std::string& path)
{
    size_t slash = path.rfind('/');
    return std::system(("cd '" + path.substr(0, slash) + "' && sha256sum --quiet -c '" + path.substr(slash + 1) +
                        ".sha256'")
                           .c_str()) == 0;
}

void removeWithManifest(const std::string& path)
{
    for (const char* extra : {"", ".sha256", ".manifest.json"}) std::remove((path + extra).c_str());
}

}  // namespace

TEST(Handover, ClipAndExportCarryManifestsThatVerify)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    const std::string source = temp("handover.d01"), other = temp("other.d01"), clip = temp("clip.d01"),
                      mp4 = temp("export.mp4");
    std::string text;
    ASSERT_EQ(runTool("synth -o " + source + " --cameras 3 --seconds 6 --fps 5 --start '2024-03-04 08:00:00'", &text), 0)
        << text;
    ASSERT_EQ(runTool("synth -o " + other + " --cameras 3 --seconds 2 --fps 5", &text), 0) << text;

    ASSERT_EQ(runTool("clip -o " + clip + " --from 08:00:01.1 --to +4 --cameras 1,3 " + source, &text), 0) << text;
    EXPECT_TRUE(sha256sumPasses(clip));
    EXPECT_EQ(runTool("verify " + clip + " --source " + source, &text), 0) << text;
    EXPECT_EQ(runTool("clip -o " + clip + " --cameras 9 " + source, &text), 6) << text;
    EXPECT_EQ(runTool("clip -o " + clip + " --from +7 " + source, &text), 7) << text;
    EXPECT_NE(text.find("past its end: the recording runs from 08:00:00.000 to 08:00:06"), std::string::npos) << text;
    EXPECT_EQ(runTool("verify " + temp("no-such.d01"), &text), 2) << text;
    EXPECT_NE(text.find("cannot read " + temp("no-such.d01") + "\n"), std::string::npos) << "the clip, not its .sha256";
    {
        std::fstream f(clip, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(-40, std::ios::end);  // inside the index: the clip no longer matches its hash
        f.put('\x7f');
    }
    EXPECT_EQ(runTool("verify " + clip, &text), 1) << text;

    // The picture on view at --from is in the export, even past a camera's last picture start.
    ASSERT_EQ(runTool("export -o " + mp4 + " --from +5.9 --to +6 " + source, &text), 0) << text;
    EXPECT_TRUE(sha256sumPasses(mp4));
    EXPECT_EQ(runTool("verify " + mp4 + " --source " + source, &text), 0) << text;
    EXPECT_EQ(runTool("verify " + mp4 + " --source " + other, &text), 1) << text;
    EXPECT_NE(text.find("not the recording the manifest names"), std::string::npos) << text;
    EXPECT_EQ(runTool("verify " + mp4 + " --source " + temp("none.d01"), &text), 2) << text;

    for (const std::string& path : {clip, mp4}) removeWithManifest(path);
    for (const std::string& path : {source, other}) std::remove(path.c_str());
}

// Ctrl+C reaches dvrtool and its ffmpeg, as a terminal sends it to the whole job.
TEST(Handover, CtrlCDuringExportLeavesNoPartialFile)
{
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    const std::string source = temp("long.d01"), mp4 = temp("cut.mp4");
    std::string text;
    ASSERT_EQ(runTool("synth -o " + source + " --cameras 4 --seconds 60 --fps 10", &text), 0) << text;
    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execl(DVRTOOL_PATH, DVRTOOL_PATH, "export", "-o", mp4.c_str(), source.c_str(), (char*)nullptr);
        _exit(127);
    }
    ASSERT_GT(child, 0);
    bool started = false;
    for (int i = 0; i < 400 && !(started = exists(mp4 + ".partial")); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(-child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(started) << "the export never began writing";
    EXPECT_FALSE(exists(mp4 + ".partial"));
    EXPECT_FALSE(exists(mp4));
    EXPECT_NE(status, 0);
    removeWithManifest(mp4);
    std::remove(source.c_str());
}

// A recording that another program cuts short while a command reads it through its mapping: the
// command removes what it half wrote and ends with the status of an unreadable file, not the fault.
TEST(Handover, AFileCutShortWhileReadEndsTheCommandCleanly)
{
    const std::string path = temp("cut-short.bin"), half = temp("cut-short.partial");
    std::ofstream(path) << std::string(1 << 16, 'x');
    std::ofstream(half) << "half";
    EXPECT_EXIT(
        {
            dvrtool::catchCutShortFiles(half.c_str());
            const evidence::FileView view(path);
            if (!view.isOpen() || truncate(path.c_str(), 0) != 0) std::exit(99);
            volatile uint8_t last = view.data()[view.size() - 1];
            (void)last;
            std::exit(0);
        },
        ::testing::ExitedWithCode(2), "cut short by another program");
    EXPECT_FALSE(std::ifstream(half).good());
    std::remove(path.c_str());
}
