// Drives the real Vorplex.exe from outside, as a user would: it starts the
// program, finds its windows, clicks, chooses, scrolls and types by posting the
// messages those actions produce, and reads pixels back from the screen.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Pixels of a screen rectangle, 0x00RRGGBB, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Empty() const { return pixels.empty(); }
    Image Crop(const RECT& rc) const;
    // Number of distinct colours (at most `stopAt`, to keep it cheap).
    size_t DistinctColours(size_t stopAt = 64) const;
    // Pixels that differ from `other` by more than `tolerance` in some channel;
    // every pixel counts when the sizes differ.
    size_t DifferingPixels(const Image& other, int tolerance = 24) const;
    size_t CountColour(uint32_t rgb) const;
    bool SavePng(const std::string& path) const;
    // The pixels of a PNG file; empty when it cannot be read.
    static Image LoadPng(const std::string& path);
};

// RGB as 0x00RRGGBB from a COLORREF (0x00BBGGRR).
inline uint32_t FromColorref(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Pixels of a rectangle in screen coordinates, as the screen shows them now.
Image CaptureScreen(const RECT& rc);
// The client area, or the whole window with its frame.
Image CaptureClient(HWND hwnd);
Image CaptureWindow(HWND hwnd);
RECT ScreenRectOfClient(HWND hwnd);

// Polls pred every 50 ms until it holds or ms have passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, DWORD ms);
void Sleep(DWORD ms);

// A Unix path as the Windows side sees it (Wine's drive Z: is the root).
std::string WindowsPath(const std::string& unixPath);
std::string WindowText(HWND hwnd);
std::wstring WideWindowText(HWND hwnd);
// Paths and command lines given to the driver are UTF-8; this is their wide form.
std::wstring Utf16(const std::string& utf8);
std::string ClassName(HWND hwnd);

class Player {
public:
    Player() = default;
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Starts exe with the command-line tail `args` (may be empty), both UTF-8.
    bool Start(const std::string& exe, const std::string& args);
    // Waits for the panel and the video window; false with `Describe()` worth printing.
    bool WaitForWindows(DWORD ms = 20000);
    HWND Panel() const { return m_hPanel; }
    HWND Video() const { return m_hVideo; }
    HWND Item(int id) const { return GetDlgItem(m_hPanel, id); }
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; its exit code in *code.
    bool WaitForExit(DWORD ms, DWORD* code);
    // Ends the process the hard way (a test that failed half-way).
    void Kill();

    // The top-level windows of the process, as "class 'title'" lines.
    std::string Describe() const;
    // A visible top-level dialog of the process with that title, or null.
    HWND FindDialog(const char* title) const;
    // Message boxes seen so far (dialogs titled with the program's name).
    std::vector<std::string> MessageBoxTexts() const;

    // A push button: WM_COMMAND BN_CLICKED with its id and window, posted to the panel.
    void Click(int id);
    // A button pressed the way the mouse does, so that radio buttons check themselves.
    void Press(int id);
    // A list's item: CB_SETCURSEL, then CBN_SELCHANGE to the panel.
    void Choose(int listId, int index);
    // The position scroll bar: WM_HSCROLL with the code and thumb position.
    void Scroll(int code, int position = 0);
    // A click inside the time text, then minutes and seconds typed and Enter.
    void ClickTimeText();
    void TypeTime(const char* minutes, const char* seconds);
    // Answers the common open-file dialog with a path (UTF-8); false when none appears.
    bool AnswerOpenDialog(const std::string& windowsPath, DWORD ms = 30000);
    // Answers the common save dialog ("Save As") with a path, or cancels it
    // when the path is empty; false when none appears.
    bool AnswerSaveDialog(const std::string& windowsPath, std::string* pOffered = nullptr, DWORD ms = 30000);
    // A visible top-level window of the player's of a class, such as an open
    // menu ("#32768") or a tooltip; null when there is none.
    HWND ShownWindowOfClass(const std::string& className) const;
    // The decoder control's window in the video window.
    HWND DecoderWindow() const;
    // A right click at a point of the decoder's window; the menu that opens, or
    // null when none appears.
    HWND OpenPictureMenu(POINT ptClient, DWORD ms = 10000);
    // The open menu's item chosen from the keyboard (1 the first); false when
    // the menu does not close.
    bool ChooseFromOpenMenu(HWND menu, int item, DWORD ms = 10000);
    bool ChooseFromPictureMenu(POINT ptClient, int item, DWORD ms = 10000)
    {
        HWND menu = OpenPictureMenu(ptClient, ms);
        return menu && ChooseFromOpenMenu(menu, item, ms);
    }

    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    int Checked(int id) const;
    int CurSel(int listId) const;
    int Count(int listId) const;
    int ScrollPosition() const;
    // Where the panel paints the time of day, in screen coordinates.
    RECT TimeTextRect() const;
    Image TimeText() const { return CaptureScreen(TimeTextRect()); }
    Image Picture() const { return CaptureClient(m_hVideo); }
    Image Graph() const { return CaptureClient(Item(202)); }

private:
    PROCESS_INFORMATION m_pi = {};
    HWND m_hPanel = nullptr;
    HWND m_hVideo = nullptr;
};

// How often the picture changed while the video window was sampled every
// ~100 ms for ms milliseconds: 0 when it never did.
int CountPictureChanges(const Player& player, DWORD ms);

}  // namespace e2e
