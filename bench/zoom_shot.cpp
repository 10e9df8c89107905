// The README's picture of looking closer: the player on a recording, paused,
// its view saved, then camera 6's tile zoomed into its clock with the wheel,
// to the frame's own pixels, and panned, and the view saved again: the same
// moment.
//
//   zoom_shot VORPLEX_EXE FILE BEFORE.png AFTER.png
#include <windows.h>
#include <cstdio>
#include <string>
#include "tests/support/driver.h"

using e2e::Image;
using e2e::Player;
using e2e::WaitUntil;

namespace {

const int kPauseId = 1004;
const int kPlayId = 1003;
const int kExitId = 1020;

int Fail(const char* what, const Player& player)
{
    fprintf(stderr, "zoom_shot: %s\n%s", what, player.Describe().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: zoom_shot VORPLEX_EXE FILE BEFORE.png AFTER.png\n");
        return 2;
    }
    Player player;
    if (!player.Start(argv[1], "\"" + std::string(argv[2]) + "\"") || !player.WaitForWindows())
        return Fail("the player did not start", player);
    if (!WaitUntil([&] { return player.Enabled(kPauseId); }, 20000))
        return Fail("the player did not play", player);
    Sleep(3000);  // the boxes of synth's cameras on the move
    player.Click(kPauseId);
    if (!WaitUntil([&] { return player.Enabled(kPlayId); }, 5000))
        return Fail("the player did not pause", player);
    Sleep(500);
    const Image before = player.Picture();

    HWND decoder = player.DecoderWindow();
    RECT rc = {};
    GetClientRect(decoder, &rc);
    // Tile 6, second row and column, over synth's clock near its bottom left.
    POINT six = {rc.right / 4 + rc.right / 4 * 35 / 100, rc.bottom / 4 + rc.bottom / 4 * 88 / 100};
    ClientToScreen(decoder, &six);
    PostMessageA(decoder, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(six.x, six.y));  // 2x
    if (!WaitUntil([&] { return player.Picture().DifferingPixels(before, 8) > 1000; }, 5000))
        return Fail("the tile did not zoom", player);
    // Then dragged right and up, so that the whole clock is on view.
    const LPARAM from = MAKELPARAM(rc.right * 3 / 8, rc.bottom * 3 / 8);
    const LPARAM to = MAKELPARAM(rc.right * 3 / 8 + 24, rc.bottom * 3 / 8 - 40);
    PostMessageA(decoder, WM_LBUTTONDOWN, MK_LBUTTON, from);
    PostMessageA(decoder, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageA(decoder, WM_LBUTTONUP, 0, to);
    Sleep(1000);
    const Image after = player.Picture();
    const bool bSaved = before.SavePng(argv[3]) && after.SavePng(argv[4]);
    player.Click(kExitId);
    DWORD code = 0;
    player.WaitForExit(15000, &code);
    return bSaved ? 0 : Fail("the pictures could not be saved", player);
}
