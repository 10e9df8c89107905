// The inset a zoomed tile shows in its corner: where the part on view lies in
// the whole frame.
#pragma once
#include "decoder/compositor.h"

// Colours a test can look for.
const COLORREF kInsetFrameColor = RGB(255, 255, 255);
const COLORREF kInsetPartColor = RGB(255, 200, 0);

void DrawZoomInset(CBackBuffer& buffer, const TileSlot& slot);
