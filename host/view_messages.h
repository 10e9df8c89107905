// What the video window tells the panel of the view, beside host/messages.h.
#pragma once
#include <windows.h>

// Video window to panel, posted: the decoder changed its split and group
// itself (a double-click on the picture). The panel reads them again with
// VIEW_GET_SPLIT and VIEW_GET_GROUP. wParam, lParam: 0.
#define WM_VIEW_CHANGED (WM_USER + 70)
