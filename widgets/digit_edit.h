// One field of the time entry: a single-line edit that lets only digits and a
// few harmless characters through, and tells its parent when Enter is pressed.
#pragma once
#include "widgets/subclass_wnd.h"

// WM_NOTIFY code sent to the edit's parent for Enter; wParam is the control id.
constexpr UINT TEN_ENTER = 78;

class CDigitEdit : public CSubclassWnd {
public:
    // 0 lets the character on to the edit, 1 swallows it.
    LRESULT OnChar(WPARAM wParam, LPARAM lParam) override;
    // 1 when the release of Return was turned into the notification.
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam) override;

private:
    // Sends TEN_ENTER to the parent; false when there is no parent.
    bool NotifyEnter();
};
