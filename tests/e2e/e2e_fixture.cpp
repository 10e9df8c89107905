#include "tests/e2e/e2e_fixture.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace e2e {

const char kPlayRecording[] = "play16.d01";
const char kLongRecording[] = "long16.d00";

namespace {

// The background colours dvrtool synth gives cameras 1 to 16.
const uint32_t kCameraColours[16] = {0x1f4e9c, 0x9c1f1f, 0x1f8c3a, 0x8c6a1f, 0x6a1f8c, 0x1f8c8c, 0x8c1f6a, 0x4a4a4a,
                                     0x2f6fbf, 0xbf4f2f, 0x3faf5f, 0xaf8f2f, 0x7f3faf, 0x2fa0a0, 0xa02f7f, 0x606030};

// JPEG at the recordings' low quality moves flat colours by a few levels.
constexpr int kColourTolerance = 14;

struct Interval {
    double begin, end;
};

// Where dvrtool synth moves camera cam's box in a recording of `seconds`.
std::vector<Interval> SynthIntervals(int cam, double seconds)
{
    const int k = (cam - 1) % 16;
    const double a = seconds * (0.05 + 0.05 * (k % 4));
    const double b = seconds * (0.50 + 0.05 * (k / 4));
    return {{a, a + seconds * 0.15}, {b, b + seconds * 0.10}};
}

constexpr int64_t kMotionSlotMs = 3600, kSourceSlotMs = 3600, kGpiSlotMs = 1800;
constexpr int kGraphPositions = 1000;

int CameraOf(uint32_t rgb)
{
    for (int i = 0; i < 16; ++i) {
        const uint32_t c = kCameraColours[i];
        bool close = true;
        for (int shift : {16, 8, 0})
            close = close && std::abs(static_cast<int>((rgb >> shift) & 0xFF) - static_cast<int>((c >> shift) & 0xFF)) <=
                                 kColourTolerance;
        if (close) return i + 1;
    }
    return 0;
}

}  // namespace

std::string RecordingPath(const char* name) { return WindowsPath(std::string(E2E_DIR) + "/" + name); }

std::string ShotPath(const char* name)
{
    const std::string dir = WindowsPath(std::string(E2E_DIR) + "/shots");
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + name;
}

std::set<int> CamerasOnView(const Image& picture)
{
    std::map<int, size_t> hits;
    size_t samples = 0;
    for (int y = 1; y < picture.height; y += 4)
        for (int x = 1; x < picture.width; x += 4, ++samples)
            if (int cam = CameraOf(picture.At(x, y))) ++hits[cam];
    // A 16-camera tile's background is about 4 % of the picture; edges that
    // blend into a neighbour's colour stay far below this share.
    std::set<int> cameras;
    for (const auto& h : hits)
        if (h.second * 80 >= samples) cameras.insert(h.first);
    return cameras;
}

std::string Describe(const std::set<int>& cameras)
{
    std::string s = "{";
    for (int c : cameras) s += (s.size() > 1 ? " " : "") + std::to_string(c);
    return s + "}";
}

std::vector<int> BarColumns(const Image& graph, uint32_t rgb)
{
    std::vector<int> columns;
    for (int x = 0; x < graph.width; ++x) {
        int n = 0;
        for (int y = 0; y < graph.height; ++y) n += graph.At(x, y) == rgb;
        if (n * 2 >= graph.height) columns.push_back(x);
    }
    return columns;
}

std::set<int> MotionSlots(const std::set<int>& cameras, double seconds)
{
    std::set<int> slots;
    for (int cam : cameras)
        for (const Interval& iv : SynthIntervals(cam, seconds)) {
            const int64_t first = static_cast<int64_t>(iv.begin * 1000) / kMotionSlotMs;
            const int64_t last = (static_cast<int64_t>(std::ceil(iv.end * 1000)) - 1) / kMotionSlotMs;
            for (int64_t j = first; j <= last; ++j) slots.insert(static_cast<int>(j));
        }
    return slots;
}

std::set<int> SourceSlots(const std::set<int>& cameras, double seconds)
{
    std::set<int> slots;
    for (int cam : cameras)
        for (const Interval& iv : SynthIntervals(cam, seconds))
            slots.insert(static_cast<int>(static_cast<int64_t>(iv.begin * 1000) / kSourceSlotMs));
    return slots;
}

std::set<int> GpiSlots(double seconds)
{
    std::set<int> slots;
    for (double t = 5; t < seconds; t += 20) slots.insert(static_cast<int>(static_cast<int64_t>(t * 1000) / kGpiSlotMs));
    return slots;
}

::testing::AssertionResult BarsMatchSlots(const std::vector<int>& columns, const std::set<int>& slots, int width)
{
    if (width < 2) return ::testing::AssertionFailure() << "no graph";
    std::set<int> expected;
    for (int s : slots) expected.insert(static_cast<int>(std::lround(s * double(width - 1) / kGraphPositions)));
    auto within = [](const auto& set, int x) {
        return std::any_of(set.begin(), set.end(), [x](int e) { return std::abs(e - x) <= 1; });
    };
    for (int c : columns)
        if (!within(expected, c)) return ::testing::AssertionFailure() << "a bar at column " << c << " where no event is";
    for (int e : expected)
        if (!within(columns, e))
            return ::testing::AssertionFailure() << "no bar near column " << e << " (" << columns.size() << " bars)";
    return ::testing::AssertionSuccess() << columns.size() << " bar columns";
}

std::set<int> CameraRange(int first, int last)
{
    std::set<int> s;
    for (int c = first; c <= last; ++c) s.insert(c);
    return s;
}

void PlayerTest::TearDown()
{
    if (!player.Running()) return;
    const std::vector<std::string> boxes = player.MessageBoxTexts();
    for (const std::string& text : boxes) ADD_FAILURE() << "message box: " << text;
    if (boxes.empty() && player.Panel()) {
        // Ends the way a user ends it; whatever is left is killed by the driver.
        player.Click(1020);
        DWORD code = 0;
        player.WaitForExit(15000, &code);
    }
}

void PlayerTest::StartPlaying(const char* recording)
{
    path = RecordingPath(recording);
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES == GetFileAttributesA(path.c_str()), false)
        << path << " is missing; scripts/test.sh makes it";
    ASSERT_TRUE(player.Start(WindowsPath(VORPLEX_EXE), "\"" + path + "\""));
    ASSERT_TRUE(player.WaitForWindows()) << player.Describe();
    ASSERT_TRUE(WaitUntil([&] { return player.Enabled(1004); }, 20000)) << "not playing; windows:\n"
                                                                        << player.Describe();
}

void PlayerTest::WaitForPosition()
{
    ASSERT_TRUE(WaitUntil([&] { return player.ScrollPosition() >= 1; }, 15000)) << "no position reached the panel";
}

void PlayerTest::SaveScreen(const char* name, HWND extra)
{
    RECT video = {}, panel = {}, all = {};
    GetWindowRect(player.Video(), &video);
    GetWindowRect(player.Panel(), &panel);
    UnionRect(&all, &video, &panel);
    if (extra) {
        RECT more = {};
        GetWindowRect(extra, &more);
        UnionRect(&all, &all, &more);
    }
    EXPECT_TRUE(CaptureScreen(all).SavePng(ShotPath(name))) << name;
}

}  // namespace e2e
