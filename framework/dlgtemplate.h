// Dialog templates with ActiveX controls in them. An item whose window class is
// a CLSID string ("{...}") is taken out before the dialog manager sees the
// template; the framework creates the control itself, at the item's place,
// with the item's creation data as the control's persisted-property stream.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace fw {

struct OleControlItem {
    UINT nID;
    CLSID clsid;
    RECT rcDialogUnits;  // left, top, right, bottom in dialog units
    DWORD dwStyle;
    DWORD dwExStyle;
    std::string text;
    std::vector<BYTE> state;  // persisted-property stream; empty for none
    int nIndex;               // position among the template's items
};

struct PreparedTemplate {
    std::vector<BYTE> bytes;  // the template without the control items (DWORD aligned)
    std::vector<OleControlItem> controls;
};

// Splits a template (classic or extended). Returns false when it is malformed.
bool PrepareDialogTemplate(const BYTE* data, size_t size, PreparedTemplate* out);

// Loads template nID from the module and splits it.
bool LoadDialogTemplate(HINSTANCE hInstance, UINT nID, PreparedTemplate* out);

}  // namespace fw
