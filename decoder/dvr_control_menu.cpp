// CDvrControl: the picture's own menu, on a right click. The whole view saved
// as a PNG (as seen, zoomed tiles and all), the camera under the pointer saved
// at its recorded size (decoded again from its frame, not taken from the
// tile), the zoomed part of it at the frame's own pixels, or the view copied. Nothing
// is written unless the user confirms a file in the save dialog; a failure is
// told in a message box, with its reason.
#include "decoder/dvr_control.h"
#include <commdlg.h>
#include <algorithm>
#include <windowsx.h>
#include "decoder/frame_decoder.h"
#include "decoder/snapshot.h"
#include "domain/file_path.h"
#include "framework/text.h"
#include "owners/handle.h"

namespace {

enum MenuCommand {
    kSaveView = 1,
    kSaveCamera = 2,
    kCopyView = 3,
    kMarkStart = 4,
    kMarkEnd = 5,
    kClearMarks = 6,
    kExportClip = 7,
    kFindMotion = 16,
    kSaveZoomedPart = 24,
    kResetZoom = 25
};

const wchar_t kCaption[] = L"DVR Control";

// The moment a picture of the recording shows: its date and time of day.
SnapshotTime TakenAt(const rec::Recording& recording, int64_t offsetMs)
{
    const rec::StartTime& start = recording.startTime();
    return SnapshotTimeOf(start.year, start.month, start.day, start.msOfDay + offsetMs);
}

// What a snapshot carries with it: when it shows and what, from which recording.
std::vector<PngText> SnapshotTexts(const std::string& recordingPath, int camera, const SnapshotTime& when)
{
    const std::string name = domain::NameOf(recordingPath);
    const std::string what = camera > 0 ? "Camera " + std::to_string(camera) : std::string("View");
    return {{"Creation Time", SnapshotTimeText(when)}, {"Description", what + " of " + name + " at " + SnapshotTimeText(when)}};
}

// Keeps the region of a *pcx x *pcy picture, which becomes its size.
void CropPixels(const FrameRegion& region, unsigned* pcx, unsigned* pcy, std::vector<uint32_t>* pPixels)
{
    std::vector<uint32_t> part(size_t(region.w) * region.h);
    for (unsigned y = 0; y < region.h; ++y) {
        const uint32_t* pRow = pPixels->data() + size_t(region.y + y) * *pcx + region.x;
        std::copy(pRow, pRow + region.w, part.begin() + size_t(y) * region.w);
    }
    pPixels->swap(part);
    *pcx = region.w;
    *pcy = region.h;
}

}  // namespace

void CDvrControl::OnContextMenu(LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (pt.x == -1 && pt.y == -1) {  // from the keyboard: the middle of the picture
        RECT rc = {};
        GetClientRect(Window(), &rc);
        pt = {rc.right / 2, rc.bottom / 2};
        ClientToScreen(Window(), &pt);
    }
    POINT ptClient = pt;
    ScreenToClient(Window(), &ptClient);
    const TilePicture* pTile = PictureAt(ptClient);
    const int nSlot = SlotAt(ptClient);
    const ZoomView zoom = nSlot >= 0 ? m_slots[nSlot].zoom : ZoomView();
    const bool bPicture = HasPicture();

    CScopedMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    const UINT nEnabled = bPicture ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | nEnabled, kSaveView, L"Save picture as...");
    if (pTile) {
        const std::wstring item = L"Save camera " + std::to_wstring(pTile->camera) + L" as...";
        AppendMenuW(menu, MF_STRING, kSaveCamera, item.c_str());
        if (zoom.IsZoomed()) {
            const std::wstring part = L"Save zoomed part of camera " + std::to_wstring(pTile->camera) + L" as...";
            AppendMenuW(menu, MF_STRING, kSaveZoomedPart, part.c_str());
        }
    }
    AppendMenuW(menu, MF_STRING | nEnabled, kCopyView, L"Copy picture");
    if (zoom.IsZoomed())
        AppendMenuW(menu, MF_STRING, kResetZoom, L"Reset zoom");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | nEnabled, kMarkStart, L"Mark start here");
    AppendMenuW(menu, MF_STRING | nEnabled, kMarkEnd, L"Mark end here");
    AppendMenuW(menu, MF_STRING | (m_marks.IsEmpty() ? MF_GRAYED : MF_ENABLED), kClearMarks, L"Clear marks");
    AppendMenuW(menu, MF_STRING | (bPicture && m_marks.IsComplete() ? MF_ENABLED : MF_GRAYED), kExportClip,
                L"Export clip...");
    if (pTile) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const std::wstring item = L"Find motion in camera " + std::to_wstring(pTile->camera) + L"...";
        AppendMenuW(menu, MF_STRING, kFindMotion, item.c_str());
    }
    const int camera = pTile ? pTile->camera : 0;
    const int nCommand =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, Window(), nullptr);

    switch (nCommand) {
    case kSaveView: SaveView(); break;
    case kSaveCamera: SaveCamera(camera, ZoomView()); break;
    case kSaveZoomedPart: SaveCamera(camera, zoom); break;
    case kResetZoom: ShowZoom(size_t(nSlot), ZoomView()); break;
    case kCopyView: CopyView(); break;
    case kMarkStart: Mark(true); break;
    case kMarkEnd: Mark(false); break;
    case kClearMarks: ClearMarks(); break;
    case kExportClip: ExportClip(); break;
    case kFindMotion: BeginRegionPick(camera); break;
    default: break;
    }
}

