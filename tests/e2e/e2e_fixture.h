// What the end-to-end tests share: where the program and the recordings are,
// a fixture that starts the player and ends it, and readers for the two
// pictures that matter (the video window's tiles and the event graph).
#pragma once
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include "tests/support/driver.h"

namespace e2e {

// Made by scripts/test.sh with dvrtool synth (start 08:00:00, a whole hour):
// 16 cameras, 150 s at 4 fps, for playback, speeds and seeks.
extern const char kPlayRecording[];
// 16 cameras, 900 s at 1 fps: long enough that the event graph has room.
extern const char kLongRecording[];
constexpr double kLongSeconds = 900;

std::string RecordingPath(const char* name);  // Windows form
std::string ShotPath(const char* name);       // where screenshots go

// The cameras whose colour (as dvrtool synth paints them) covers a fair share of
// the picture: the tiles on view.
std::set<int> CamerasOnView(const Image& picture);
std::string Describe(const std::set<int>& cameras);

// Columns of the graph that hold a bar of that colour (0x00RRGGBB).
std::vector<int> BarColumns(const Image& graph, uint32_t rgb);

// The slots where dvrtool synth put events for the given cameras (1..16) of a
// recording of `seconds`: each camera's box moves in two intervals.
std::set<int> MotionSlots(const std::set<int>& cameras, double seconds);
std::set<int> SourceSlots(const std::set<int>& cameras, double seconds);
std::set<int> GpiSlots(double seconds);

// Every bar near a slot with events and every such slot near a bar; the graph
// spreads its slots over 1000 positions across its width.
::testing::AssertionResult BarsMatchSlots(const std::vector<int>& columns, const std::set<int>& slots, int width);

std::set<int> CameraRange(int first, int last);

class PlayerTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Starts the player with the recording's quoted path and waits until it plays.
    void StartPlaying(const char* recording);
    // Waits for the next position to reach the panel: the scroll bar has moved.
    void WaitForPosition();
    // Both windows as the screen shows them, saved for the docs.
    void SaveScreen(const char* name, HWND extra = nullptr);

    Player player;
    std::string path;
};

}  // namespace e2e
