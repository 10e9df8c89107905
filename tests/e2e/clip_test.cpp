// A clip from the real player: marked with the keys I and O on four cameras
// on view, its caption read back from the screen, exported through the save
// dialog, then opened and played from its own start; and the dialog's other
// choice, every camera.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using E2eClip = PlayerTest;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveClip(const std::string& path)
{
    for (const char* extra : {"", ".sha256", ".manifest.json", ".partial"}) DeleteFileA((path + extra).c_str());
}

void Char(const Player& player, char ch) { PostMessageA(player.Item(1003), WM_CHAR, WPARAM(ch), 1); }

bool Paused(const Player& player) { return !player.Enabled(1004); }

// One picture at a time, paused, until the position (whole seconds) reaches
// `position`: at 4 pictures a second, the first picture of that second.
bool StepTo(Player& player, int position)
{
    for (int i = 0; i < 60 && player.ScrollPosition() < position; ++i) {
        // One step at a time: the next only once the time shows this one's picture.
        const Image before = player.TimeText();
        Char(player, '.');
        WaitUntil([&] { return player.TimeText().DifferingPixels(before) > 0; }, 3000);
    }
    Sleep(500);  // its picture on view
    return Paused(player) && player.ScrollPosition() == position;
}

// Back one picture at a time, paused, to the first: 4 more once the position
// reads 0, the pictures of the first second.
void BackToTheFirst(Player& player)
{
    for (int i = 0, beyond = 4; i < 60 && (player.ScrollPosition() > 0 || beyond-- > 0); ++i) {
        Char(player, ',');
        Sleep(300);
    }
}

// The caption drawn as the decoder draws its labels (Tahoma bold, 12 pixels,
// unsmoothed, white on a black box, 4 pixels in from the view's bottom left
// corner): the pixels that differ from what the screen shows there.
size_t CaptionDifference(const Player& player, const std::string& text)
{
    HWND decoder = player.DecoderWindow();
    RECT rc = {};
    GetClientRect(decoder, &rc);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    const int w = size.cx + 4, h = size.cy + 4;
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    RECT box = {0, 0, w, h};
    ExtTextOutA(dc, 2, 2, ETO_OPAQUE | ETO_CLIPPED, &box, text.c_str(), int(text.size()), nullptr);
    GdiFlush();
    Image expected;
    expected.width = w;
    expected.height = h;
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) expected.pixels.push_back(pixels[i] & 0xFFFFFF);
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    return expected.DifferingPixels(CaptureClient(decoder).Crop({4, rc.bottom - 4 - h, 4 + w, rc.bottom - 4}));
}

// "Export clip...", the picture menu's item above its last ("Find motion in
// camera N..."), answered with path and the
// dialog's file type (0: the cameras on view, 1: every camera); true once the
// clip and its manifest are whole.
bool ExportClip(Player& player, const std::string& path, int type, std::string* pOffered)
{
    HWND menu = player.OpenPictureMenu({10, 10});
    if (!menu) return false;
    PostMessageA(player.DecoderWindow(), WM_KEYDOWN, VK_UP, 0);
    PostMessageA(player.DecoderWindow(), WM_KEYDOWN, VK_UP, 0);
    PostMessageA(player.DecoderWindow(), WM_KEYDOWN, VK_RETURN, 0);
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = player.FindDialog("Save As")) != nullptr; }, 30000)) return false;
    HWND types = GetDlgItem(dialog, 0x470);
    SendMessageA(types, CB_SETCURSEL, WPARAM(type), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), LPARAM(types));
    return player.AnswerSaveDialog(path, pOffered) &&
           WaitUntil([&] { return Exists(path + ".sha256") && player.Enabled(1003); }, 30000);
}

// Marks 08:00:05 and 08:00:09 of the 16-camera recording with I and O, paused
// and stepped there from its first picture; the time text at 08:00:06, a
// second into the clip.
Image MarkFiveToNine(Player& player)
{
    Char(player, 'k');
    EXPECT_TRUE(WaitUntil([&] { return Paused(player); }, 5000));
    BackToTheFirst(player);
    EXPECT_TRUE(StepTo(player, 5)) << "at " << player.ScrollPosition();
    Char(player, 'i');
    EXPECT_TRUE(StepTo(player, 6)) << "at " << player.ScrollPosition();
    const Image sixText = player.TimeText();
    EXPECT_TRUE(StepTo(player, 9)) << "at " << player.ScrollPosition();
    Char(player, 'o');
    return sixText;
}