bool CDvrControl::HasPicture() const
{
    return m_recording && m_shown && m_message.empty() && !m_backBuffer.IsEmpty();
}

const TilePicture* CDvrControl::PictureAt(POINT ptClient) const
{
    if (!HasPicture())
        return nullptr;
    for (const TileSlot& slot : m_slots) {
        if (slot.camera == 0 || !PtInRect(&slot.rc, ptClient))
            continue;
        for (const TilePicture& tile : m_shown->tiles) {
            if (tile.camera == slot.camera && tile.pixels && tile.pFrame)
                return &tile;
        }
    }
    return nullptr;
}

bool CDvrControl::AskSavePath(const std::wstring& suggested, std::wstring* pPath) const
{
    wchar_t szFile[MAX_PATH] = L"";
    if (suggested.size() < MAX_PATH)
        suggested.copy(szFile, suggested.size());
    const std::wstring folder = domain::FolderOf(fw::Widen(m_settings.fileName, CP_UTF8));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetAncestor(Window(), GA_ROOT);
    ofn.lpstrFilter = L"PNG pictures (*.png)\0*.png\0";
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = L"png";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&ofn))
        return false;  // cancelled: nothing is written
    *pPath = szFile;
    return true;
}

void CDvrControl::TellFailure(const std::wstring& what, const std::wstring& reason) const
{
    const std::wstring text = what + L"\n\n" + reason;
    MessageBoxW(GetAncestor(Window(), GA_ROOT), text.c_str(), kCaption, MB_OK | MB_ICONSTOP);
}

PictureBits CDvrControl::ViewBits() const
{
    GdiFlush();  // text drawn into the buffer is in its bits
    PictureBits bits;
    bits.pPixels = m_backBuffer.Bits();
    bits.cx = unsigned(m_backBuffer.Width());
    bits.cy = unsigned(m_backBuffer.Height());
    return bits;
}

void CDvrControl::SaveView()
{
    if (!HasPicture())
        return;
    // The view as it is now: playing goes on while the dialog is open.
    const PictureBits now = ViewBits();
    const std::vector<uint32_t> pixels(now.pPixels, now.pPixels + size_t(now.cx) * now.cy);
    PictureBits bits = now;
    bits.pPixels = pixels.data();
    const SnapshotTime when = TakenAt(*m_recording, m_nPictureMs);
    std::wstring path;
    if (!AskSavePath(SnapshotFileName(fw::Widen(m_settings.fileName, CP_UTF8), 0, when), &path))
        return;
    const HRESULT hr = WritePng(bits, path, SnapshotTexts(m_settings.fileName, 0, when));
    if (FAILED(hr))
        TellFailure(L"The picture could not be saved as " + path + L".", FailureText(hr));
}

void CDvrControl::SaveCamera(int camera, const ZoomView& zoom)
{
    if (!HasPicture())
        return;
    const TilePicture* pTile = nullptr;
    for (const TilePicture& tile : m_shown->tiles) {
        if (tile.camera == camera && tile.pFrame)
            pTile = &tile;
    }
    if (!pTile)
        return;
    // Taken now, so that the picture saved is the one on view when asked for.
    const std::shared_ptr<const rec::Recording> recording = m_recording;
    const rec::Frame frame = *pTile->pFrame;
    const SnapshotTime when = TakenAt(*recording, frame.timeMs);
    std::wstring name = SnapshotFileName(fw::Widen(m_settings.fileName, CP_UTF8), camera, when);
    if (zoom.IsZoomed())
        name.insert(name.rfind(L'.'), L"-zoom");
    std::wstring path;
    if (!AskSavePath(name, &path))
        return;
    const std::wstring what = L"Camera " + std::to_wstring(camera) + L" could not be saved as " + path + L".";
    std::vector<uint8_t> jpeg;
    if (!recording->readFrame(frame, jpeg)) {
        TellFailure(what, L"Its frame could not be read from the recording.");
        return;
    }
    CFrameDecoder decoder;
    std::vector<uint32_t> pixels;
    PictureBits bits;
    if (decoder.DecodeWhole(jpeg.data(), jpeg.size(), &bits.cx, &bits.cy, &pixels) == FrameResult::Failed) {
        TellFailure(what, L"Its frame could not be decoded: " + fw::Widen(decoder.LastMessage()) + L".");
        return;
    }
    if (zoom.IsZoomed())
        CropPixels(CropOf(zoom, bits.cx, bits.cy), &bits.cx, &bits.cy, &pixels);
    bits.pPixels = pixels.data();
    const HRESULT hr = WritePng(bits, path, SnapshotTexts(m_settings.fileName, camera, when));
    if (FAILED(hr))
        TellFailure(what, FailureText(hr));
}

void CDvrControl::CopyView()
{
    if (!HasPicture())
        return;
    const HRESULT hr = CopyToClipboard(ViewBits(), Window());
    if (FAILED(hr))
        TellFailure(L"The picture could not be copied.", FailureText(hr));
}
