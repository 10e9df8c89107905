#include "tests/support/test_support.h"
#include <cstring>
#include "framework/dialog.h"

namespace testing_support {

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (fw::CDialog::PreTranslateDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    PumpMessages();
}

MessageBoxRecorder::MessageBoxRecorder(int answer_) : answer(answer_)
{
    m_previous = fw::SetMessageBoxHook([this](const fw::MessageBoxRequest& r) {
        boxes.push_back(r);
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { fw::SetMessageBoxHook(m_previous); }

OpenFileAnswer::OpenFileAnswer(std::string path_) : path(std::move(path_))
{
    m_previous = fw::SetOpenFileDialogHook([this](OPENFILENAMEA* ofn) -> BOOL {
        Request r{ofn->hwndOwner, ofn->Flags, ofn->lpstrDefExt ? ofn->lpstrDefExt : "", {}, ofn->nMaxFile, ofn->lpstrFile && ofn->lpstrFile[0] != '\0', ofn->lpstrTitle != nullptr};
        for (const char* piece = ofn->lpstrFilter; piece && *piece; piece += strlen(piece) + 1)
            r.filter.push_back(piece);
        requests.push_back(r);
        if (path.empty() || !ofn->lpstrFile || path.size() >= ofn->nMaxFile) return FALSE;
        memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
        return TRUE;
    });
}

OpenFileAnswer::~OpenFileAnswer() { fw::SetOpenFileDialogHook(m_previous); }

HWND FindThreadWindow(const char* title)
{
    struct Search {
        const char* title;
        HWND found;
    } search = {title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(), [](HWND hwnd, LPARAM lParam) -> BOOL {
            Search* s = reinterpret_cast<Search*>(lParam);
            if (WindowText(hwnd) != s->title) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

}  // namespace testing_support
