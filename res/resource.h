// Resource identifiers of the player.
#pragma once

// clang-format off
#define IDR_MAINFRAME        128  // the program's icon
#define IDD_VIDEO            129  // the video window
#define IDD_PANEL            102  // the control panel
#define IDD_SOURCE           142  // "Select Video Source"

// Video window.
#define IDC_DECODER          1001  // the decoder control

// Panel.
#define IDC_SOURCE           1002
#define IDC_PLAY             1003
#define IDC_PAUSE            1004
#define IDC_STEP             1005
#define IDC_STOP             1006
#define IDC_OPEN             1007
#define IDC_SLIDER           1008  // the slider control, made at run time
#define IDC_CAMERA_GROUP     1012
#define IDC_SPLIT_1          1015
#define IDC_SPLIT_4          1016
#define IDC_SPLIT_8          1017
#define IDC_SPLIT_16         1018
#define IDC_EXIT             1020
#define IDC_GRAPH            202
#define IDC_POSITION_BAR     206   // the scroll bar that stands in for the slider
#define IDC_SPEED            212
#define IDC_EVENT_TYPE       213
#define IDC_DISPLAY_SIZE     214
#define IDC_MINUTES          230
#define IDC_SECONDS          231

// Source selection.
#define IDC_SOURCE_LIST      1014

// Button images and the hand cursor.
#define IDB_STOP             136
#define IDB_PLAY             137
#define IDB_SOURCE           138
#define IDB_STEP             139
#define IDB_PAUSE            140
#define IDB_OPEN             141
#define IDB_SPLIT_1          143
#define IDB_SPLIT_4          144
#define IDB_SPLIT_8          145
#define IDB_SPLIT_16         146
#define IDC_POINTING_HAND    144  // cursor; not the system's IDC_HAND
// clang-format on