// Opens the clip in a player of its own, in the view of 16, paused a second
// from its first picture: the cameras on view and the time text there; then
// it plays on.
void OpenClip(const std::string& path, std::set<int>* pCameras, Image* pSecondText)
{
    Player clip;
    ASSERT_TRUE(clip.Start(WindowsPath(VORPLEX_EXE), "\"" + path + "\""));
    ASSERT_TRUE(clip.WaitForWindows()) << clip.Describe();
    ASSERT_TRUE(WaitUntil([&] { return clip.Enabled(1004); }, 20000)) << "the clip does not play";
    clip.Press(1018);
    ASSERT_TRUE(WaitUntil([&] { return clip.Checked(1018) == BST_CHECKED; }, 10000));
    Char(clip, 'k');
    ASSERT_TRUE(WaitUntil([&] { return Paused(clip); }, 5000));
    BackToTheFirst(clip);
    EXPECT_TRUE(StepTo(clip, 1)) << "at " << clip.ScrollPosition();
    *pCameras = CamerasOnView(clip.Picture());
    *pSecondText = clip.TimeText();
    Char(clip, 'l');
    EXPECT_TRUE(WaitUntil([&] { return clip.TimeText().DifferingPixels(*pSecondText) > 0; }, 10000))
        << "the clip did not play on";
    EXPECT_TRUE(clip.MessageBoxTexts().empty());
    clip.Click(1020);
    DWORD code = 0;
    EXPECT_TRUE(clip.WaitForExit(15000, &code));
}

TEST_F(E2eClip, MarkedWithTheKeysExportedAndPlayedFromItsStart)
{
    const std::string out = RecordingPath("e2e-clip-on-view.d01");
    RemoveClip(out);
    StartPlaying(kPlayRecording);
    player.Press(1016);  // four cameras on view: 1 to 4
    ASSERT_TRUE(WaitUntil([&] { return CamerasOnView(player.Picture()) == CameraRange(1, 4); }, 10000));
    const Image sixText = MarkFiveToNine(player);
    ASSERT_FALSE(HasFatalFailure());

    const std::string caption = "Clip 08:00:05 - 08:00:09 (0:04)";
    EXPECT_TRUE(WaitUntil([&] { return CaptionDifference(player, caption) == 0; }, 5000))
        << CaptionDifference(player, caption) << " pixels differ from \"" << caption << "\"";
    EXPECT_GT(CaptionDifference(player, "Clip 08:00:05 - 08:00:10 (0:05)"), 0u) << "the caption is not read";
    SaveScreen("clip-caption.png");

    std::string offered;
    ASSERT_TRUE(ExportClip(player, out, 0, &offered)) << player.Describe();
    EXPECT_EQ("play16-080005-080009.d01", offered);
    EXPECT_FALSE(Exists(out + ".partial"));

    std::set<int> cameras;
    Image clipSecondText;
    OpenClip(out, &cameras, &clipSecondText);
    EXPECT_EQ(CameraRange(1, 4), cameras) << Describe(cameras);
    EXPECT_EQ(0u, clipSecondText.DifferingPixels(sixText)) << "a second in, the clip's time is not 08:00:06.00";
    RemoveClip(out);
}

TEST_F(E2eClip, EveryCameraIsTheDialogsOtherChoice)
{
    const std::string out = RecordingPath("e2e-clip-every.d01");
    RemoveClip(out);
    StartPlaying(kPlayRecording);
    player.Press(1016);
    ASSERT_TRUE(WaitUntil([&] { return player.Checked(1016) == BST_CHECKED; }, 5000));
    MarkFiveToNine(player);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(ExportClip(player, out, 1, nullptr)) << player.Describe();

    std::set<int> cameras;
    Image clipSecondText;
    OpenClip(out, &cameras, &clipSecondText);
    EXPECT_EQ(CameraRange(1, 16), cameras) << Describe(cameras);
    RemoveClip(out);
}

}  // namespace
}  // namespace e2e
