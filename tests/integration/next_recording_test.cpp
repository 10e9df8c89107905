// Ctrl+Page Down and Up on the real decoder: the recordings of the folder in
// the order of their recorded starts, which here is not the order of their names.
#include <windows.h>
#include <cstdio>
#include "tests/integration/real_player.h"
#include "tests/support/test_recording.h"

namespace {

using NextRecording = RealPlayerTest;

// Ctrl held for this thread while it lives, as GetKeyState sees it.
class CtrlHeld {
public:
    CtrlHeld() { SetCtrl(0x80); }
    ~CtrlHeld() { SetCtrl(0); }

private:
    static void SetCtrl(BYTE state)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = state;
        SetKeyboardState(keys);
    }
};

TEST_F(NextRecording, FollowsTheRecordedStartNotTheName)
{
    const std::string folder = rectest::tempPath("night") + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // Names against time: c at 01:00, a at 02:00, b at 03:00.
    const char* const names[] = {"c.d01", "a.d00", "b.nwv"};
    for (int hour = 1; hour <= 3; ++hour) {
        TestRecordingPlan plan;
        plan.start.msOfDay = hour * 3600000;
        ASSERT_TRUE(WriteTestRecording(folder + names[hour - 1], plan));
    }
    Open(folder + "c.d01");
    ASSERT_TRUE(WaitPlaying()) << ControlMessage();
    auto press = [&](UINT vk, const char* expected) {
        {
            CtrlHeld ctrl;
            EXPECT_TRUE(panel.TakeKey(MSG{Item(IDC_PLAY), WM_KEYDOWN, vk, 1, 0, {}}));
        }
        EXPECT_TRUE(testing_support::PumpUntil([&] { return Title() == folder + expected && Enabled(IDC_PAUSE); }, 5000))
            << Title() << " instead of " << expected;
    };
    press(VK_NEXT, "a.d00");
    press(VK_NEXT, "b.nwv");
    press(VK_NEXT, "b.nwv");  // none later: nothing moves
    press(VK_PRIOR, "a.d00");
    press(VK_PRIOR, "c.d01");

    video.DestroyWindow();
    registration.Forget();  // the control lets go of the file before it is removed
    for (const char* name : names) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
