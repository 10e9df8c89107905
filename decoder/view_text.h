// The text the control draws over its view: each tile's label, and the
// message of an open that failed.
//
// It uses fonts of its own rather than the system's GUI font: a named face at a
// set size, drawn without smoothing, so that the text stays crisp over any
// picture and looks the same on every machine.
#pragma once
#include <windows.h>
#include <string>
#include "owners/gdi.h"

class CViewText {
public:
    CViewText();

    // The label in the tile's top left corner: light text on a dark box. The
    // camera's number, and the time of day of its picture when it has one.
    void DrawLabel(HDC hdc, const RECT& rcTile, const std::string& text) const;
    // The marked clip's caption, as a label in rc's bottom left corner.
    void DrawCaption(HDC hdc, const RECT& rc, const std::string& text) const;
    // Centred near the top of rc, broken into lines as it needs.
    void DrawMessage(HDC hdc, const RECT& rc, const std::wstring& message) const;

    static const COLORREF kTextColor = RGB(255, 255, 255);
    static const COLORREF kLabelBoxColor = RGB(0, 0, 0);

private:
    CScopedFont m_labelFont;
    CScopedFont m_messageFont;
};
