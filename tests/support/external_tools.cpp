#include "tests/support/external_tools.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace rectest {

bool haveProgram(const char* name)
{
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

static std::string capture(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::map<int, std::vector<int64_t>> probePacketTimes(const std::string& path)
{
    std::map<int, std::vector<int64_t>> m;
    std::istringstream in(capture("ffprobe -v error -show_entries packet=stream_index,pts_time -of csv=p=0 '" +
                                  path + "'"));
    std::string line;
    while (std::getline(in, line)) {
        int st = 0;
        double t = 0;
        if (std::sscanf(line.c_str(), "%d,%lf", &st, &t) == 2) m[st].push_back(int64_t(std::llround(t * 1000)));
    }
    return m;
}

std::map<int, long> probeFrameCounts(const std::string& path)
{
    std::map<int, long> m;
    std::istringstream in(capture("ffprobe -v error -count_frames -show_entries stream=index,nb_read_frames -of csv=p=0 '" +
                                  path + "'"));
    std::string line;
    while (std::getline(in, line)) {
        int st = 0;
        long n = 0;
        if (std::sscanf(line.c_str(), "%d,%ld", &st, &n) == 2) m[st] = n;
    }
    return m;
}

int runShell(const std::string& cmd) { return std::system(cmd.c_str()); }

}  // namespace rectest
