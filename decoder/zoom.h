// The digital zoom of one tile: how far in and where, as pure geometry.
//
// A zoom is a step (each a factor of the square root of two, up to 8x) and the
// middle of what is seen, as fractions of the frame's sides, so that it holds
// whatever size the frame or the tile has. What is seen always lies inside the
// frame: every change clamps the middle. The part of the frame it stands for is
// decoded at the frame's own pixels, never enlarged from the tile's picture.
//
// Portable, no Windows header: the control and the native tests share it.
#pragma once
#include "decoder/frame_decoder.h"

struct ZoomView {
    int nStep = 0;  // 0 is the whole frame
    double centerX = 0.5, centerY = 0.5;

    static constexpr int kMaxStep = 6;  // 8x

    bool IsZoomed() const { return nStep > 0; }
    double Factor() const;
    bool operator==(const ZoomView& other) const
    {
        return nStep == other.nStep && centerX == other.centerX && centerY == other.centerY;
    }
    bool operator!=(const ZoomView& other) const { return !(*this == other); }
};

// The zoom nSteps further in (out, when negative), the point at (px, py), as
// fractions of the tile, kept where it is. Back at step 0 it is the whole frame.
ZoomView ZoomedAbout(const ZoomView& view, int nSteps, double px, double py);
// The zoom after the pointer moved (dx, dy), as fractions of the tile: the
// picture follows the pointer, as far as the frame reaches.
ZoomView Panned(const ZoomView& view, double dx, double dy);

// What the zoom shows of a w x h frame, in its pixels: at least one pixel a
// side, unless the frame has none.
FrameRegion CropOf(const ZoomView& view, unsigned w, unsigned h);

struct ZoomRect {
    int left, top, right, bottom;
};
// The inset drawn in a zoomed tile's bottom right corner: the whole frame
// (*pFrame, a fifth of the tile a side) and the part on view inside it (*pPart).
// False when the tile is too small to hold one.
bool InsetOf(const ZoomView& view, const ZoomRect& tile, ZoomRect* pFrame, ZoomRect* pPart);
