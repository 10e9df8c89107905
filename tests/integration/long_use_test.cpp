// A thousand opens and seeks through the panel in one process, on the real
// decoder: the GDI and USER objects, handles and private bytes the process
// holds stay where they were after a warm-up.
#include <cstdio>
#include "owners/gdi.h"
#include "owners/handle.h"
#include "tests/integration/damaged_files.h"
#include "tests/integration/process_counts.h"
#include "tests/integration/real_player.h"

namespace {

const int kWarmUp = 20;
const int kSteps = 1000;
const long kObjectSlack = 5;
// Far below what keeping one recording (its event blocks alone are 36 KB) or one
// back buffer per open would add over 500 opens.
const long long kMemorySlack = 8ll << 20;

std::string Describe(const char* when, const ProcessCounts& c)
{
    char text[200];
    snprintf(text, sizeof text, "%s: GDI %ld, USER %ld, handles %ld, private bytes %lld", when, c.gdi, c.user,
             c.handles, c.privateBytes);
    return text;
}

class LongUse : public RealPlayerTest {
protected:
    // Even steps open the two files in turn; odd ones seek in three ways in turn.
    bool Step(int i)
    {
        if (i % 2 == 0) {
            const std::string& path = (i / 2) % 2 ? b.Path() : a.Path();
            Open(path);
            return Title() == path && WaitPlaying();
        }
        switch ((i / 2) % 3) {
        case 0:  // a minute on: past the end of these files
            Scroll(SB_PAGERIGHT);
            return WaitSettled();
        case 1:
            Scroll(SB_THUMBPOSITION, 1);
            return WaitPlaying();
        default:  // the time of day shown: 13:05:08, under a second in
            TypeTime("5", "8");
            return WaitPlaying();
        }
    }

    CTempFile a, b;
};

// The ways of counting see what they count, so that flat figures mean something.
TEST(ProcessCountsTest, SeeObjectsMade)
{
    const ProcessCounts before = TakeProcessCounts();
    CScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    HWND window = CreateWindowExA(0, "STATIC", "probe", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CScopedHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const SIZE_T nBytes = 16u << 20;
    void* memory = VirtualAlloc(nullptr, nBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool bMade = brush && window && event && memory;
    const ProcessCounts during = TakeProcessCounts();
    VirtualFree(memory, 0, MEM_RELEASE);
    event.Reset();
    DestroyWindow(window);
    brush.Reset();
    const ProcessCounts after = TakeProcessCounts();
    ASSERT_TRUE(bMade);
    EXPECT_GT(during.gdi, before.gdi) << during.how;
    EXPECT_GT(during.user, before.user) << during.how;
    EXPECT_GT(during.handles, before.handles) << during.how;
    EXPECT_GE(during.privateBytes, before.privateBytes + static_cast<long long>(nBytes)) << during.how;
    EXPECT_LT(after.handles, during.handles) << after.how;
    EXPECT_LT(after.user, during.user) << after.how;
}

TEST_F(LongUse, ThousandOpensAndSeeksHoldNoMoreResources)
{
    TestRecordingPlan shape = GoodRecording();  // two seconds: the seeks to 1 s land inside
    ASSERT_TRUE(WriteTestRecording(a.Path(), shape));
    shape.cameras = {{2, RGB(0, 120, 250)}, {4, RGB(250, 250, 0)}, {9, RGB(250, 0, 250)}, {16, RGB(0, 250, 250)}};
    ASSERT_TRUE(WriteTestRecording(b.Path(), shape));

    const DWORD start = GetTickCount();
    int failures = 0;
    ProcessCounts before;
    for (int i = 0; i < kWarmUp + kSteps && failures < 5; ++i) {
        if (i == kWarmUp) {
            testing_support::PumpFor(200);
            before = TakeProcessCounts();
        }
        if (!Step(i)) {
            ++failures;
            ADD_FAILURE() << "step " << i << " did not play (title " << Title() << ", Play "
                          << (Enabled(IDC_PLAY) ? "on" : "off") << ", Pause " << (Enabled(IDC_PAUSE) ? "on" : "off")
                          << ", decoder: " << ControlMessage() << ")";
        }
    }
    Click(IDC_STOP);
    testing_support::PumpFor(200);
    const ProcessCounts after = TakeProcessCounts();
    const DWORD elapsed = GetTickCount() - start;

    const std::string report = Describe("before", before) + "; " + Describe("after", after) + "; " +
                               std::to_string(kWarmUp + kSteps) + " steps in " + std::to_string(elapsed) +
                               " ms; " + after.how;
    printf("%s\n", report.c_str());
    RecordProperty("counts", report);
    EXPECT_EQ(0, failures);
    EXPECT_TRUE(boxes.boxes.empty()) << DescribeBoxes(boxes);
    EXPECT_LE(after.gdi, before.gdi + kObjectSlack) << report;
    EXPECT_LE(after.user, before.user + kObjectSlack) << report;
    EXPECT_LE(after.handles, before.handles + kObjectSlack) << report;
    EXPECT_LE(after.privateBytes, before.privateBytes + kMemorySlack) << report;
    EXPECT_TRUE(Responsive());
}

}  // namespace
