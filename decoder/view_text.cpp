#include "decoder/view_text.h"
#include <algorithm>

namespace {

// Tahoma is on every Windows, and Wine brings its own.
const char kFace[] = "Tahoma";
const int kLabelHeight = -12;  // pixels of character height
const int kMessageHeight = -13;
const int kLabelPadding = 2;  // of the dark box around the label's text
const int kLabelInset = 4;    // from the tile's corner

HFONT MakeFont(int nHeight, int nWeight)
{
    // Unsmoothed: smoothed glyphs blend into whatever picture lies under them.
    return CreateFontA(nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, kFace);
}

// The font made, or the system's when that failed.
HGDIOBJ FontOrDefault(HFONT hFont) { return hFont ? HGDIOBJ(hFont) : GetStockObject(DEFAULT_GUI_FONT); }

}  // namespace

CViewText::CViewText()
    : m_labelFont(MakeFont(kLabelHeight, FW_BOLD)), m_messageFont(MakeFont(kMessageHeight, FW_NORMAL))
{
}

void CViewText::DrawLabel(HDC hdc, const RECT& rcTile, const std::string& text) const
{
    const char* sz = text.c_str();
    const int n = static_cast<int>(text.size());
    CScopedSelect font(hdc, FontOrDefault(m_labelFont));
    SIZE size = {};
    GetTextExtentPoint32A(hdc, sz, n, &size);
    const int x = rcTile.left + kLabelInset, y = rcTile.top + kLabelInset;
    RECT rcBox = {x, y, x + size.cx + 2 * kLabelPadding, y + size.cy + 2 * kLabelPadding};
    IntersectRect(&rcBox, &rcBox, &rcTile);
    // ExtTextOut fills the box with the background colour as it writes.
    SetBkColor(hdc, kLabelBoxColor);
    SetTextColor(hdc, kTextColor);
    ExtTextOutA(hdc, x + kLabelPadding, y + kLabelPadding, ETO_OPAQUE | ETO_CLIPPED, &rcBox, sz, n, nullptr);
}

void CViewText::DrawCaption(HDC hdc, const RECT& rc, const std::string& text) const
{
    CScopedSelect font(hdc, FontOrDefault(m_labelFont));
    SIZE size = {};
    GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    const LONG top = std::max(rc.top, rc.bottom - size.cy - 2 * kLabelPadding - 2 * kLabelInset);
    DrawLabel(hdc, {rc.left, top, rc.right, rc.bottom}, text);
}

void CViewText::DrawMessage(HDC hdc, const RECT& rc, const std::wstring& message) const
{
    RECT rcText = rc;
    CScopedSelect font(hdc, FontOrDefault(m_messageFont));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, kTextColor);
    DrawTextW(hdc, message.c_str(), static_cast<int>(message.size()), &rcText,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SetBkMode(hdc, OPAQUE);
}
