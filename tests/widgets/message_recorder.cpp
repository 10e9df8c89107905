#include "tests/widgets/message_recorder.h"

namespace widgets_test {

namespace {
// The recorder is found through a property: the user data is what is under test.
const char kRecorderProp[] = "VorplexTestRecorder";
}  // namespace

MessageRecorder::MessageRecorder(HWND hwnd_) : hwnd(hwnd_)
{
    SetPropA(hwnd, kRecorderProp, this);
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

MessageRecorder::~MessageRecorder()
{
    if (!IsWindow(hwnd)) return;
    if (ProcOf(hwnd) == &Proc) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(hwnd, kRecorderProp);
}

int MessageRecorder::Count(UINT message) const { return static_cast<int>(Of(message).size()); }

std::vector<RecordedMessage> MessageRecorder::Of(UINT message) const
{
    std::vector<RecordedMessage> found;
    for (const auto& m : log)
        if (m.message == message) found.push_back(m);
    return found;
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<MessageRecorder*>(GetPropA(hwnd, kRecorderProp));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->log.push_back({message, wParam, lParam, UserDataOf(hwnd)});
    if (self->during) self->during(message, wParam, lParam);
    auto answer = self->answers.find(message);
    if (answer != self->answers.end()) return answer->second;
    return CallWindowProcA(self->original, hwnd, message, wParam, lParam);
}

PlainWindow::PlainWindow()
{
    static ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VorplexTestPlain";
        return RegisterClassA(&wc);
    }();
    hwnd = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

PlainWindow::~PlainWindow() { DestroyWindow(hwnd); }

}  // namespace widgets_test
