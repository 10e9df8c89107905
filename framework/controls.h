// Wrappers of the standard list controls, bound by DDX_Control.
#pragma once
#include "framework/wnd.h"

namespace fw {

class CComboBox : public CWnd {
public:
    int AddString(const char* text) { return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int DeleteString(int index) { return Send(CB_DELETESTRING, index, 0); }
    int GetCount() const { return Send(CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return Send(CB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) { return Send(CB_SETCURSEL, index, 0); }
    DWORD_PTR GetItemData(int index) const { return SendRaw(CB_GETITEMDATA, index, 0); }
    int SetItemData(int index, DWORD_PTR data) { return Send(CB_SETITEMDATA, index, static_cast<LPARAM>(data)); }
    void ResetContent() { Send(CB_RESETCONTENT, 0, 0); }

private:
    int Send(UINT msg, WPARAM w, LPARAM l) const { return static_cast<int>(SendRaw(msg, w, l)); }
    LRESULT SendRaw(UINT msg, WPARAM w, LPARAM l) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

class CListBox : public CWnd {
public:
    int AddString(const char* text) { return Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int GetCount() const { return Send(LB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return Send(LB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) { return Send(LB_SETCURSEL, index, 0); }
    DWORD_PTR GetItemData(int index) const { return SendRaw(LB_GETITEMDATA, index, 0); }
    int SetItemData(int index, DWORD_PTR data) { return Send(LB_SETITEMDATA, index, static_cast<LPARAM>(data)); }

private:
    int Send(UINT msg, WPARAM w, LPARAM l) const { return static_cast<int>(SendRaw(msg, w, l)); }
    LRESULT SendRaw(UINT msg, WPARAM w, LPARAM l) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

}  // namespace fw

using fw::CComboBox;
using fw::CListBox;
