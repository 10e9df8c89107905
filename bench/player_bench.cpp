// Benchmarks of the whole player, run under Wine: starts Vorplex.exe on a
// recording and watches it from outside, as a user would, through its windows.
//
//   player_bench VORPLEX_EXE FILE [SEEKS]
//
// Start-up: from just before CreateProcess to (a) the panel on screen, (b) the
// video window's title becoming the path (the panel sets it once the decoder
// has opened the file), (c) the first picture in the video window (its client
// area, black until then, read back from the screen) and (d) the panel's Pause
// button being enabled (the panel enables it at the first non-zero position
// after an open). (b) to (d) include the panel's two-second auto-play timer;
// they are printed less it.
// Seek: WM_HSCROLL SB_PAGERIGHT / SB_PAGELEFT posted to the panel (a minute
// on or back through the position scroll bar), timed to Pause being enabled
// again after the reopen disabled it.
// Memory: the player's peak working set after all that.
// Prints "key=value" lines for scripts/bench.sh.
#include "bench/timing.h"
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "owners/gdi.h"
#include "owners/handle.h"

namespace {

const char kPanelTitle[] = "RUD Orezor";
const int kPauseId = 1004;
const int kExitId = 1020;
const int kPositionBarId = 206;
const double kAutoPlayMs = 2000;

struct Windows {
    DWORD pid = 0;
    const char* path = nullptr;
    HWND panel = nullptr;
    HWND video = nullptr;  // a window of the process titled with the path
};

BOOL CALLBACK FindWindows(HWND hwnd, LPARAM lParam)
{
    Windows* w = reinterpret_cast<Windows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != w->pid)
        return TRUE;
    char title[1024] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (strcmp(title, kPanelTitle) == 0)
        w->panel = hwnd;
    else if (_stricmp(title, w->path) == 0)
        w->video = hwnd;
    return TRUE;
}

// Polls every millisecond until done() or the deadline; false on the deadline.
template <class F>
bool PollUntil(F done, double nDeadline)
{
    while (!done()) {
        if (NowMs() > nDeadline)
            return false;
        Sleep(1);
    }
    return true;
}

// Whether the video window's client area shows anything but black, sampled on
// a grid read back from the screen.
bool ShowsAPicture(HWND video)
{
    RECT rc = {};
    if (!GetClientRect(video, &rc) || rc.right < 8 || rc.bottom < 8)
        return false;
    const CClientDC screen(nullptr);
    bool bPicture = false;
    for (int i = 1; i < 8 && !bPicture; ++i) {
        for (int j = 1; j < 8 && !bPicture; ++j) {
            POINT pt = {rc.right * i / 8, rc.bottom * j / 8};
            ClientToScreen(video, &pt);
            const COLORREF pixel = GetPixel(screen, pt.x, pt.y);
            bPicture = pixel != CLR_INVALID && (GetRValue(pixel) > 24 || GetGValue(pixel) > 24 || GetBValue(pixel) > 24);
        }
    }
    return bPicture;
}

void Close(const PROCESS_INFORMATION& pi, HWND panel)
{
    if (panel)
        PostMessageA(panel, WM_COMMAND, MAKEWPARAM(kExitId, BN_CLICKED), 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    const CScopedHandle thread(pi.hThread), process(pi.hProcess);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: player_bench VORPLEX_EXE FILE [SEEKS]\n");
        return 2;
    }
    const char* exe = argv[1];
    const char* path = argv[2];
    const int nSeeks = argc > 3 ? atoi(argv[3]) : 10;
    std::string commandLine = std::string("\"") + exe + "\" \"" + path + "\"";

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double t0 = NowMs();
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "could not start %s (%lu)\n", exe, GetLastError());
        return 1;
    }

    Windows w;
    w.pid = pi.dwProcessId;
    w.path = path;
    double tPanel = -1, tTitle = -1, tPicture = -1, tPause = -1;
    HWND pause = nullptr;
    const bool bStarted = PollUntil([&] {
        const double now = NowMs();
        if (!w.panel || !w.video)
            EnumWindows(FindWindows, reinterpret_cast<LPARAM>(&w));
        if (w.panel && tPanel < 0 && IsWindowVisible(w.panel))  // made, then shown after its initialisation
            tPanel = now;
        if (w.video && tTitle < 0)
            tTitle = now;
        if (w.video && tPicture < 0 && ShowsAPicture(w.video))
            tPicture = now;
        if (w.panel && !pause)
            pause = GetDlgItem(w.panel, kPauseId);
        if (pause && tTitle >= 0 && IsWindowEnabled(pause))
            tPause = now;
        return tPause >= 0 && tPicture >= 0;
    },
                                    t0 + 30000);
    if (!bStarted) {
        fprintf(stderr, "player: no playback within 30 s (panel %s, title %s)\n", w.panel ? "yes" : "no",
                w.video ? "yes" : "no");
        Close(pi, w.panel);
        return 1;
    }
    printf("panel_shown_ms=%.1f\n", tPanel - t0);
    printf("open_done_ms=%.1f\n", tTitle - t0 - kAutoPlayMs);
    printf("first_picture_ms=%.1f\n", tPicture - t0 - kAutoPlayMs);
    printf("first_position_ms=%.1f\n", tPause - t0 - kAutoPlayMs);

    // A few seconds of play, then seeks a minute on and back in turn.
    Sleep(2000);
    HWND bar = GetDlgItem(w.panel, kPositionBarId);
    std::vector<double> seeks;
    for (int i = 0; i < nSeeks; ++i) {
        const WPARAM code = i % 2 == 0 ? SB_PAGERIGHT : SB_PAGELEFT;
        const double s0 = NowMs();
        PostMessageA(w.panel, WM_HSCROLL, code, reinterpret_cast<LPARAM>(bar));
        const bool bDisabled = PollUntil([&] { return !IsWindowEnabled(pause); }, s0 + 5000);
        const bool bEnabled = bDisabled && PollUntil([&] { return IsWindowEnabled(pause) != FALSE; }, s0 + 10000);
        if (!bEnabled) {
            fprintf(stderr, "seek %d: Pause was %s\n", i, bDisabled ? "not enabled again" : "never disabled");
            Close(pi, w.panel);
            return 1;
        }
        seeks.push_back(NowMs() - s0);
        Sleep(700);
    }
    printf("seeks=%zu\n", seeks.size());
    printf("median_seek_ms=%.1f\n", Median(seeks));
    printf("max_seek_ms=%.1f\n", *std::max_element(seeks.begin(), seeks.end()));

    // The player's memory after all that.
    const CScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pi.dwProcessId));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        printf("player_peak_working_set_mb=%.1f\n", counters.PeakWorkingSetSize / 1048576.0);
        printf("player_working_set_mb=%.1f\n", counters.WorkingSetSize / 1048576.0);
    }
    fflush(stdout);
    Close(pi, w.panel);
    return 0;
}
