// CDvrControl: clips. The marks are set at the picture on view and drawn as a
// caption; "Export clip..." writes the marked stretch as a lossless clip (the
// original frames, byte for byte, with its manifest) after a save dialog,
// showing its progress with a Cancel button. A failure or a cancel leaves no
// file and is told.
#include "decoder/dvr_control.h"
#include <commdlg.h>
#include "evidence/clip_writer.h"
#include "framework/text.h"

namespace {

const wchar_t kCaption[] = L"DVR Control";

// A small window with the clip's progress and a Cancel button, the program
// disabled under it while the clip is written.
class CClipProgress {
public:
    explicit CClipProgress(HWND hwndOwner) : m_owner(hwndOwner)
    {
        m_window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", kCaption, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 320, 110, hwndOwner, nullptr, nullptr, nullptr);
        m_text = CreateWindowExW(0, L"STATIC", L"Writing the clip...", WS_CHILD | WS_VISIBLE, 12, 12, 290, 20,
                                 m_window, nullptr, nullptr, nullptr);
        m_cancel = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 210, 40, 90, 26,
                                   m_window, nullptr, nullptr, nullptr);
        EnableWindow(m_owner, FALSE);
    }
    ~CClipProgress()
    {
        EnableWindow(m_owner, TRUE);
        if (m_window)
            DestroyWindow(m_window);
    }
    CClipProgress(const CClipProgress&) = delete;
    CClipProgress& operator=(const CClipProgress&) = delete;

    // Shows how far, lets the windows be drawn; false once Cancel was pressed.
    bool Update(uint64_t done, uint64_t total)
    {
        const int percent = total ? static_cast<int>(done * 100 / total) : 0;
        const std::wstring text = L"Writing the clip: " + std::to_wstring(percent) + L"%";
        SetWindowTextW(m_text, text.c_str());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if ((msg.hwnd == m_cancel && msg.message == WM_LBUTTONUP) ||
                (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                m_bCancelled = true;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return !m_bCancelled;
    }

private:
    HWND m_owner;
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HWND m_cancel = nullptr;
    bool m_bCancelled = false;
};

}  // namespace

void CDvrControl::Mark(bool bStart)
{
    if (!m_recording || m_nPictureMs < 0)
        return;
    if (bStart)
        m_marks.SetStart(m_nPictureMs);
    else
        m_marks.SetEnd(m_nPictureMs);
    Recompose();
}

void CDvrControl::ClearMarks()
{
    m_marks.Clear();
    Recompose();
}

uint32_t CDvrControl::CamerasOnView() const
{
    uint32_t mask = 0;
    for (const TileSlot& slot : m_slots)
        if (slot.camera >= 1 && slot.camera <= 16)
            mask |= 1u << (slot.camera - 1);
    return mask;
}

bool CDvrControl::AskClipPath(std::wstring* pPath, bool* pEveryCamera) const
{
    const std::wstring suggested =
        fw::Widen(m_marks.FileName(m_settings.fileName, m_recording->startTime().msOfDay), CP_UTF8);
    wchar_t szFile[MAX_PATH] = L"";
    if (suggested.size() < MAX_PATH)
        suggested.copy(szFile, suggested.size());
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetAncestor(Window(), GA_ROOT);
    ofn.lpstrFilter = L"Clip of the cameras on view (*.d01)\0*.d01\0Clip of every camera (*.d01)\0*.d01\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"d01";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&ofn))
        return false;
    *pPath = szFile;
    *pEveryCamera = ofn.nFilterIndex == 2;
    return true;
}

void CDvrControl::ExportClip()
{
    if (!m_recording || !m_marks.IsComplete())
        return;
    const std::shared_ptr<const rec::Recording> recording = m_recording;
    std::wstring path;
    bool bEveryCamera = false;
    if (!AskClipPath(&path, &bEveryCamera))
        return;
    evidence::ClipRequest request;
    request.sourcePath = m_settings.fileName;
    request.outPath = fw::Narrow(path, CP_UTF8);
    request.range = {m_marks.From(), m_marks.To(), bEveryCamera ? recording->cameraMask() : CamerasOnView()};
    request.program = "Vorplex";
    evidence::ClipResult result;
    {
        CClipProgress progress(GetAncestor(Window(), GA_ROOT));
        result = evidence::writeClip(*recording, request,
                                     [&](uint64_t done, uint64_t total) { return progress.Update(done, total); });
    }
    if (result.cancelled)
        MessageBoxW(GetAncestor(Window(), GA_ROOT), L"The clip was cancelled: nothing was written.", kCaption,
                    MB_OK | MB_ICONINFORMATION);
    else if (!result.ok)
        TellFailure(L"The clip could not be written as " + path + L".", fw::Widen(result.why, CP_UTF8));
}
