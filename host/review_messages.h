// What the panel asks of the video window for reviewing: going back, the file's
// length, and other recordings' start times. Beside host/messages.h; every
// request replies 0 when the decoder cannot do it, and never shows a message.
#pragma once
#include <windows.h>

// Panel to video window, sent: wParam a ReviewCommand, lParam its argument.
#define WM_REVIEW_COMMAND (WM_USER + 20)

enum ReviewCommand {
    RCMD_STEP_BACK = 1,      // replies 1 when the decoder stepped back
    RCMD_PLAY_BACKWARD = 2,  // replies 1 when the decoder plays backward
    RCMD_DURATION = 3,       // replies the open file's length in ms, or 0 when unknown
    RCMD_PROBE_START = 4,    // lParam a RECORDING_START; replies 1 when its start was read
    RCMD_MARK_START = 5,     // replies 1 when the clip's start is marked at the picture on view
    RCMD_MARK_END = 6,       // replies 1 when the clip's end is marked there
    RCMD_EXPORT_CLIP = 7,    // replies 1 when the decoder took the request to export the marked clip
};

// A recording whose start time the decoder reads without opening it for play.
struct RECORDING_START {
    const char* pszPath;  // in
    char szStart[32];     // out: "YYYY-MM-DD\tHH:MM:SS.mmm", which sorts as time does
};
