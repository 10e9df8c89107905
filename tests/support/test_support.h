// Helpers shared by the Windows tests.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <string>
#include <vector>
#include "framework/com_scope.h"
#include "framework/filedialog.h"
#include "framework/msgbox.h"

namespace testing_support {

// Dispatches the thread's queued messages (through the dialog manager, as the
// framework's loops do) until none is left.
void PumpMessages();
// Dispatches messages for about ms milliseconds.
void PumpFor(DWORD ms);
// Pumps until pred() holds or ms have passed; returns pred().
template <class Pred> bool PumpUntil(Pred pred, DWORD ms = 3000)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return false;
        PumpFor(10);
    }
    return true;
}

// Records every message box the program would show and answers with `answer`.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<fw::MessageBoxRequest> boxes;
    int answer;

private:
    fw::MessageBoxHook m_previous;
};

// Answers every open-file dialog: with `path` (OK), or cancels when it is empty.
// Records how each dialog was asked for.
class OpenFileAnswer {
public:
    explicit OpenFileAnswer(std::string path = std::string());
    ~OpenFileAnswer();
    OpenFileAnswer(const OpenFileAnswer&) = delete;
    OpenFileAnswer& operator=(const OpenFileAnswer&) = delete;

    struct Request {
        HWND hwndOwner;
        DWORD flags;
        std::string defaultExtension;
        std::vector<std::string> filter;  // the pieces between the zeros
        DWORD maxFile;
        bool hadInitialName;
        bool hadTitle;
    };
    std::vector<Request> requests;
    std::string path;

private:
    fw::OpenFileDialogHook m_previous;
};

// COM for the test's thread, as start-up has it.
using ComScope = fw::CComScope;

// The visible top-level window of this thread with that title (other test
// processes share the desktop, so FindWindow could see theirs).
HWND FindThreadWindow(const char* title);

// Text of a window.
std::string WindowText(HWND hwnd);

}  // namespace testing_support
