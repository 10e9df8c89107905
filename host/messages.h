// What the panel and the video window say to each other.
#pragma once
#include <windows.h>

// Panel to video window, sent.
#define WM_PANEL_COMMAND (WM_USER + 1)  // wParam command code, lParam argument; replies 1 or 0
#define WM_FETCH_INDEX   (WM_USER + 4)  // wParam the EVENT_INDEX to fill; replies 1 or 0
#define WM_VIEW_PROPERTY (WM_USER + 5)  // wParam view code, lParam value
// Video window to panel, posted: one for each event of the decoder.
#define WM_DECODER_STATE    (WM_USER + 2)  // wParam event type, lParam event value
#define WM_DECODER_POSITION (WM_USER + 3)  // wParam ms from the start of the file

// Command codes of WM_PANEL_COMMAND.
enum PanelCommand {
    PCMD_PLAY = 1,
    PCMD_PAUSE = 2,
    PCMD_STOP = 3,
    PCMD_SPEED = 4,  // lParam: the speed, in its low 16 bits
    PCMD_STEP = 5,
    PCMD_PLAY_AGAIN = 6,
    PCMD_OPEN = 7,  // lParam: the zero-terminated path
    PCMD_SOURCE = 8,
    PCMD_START_OFFSET = 9,  // lParam: ms from the start of the file, for the next open
};

// View codes of WM_VIEW_PROPERTY.
enum ViewProperty {
    VIEW_SET_SPLIT = 1,  // lParam cameras per view; replies 0
    VIEW_GET_SPLIT = 2,  // replies cameras per view
    VIEW_SET_GROUP = 3,  // lParam 0-based group; replies 0
    VIEW_GET_GROUP = 4,  // replies the group
};
