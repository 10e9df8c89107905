// The back buffer the control draws its window from, and composing a view into it.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "decoder/decode_worker.h"
#include "decoder/layout.h"
#include "decoder/view_text.h"
#include "owners/gdi.h"

// A top-down 32-bit DIB section selected into a memory DC of its own.
class CBackBuffer {
public:
    CBackBuffer() = default;
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // Makes a new, black buffer of cx x cy; false (and no buffer) when that fails.
    bool Resize(int cx, int cy);
    bool IsEmpty() const { return !m_bitmap.IsHeld(); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    HDC Dc() const { return m_dc; }
    // Row-major, top row first; null when empty.
    uint32_t* Bits() const { return m_pBits; }
    // 0x00RRGGBB; 0 outside the buffer.
    uint32_t PixelAt(int x, int y) const;
    void PaintTo(HDC hdc) const;

private:
    void Release();

    // In this order, so that the DC's own bitmap is put back before ours is
    // deleted, and the DC goes last.
    CScopedDC m_dc;
    CScopedBitmap m_bitmap;
    CScopedSelect m_selectBitmap;
    uint32_t* m_pBits = nullptr;  // owned by m_bitmap
    int m_cx = 0, m_cy = 0;
};

struct ViewScene {
    std::vector<TileSlot> slots;
    const std::vector<TilePicture>* pPictures = nullptr;  // may be null: nothing decoded yet
    uint32_t nCameraMask = 0;                             // cameras the recording has
    int nSelectedCamera = 0;                              // 1..16 marked, 0 none
    int64_t nStartOfDayMs = 0;                            // the recording's start, for the time of day of each tile's picture
    std::wstring message;                                 // when not empty, drawn instead of the view
    std::string caption;                                  // the marked clip, drawn in the view's bottom left
};

// Colours a test can look for.
const COLORREF kAbsentTileColor = RGB(40, 40, 48);  // a camera the file does not have
const COLORREF kSelectedBorderColor = RGB(255, 200, 0);

void ComposeView(CBackBuffer& buffer, const ViewScene& scene, const CViewText& text);

// Drawing straight into the buffer's bits, clipped to it; colours as the bits hold them.
uint32_t DibColor(COLORREF color);
void FillBits(CBackBuffer& buffer, RECT rc, uint32_t color);
// An outline width pixels wide, inside rc.
void OutlineBits(CBackBuffer& buffer, const RECT& rc, uint32_t color, LONG width);
