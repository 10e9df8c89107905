#include "tests/support/test_support.h"
#include "framework/dialog.h"

namespace testing_support {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::CDialog::PreTranslateDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    PumpMessages();
}

MessageBoxRecorder::MessageBoxRecorder(int answer_) : answer(answer_) {
    m_previous = fw::SetMessageBoxHook([this](const fw::MessageBoxRequest& r) {
        boxes.push_back(r);
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { fw::SetMessageBoxHook(m_previous); }

std::string WindowText(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

}  // namespace testing_support
