// Resource identifiers of the player.
#pragma once

#define IDR_MAINFRAME        128  // the program's icon
#define IDD_VIDEO            129  // the video window
#define IDD_PANEL            102  // the control panel

#define IDC_DECODER          1001  // the decoder control in the video window
#define IDD_SOURCE           142  // "Select Video Source"
#define IDC_SOURCE_LIST      1014
