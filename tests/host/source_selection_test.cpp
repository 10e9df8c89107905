// Choosing the video source: at once with one camera per view, otherwise through
// "Select Video Source".
#include "host/source_selection.h"
#include "tests/host/host_fixture.h"

namespace {

// What the user does in the dialog once it is up: the list it saw, then a choice.
struct DialogScript {
    int select = -1;       // list index to select, -1 for none
    WPARAM button = IDOK;  // IDOK, IDCANCEL, or 0 for a double-click on the list
    bool seen = false;
    std::string title;
    std::vector<std::string> items;
    std::vector<LRESULT> data;
};
DialogScript* g_script = nullptr;

// What the decoder was told to do: its calls but the reads, which are the
// selection's own business.
std::vector<std::string> Changes(const std::vector<std::string>& calls)
{
    std::vector<std::string> changes;
    for (const std::string& call : calls)
        if (call.rfind("Get", 0) != 0) changes.push_back(call);
    return changes;
}

VOID CALLBACK ActInDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = testing_support::FindThreadWindow("Select Video Source");
    if (!dlg || !IsWindowVisible(dlg)) return;
    KillTimer(nullptr, id);
    DialogScript& s = *g_script;
    s.seen = true;
    s.title = testing_support::WindowText(dlg);
    HWND list = GetDlgItem(dlg, IDC_SOURCE_LIST);
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[64] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        s.items.push_back(text);
        s.data.push_back(SendMessageA(list, LB_GETITEMDATA, i, 0));
    }
    if (s.select >= 0) SendMessageA(list, LB_SETCURSEL, s.select, 0);
    if (s.button)
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(s.button, BN_CLICKED), 0);
    else
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_SOURCE_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

class SourceSelection : public VideoWindow {
protected:
    void SetUp() override
    {
        VideoWindow::SetUp();
        g_script = &script;
    }
    void TearDown() override
    {
        g_script = nullptr;
        VideoWindow::TearDown();
    }
    LRESULT RunSource(LONG split, LONG group)
    {
        decoder->SetViewSplit(split);
        decoder->SetViewGroup(group);
        decoder->ClearCalls();
        SetTimer(nullptr, 0, 30, &ActInDialog);
        return Command(PCMD_SOURCE);
    }
    DialogScript script;
};

TEST_F(SourceSelection, OneCameraPerViewSelectsTheGroupAtOnce)
{
    EXPECT_EQ(1, RunSource(1, 5));
    testing_support::PumpFor(100);
    EXPECT_FALSE(script.seen);
    EXPECT_EQ((Calls{"SelectSource(5)"}), Changes(decoder->Calls()));
}

TEST_F(SourceSelection, GroupOfFourOffersItsCamerasAndOkSelectsTheChoice)
{
    script.select = 2;
    EXPECT_EQ(1, RunSource(4, 2));
    ASSERT_TRUE(script.seen);
    EXPECT_EQ("Select Video Source", script.title);
    EXPECT_EQ((std::vector<std::string>{"Camera 9", "Camera 10", "Camera 11", "Camera 12"}), script.items);
    EXPECT_EQ((std::vector<LRESULT>{8, 9, 10, 11}), script.data);
    EXPECT_EQ((Calls{"SelectSource(10)"}), Changes(decoder->Calls()));
}

TEST_F(SourceSelection, SixteenCamerasInNumericOrderAndDoubleClickActsAsOk)
{
    script.select = 9;
    script.button = 0;
    RunSource(16, 0);
    ASSERT_EQ(16u, script.items.size());
    EXPECT_EQ("Camera 9", script.items[8]);
    EXPECT_EQ("Camera 10", script.items[9]);
    EXPECT_EQ("Camera 16", script.items[15]);
    EXPECT_EQ((Calls{"SelectSource(9)"}), Changes(decoder->Calls()));
}

TEST_F(SourceSelection, CancelSelectsNothing)
{
    script.select = 1;
    script.button = IDCANCEL;
    EXPECT_EQ(1, RunSource(8, 1));
    EXPECT_EQ((std::vector<std::string>{"Camera 9", "Camera 10", "Camera 11", "Camera 12", "Camera 13",
                                        "Camera 14", "Camera 15", "Camera 16"}),
              script.items);
    EXPECT_EQ(Calls{}, Changes(decoder->Calls()));
}

TEST_F(SourceSelection, OkWithoutASelectionPassesMinusOne)
{
    RunSource(4, 0);
    EXPECT_EQ("SelectSource(-1)", decoder->Calls().back());
}

TEST_F(SourceSelection, NoCamerasGiveAnEmptyList)
{
    RunSource(0, 3);
    ASSERT_TRUE(script.seen);
    EXPECT_TRUE(script.items.empty());
    EXPECT_EQ("SelectSource(-1)", decoder->Calls().back());
}

TEST_F(SourceSelection, DecoderErrorEndsTheCommandWithZero)
{
    decoder->RaiseOn(DVR_SELECT_SOURCE, L"No such camera.");
    script.select = 0;
    EXPECT_EQ(0, RunSource(4, 1));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(IsWindow(testing_support::FindThreadWindow("Select Video Source")));
}

TEST_F(SourceSelection, HugeCountFromTheDecoderListsNoMoreThanSixteen)
{
    RunSource(0x7FFFFFFF, 0);
    EXPECT_EQ(16u, script.items.size());
}

}  // namespace
