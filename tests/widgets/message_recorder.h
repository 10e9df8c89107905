// Test helpers: a window procedure put in front of a window's own one that
// records what reaches it, and plain windows to subclass.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <vector>

namespace widgets_test {

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LONG_PTR userData;  // the window's user data while the message was handled
};

// Subclasses hwnd on construction and records every message that reaches it
// before passing it on (or answering it from `answers`). The destructor puts the
// window's procedure back when the recorder is still the one in place.
class MessageRecorder {
public:
    explicit MessageRecorder(HWND hwnd);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    int Count(UINT message) const;
    // The recorded messages of one number, in order.
    std::vector<RecordedMessage> Of(UINT message) const;

    HWND hwnd;
    WNDPROC original;
    std::vector<RecordedMessage> log;
    std::map<UINT, LRESULT> answers;                   // answered here, not passed on
    std::function<void(UINT, WPARAM, LPARAM)> during;  // runs while a message is handled

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
};

// A hidden top-level window of a class of its own, answering everything with
// DefWindowProc; destroyed with the object.
class PlainWindow {
public:
    PlainWindow();
    ~PlainWindow();
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND hwnd;
};

inline WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}
inline LONG_PTR UserDataOf(HWND hwnd) { return GetWindowLongPtrA(hwnd, GWLP_USERDATA); }

}  // namespace widgets_test
