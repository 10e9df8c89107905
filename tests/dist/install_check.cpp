// The Windows side of the install round trip (tests/dist/roundtrip.sh): it
// starts an installed or unpacked Vorplex.exe from outside, as a user would,
// and says whether it plays, and reads a file's version resource.
//
//   install_check play EXE RECORDING [--decline-association] [--shot PNG]
//       The player starts with the recording, finds its decoder and shows a
//       moving picture of it, then ends cleanly on Exit. Any message box fails
//       the check, except, with --decline-association, the offer to become the
//       recordings' player, which is answered No (and must come).
//   install_check unregistered EXE
//       The player says that it cannot make the decoder, and ends.
//   install_check version FILE VERSION
//       FILE's version resource names VERSION (MAJOR.MINOR.PATCH), the product
//       and a description.
//
// Exit code 0 when the check holds, 1 when it does not (the reason on stderr),
// 2 for a wrong command line.
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/support/driver.h"

using e2e::Image;
using e2e::Player;
using e2e::WaitUntil;
using e2e::WindowText;

namespace {

const char kNotRegistered[] = "Unable to start Vorplex.exe, reason:\nDVR Control is not registered";
const char kAssociationOffer[] = "Vorplex.exe is not default player for .nwv files.";
const char kPanelTitle[] = "RUD Orezor";
const char kBoxTitle[] = "Vorplex";  // the program's name captions its message boxes
const int kPause = 1004, kExit = 1020;

int Fail(const std::string& why)
{
    fprintf(stderr, "install_check: %s\n", why.c_str());
    return 1;
}

int Usage()
{
    fprintf(stderr,
            "usage: install_check play EXE RECORDING [--decline-association] [--shot PNG]\n"
            "       install_check unregistered EXE\n"
            "       install_check version FILE MAJOR.MINOR.PATCH\n");
    return 2;
}

// Share of pixels that are black or nearly so.
double BlackShare(const Image& image)
{
    if (image.Empty()) return 1.0;
    size_t black = 0;
    for (uint32_t p : image.pixels)
        if (((p >> 16) & 0xFF) < 16 && ((p >> 8) & 0xFF) < 16 && (p & 0xFF) < 16) ++black;
    return static_cast<double>(black) / image.pixels.size();
}

// Until the panel is on screen: answers the association offer with No when
// asked to (once), and fails on any other message box.
bool WaitForPanel(Player& player, bool declineAssociation, bool* offered, std::string* why)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        if (player.FindDialog(kPanelTitle)) {
            if (player.WaitForWindows(5000)) return true;
            *why = "the panel showed, the video window did not";
            return false;
        }
        if (HWND box = player.FindDialog(kBoxTitle)) {
            const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
            if (!declineAssociation || *offered || text.rfind(kAssociationOffer, 0) != 0) {
                *why = "message box: " + text;
                return false;
            }
            *offered = true;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
            WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        }
        if (!player.Running()) {
            *why = "the player ended before its panel showed";
            return false;
        }
        ::Sleep(50);
    }
    *why = "no panel within 30 s; windows:\n" + player.Describe();
    return false;
}

int Play(const std::string& exe, const std::string& recording, bool declineAssociation, const std::string& shot)
{
    Player player;
    if (!player.Start(exe, "\"" + recording + "\"")) return Fail("cannot start " + exe);
    bool offered = false;
    std::string why;
    if (!WaitForPanel(player, declineAssociation, &offered, &why)) return Fail(why);
    if (declineAssociation && !offered) return Fail("the association was not offered to a player at another path");

    // Playing starts two seconds after the open; Pause turns on at the first picture.
    if (!WaitUntil([&] { return player.Enabled(kPause); }, 20000))
        return Fail("not playing after 20 s; windows:\n" + player.Describe());
    const std::string title = WindowText(player.Video());
    if (title != recording) return Fail("the video window is titled '" + title + "', not the recording");

    ::Sleep(1000);
    const Image first = player.Picture();
    const size_t colours = first.DistinctColours();
    const double black = BlackShare(first);
    if (colours < 16) return Fail("the picture is flat: " + std::to_string(colours) + " colours");
    if (black > 0.5) return Fail("the picture is mostly black: " + std::to_string(black));
    ::Sleep(1500);
    const size_t changed = player.Picture().DifferingPixels(first);
    if (changed < 100) return Fail("the picture did not move while playing");
    if (!shot.empty()) first.SavePng(shot);

    player.Click(kExit);
    DWORD code = 1;
    if (!player.WaitForExit(15000, &code)) return Fail("the player did not end on Exit");
    if (code != 0) return Fail("the player ended with " + std::to_string(code));
    printf("play: %s plays %s (%zu colours or more, %.0f%% black, %zu pixels moved)%s\n", exe.c_str(), recording.c_str(),
           colours, black * 100, changed, offered ? "; the association offer was declined" : "");
    return 0;
}

int Unregistered(const std::string& exe)
{
    Player player;
    if (!player.Start(exe, "")) return Fail("cannot start " + exe);
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = player.FindDialog(kBoxTitle)) != nullptr || !player.Running(); }, 30000) ||
        !box)
        return Fail("no message box; windows:\n" + player.Describe());
    const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
    if (text != kNotRegistered) return Fail("message box: " + text);
    if (player.FindDialog(kPanelTitle)) return Fail("the panel showed without a decoder");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 0;
    if (!player.WaitForExit(15000, &code)) return Fail("the player did not end after its message");
    printf("unregistered: %s cannot make the decoder and says so\n", exe.c_str());
    return 0;
}

std::string VersionString(const std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT size = 0;
    const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &size) || !value) return "";
    return std::string(value, strnlen(value, size));
}

int Version(const std::string& file, const std::string& expected)
{
    unsigned major = 0, minor = 0, patch = 0;
    char rest = 0;
    if (sscanf(expected.c_str(), "%u.%u.%u%c", &major, &minor, &patch, &rest) != 3) return Usage();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return Fail(file + " has no version resource");
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return Fail("cannot read " + file);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed)
        return Fail(file + " has no fixed version");
    const DWORD ms = MAKELONG(minor, major), ls = MAKELONG(0, patch);
    if (fixed->dwFileVersionMS != ms || fixed->dwFileVersionLS != ls || fixed->dwProductVersionMS != ms ||
        fixed->dwProductVersionLS != ls)
        return Fail(file + ": the fixed version is not " + expected + ".0");
    for (const char* name : {"FileVersion", "ProductVersion"})
        if (VersionString(block, name) != expected)
            return Fail(file + ": " + name + " is '" + VersionString(block, name) + "'");
    if (VersionString(block, "ProductName") != "Vorplex") return Fail(file + ": ProductName is not Vorplex");
    const std::string description = VersionString(block, "FileDescription");
    if (description.empty()) return Fail(file + " has no FileDescription");
    printf("version: %s is Vorplex %s, \"%s\"\n", file.c_str(), expected.c_str(), description.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "play") {
        bool decline = false;
        std::string shot;
        for (size_t i = 3; i < args.size(); ++i) {
            if (args[i] == "--decline-association") decline = true;
            else if (args[i] == "--shot" && i + 1 < args.size()) shot = args[++i];
            else return Usage();
        }
        return Play(args[1], args[2], decline, shot);
    }
    if (args.size() == 2 && args[0] == "unregistered") return Unregistered(args[1]);
    if (args.size() == 3 && args[0] == "version") return Version(args[1], args[2]);
    return Usage();
}
