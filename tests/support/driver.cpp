#include "tests/support/driver.h"
#include <objbase.h>
#include <wincodec.h>
#include <algorithm>
#include <cstdlib>
#include <set>
#include "decoder/snapshot.h"
#include "framework/text.h"
#include "owners/gdi.h"
#include "owners/handle.h"

namespace e2e {

namespace {

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> found;
};

std::vector<HWND> TopLevelWindowsOf(DWORD pid)
{
    ProcessWindows search = {pid, {}};
    EnumWindows([](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<ProcessWindows*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid) s->found.push_back(hwnd);
        return TRUE;
    },
                reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Channel(uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }

bool Close(uint32_t a, uint32_t b, int tolerance)
{
    return std::abs(Channel(a, 16) - Channel(b, 16)) <= tolerance &&
           std::abs(Channel(a, 8) - Channel(b, 8)) <= tolerance && std::abs(Channel(a, 0) - Channel(b, 0)) <= tolerance;
}

}  // namespace

Image Image::Crop(const RECT& rc) const
{
    Image out;
    const int left = std::max<int>(0, rc.left), top = std::max<int>(0, rc.top);
    const int right = std::min<int>(width, rc.right), bottom = std::min<int>(height, rc.bottom);
    if (right <= left || bottom <= top) return out;
    out.width = right - left;
    out.height = bottom - top;
    out.pixels.reserve(static_cast<size_t>(out.width) * out.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) out.pixels.push_back(At(x, y));
    return out;
}

size_t Image::DistinctColours(size_t stopAt) const
{
    std::set<uint32_t> seen;
    for (uint32_t p : pixels) {
        seen.insert(p);
        if (seen.size() >= stopAt) break;
    }
    return seen.size();
}

size_t Image::DifferingPixels(const Image& other, int tolerance) const
{
    if (width != other.width || height != other.height) return std::max(pixels.size(), other.pixels.size());
    size_t n = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        if (!Close(pixels[i], other.pixels[i], tolerance)) ++n;
    return n;
}

size_t Image::CountColour(uint32_t rgb) const { return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), rgb)); }

bool Image::SavePng(const std::string& path) const
{
    if (Empty()) return false;
    const HRESULT init = CoInitialize(nullptr);
    const bool ok = SUCCEEDED(WritePng({pixels.data(), unsigned(width), unsigned(height)},
                                       fw::Widen(path)));
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

Image Image::LoadPng(const std::string& path)
{
    Image image;
    const std::wstring wide = fw::Widen(path);
    const HRESULT init = CoInitialize(nullptr);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* bgra = nullptr;
    UINT cx = 0, cy = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&cx, &cy)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, &bgra))) {
        image.pixels.resize(static_cast<size_t>(cx) * cy);
        if (SUCCEEDED(bgra->CopyPixels(nullptr, cx * 4, static_cast<UINT>(image.pixels.size() * 4),
                                       reinterpret_cast<BYTE*>(image.pixels.data())))) {
            image.width = static_cast<int>(cx);
            image.height = static_cast<int>(cy);
            for (uint32_t& p : image.pixels) p &= 0x00FFFFFFu;
        } else {
            image.pixels.clear();
        }
    }
    if (bgra) bgra->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    if (factory) factory->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return image;
}

Image CaptureScreen(const RECT& rc)
{
    Image img;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return img;
    const CClientDC screen(nullptr);
    const CScopedDC mem(CreateCompatibleDC(screen));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const CScopedBitmap dib(CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dib && bits) {
        const CScopedSelect select(mem, dib);
        if (BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY)) {
            GdiFlush();
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            img.width = w;
            img.height = h;
            img.pixels.assign(p, p + static_cast<size_t>(w) * h);
            for (uint32_t& q : img.pixels) q &= 0x00FFFFFFu;
        }
    }
    return img;
}

RECT ScreenRectOfClient(HWND hwnd)
{
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    POINT tl = {0, 0};
    ClientToScreen(hwnd, &tl);
    OffsetRect(&rc, tl.x, tl.y);
    return rc;
}

Image CaptureClient(HWND hwnd) { return CaptureScreen(ScreenRectOfClient(hwnd)); }

Image CaptureWindow(HWND hwnd)
{
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    return CaptureScreen(rc);
}

bool WaitUntil(const std::function<bool()>& pred, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return false;
        ::Sleep(50);
    }
    return true;
}

void Sleep(DWORD ms) { ::Sleep(ms); }

std::string WindowsPath(const std::string& unixPath)
{
    std::string out = "Z:" + unixPath;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = "";
    // WM_GETTEXT rather than GetWindowText: it reaches another process's controls too.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring WideWindowText(HWND hwnd)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring Utf16(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string ClassName(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

Player::~Player()
{
    if (m_pi.hProcess) {
        if (Running()) Kill();
        const CScopedHandle thread(m_pi.hThread), process(m_pi.hProcess);
    }
}

bool Player::Start(const std::string& exe, const std::string& args)
{
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty()) commandLine += " " + args;
    // Wide, so that a name outside this process's code page reaches the player whole.
    std::wstring buffer = Utf16(commandLine);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    return CreateProcessW(Utf16(exe).c_str(), &buffer[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) !=
           FALSE;
}

bool Player::WaitForWindows(DWORD ms)
{
    const bool found = WaitUntil([this] {
        m_hPanel = FindDialog("RUD Orezor");
        m_hVideo = m_hPanel ? GetWindow(m_hPanel, GW_OWNER) : nullptr;
        return m_hVideo && IsWindowVisible(m_hVideo);
    },
                                 ms);
    // The panel places both windows as its last step; let that settle.
    if (found) Sleep(300);
    return found;
}

bool Player::Running() const { return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }

bool Player::WaitForExit(DWORD ms, DWORD* code)
{
    if (WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(m_pi.hProcess, code) != FALSE;
}

void Player::Kill()
{
    TerminateProcess(m_pi.hProcess, 99);
    WaitForSingleObject(m_pi.hProcess, 10000);
}

std::string Player::Describe() const
{
    std::string out;
    for (HWND h : TopLevelWindowsOf(m_pi.dwProcessId)) {
        if (!IsWindowVisible(h)) continue;
        out += ClassName(h) + " '" + WindowText(h) + "'\n";
    }
    if (out.empty()) out = Running() ? "(no visible window)\n" : "(process ended)\n";
    return out;
}

HWND Player::FindDialog(const char* title) const
{
    for (HWND h : TopLevelWindowsOf(m_pi.dwProcessId))
        if (IsWindowVisible(h) && WindowText(h) == title) return h;
    return nullptr;
}

std::vector<std::string> Player::MessageBoxTexts() const
{
    std::vector<std::string> texts;
    for (HWND h : TopLevelWindowsOf(m_pi.dwProcessId)) {
        if (!IsWindowVisible(h) || ClassName(h) != "#32770" || WindowText(h) != "Vorplex") continue;
        // The message text is the dialog's static with id 0xFFFF.
        texts.push_back(WindowText(GetDlgItem(h, 0xFFFF)));
    }
    return texts;
}

void Player::Click(int id)
{
    PostMessageA(m_hPanel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void Player::Press(int id) { PostMessageA(Item(id), BM_CLICK, 0, 0); }

void Player::Choose(int listId, int index)
{
    HWND list = Item(listId);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(m_hPanel, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Player::Scroll(int code, int position)
{
    PostMessageA(m_hPanel, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(206)));
}

RECT Player::TimeTextRect() const
{
    RECT list = {};
    GetWindowRect(Item(213), &list);
    return {list.right + 8, list.top, list.right + 98, list.bottom};
}

void Player::ClickTimeText()
{
    const RECT rc = TimeTextRect();
    // The clickable part starts 28 pixels right of the event-type list.
    POINT p = {rc.left + 20 + 15, (rc.top + rc.bottom) / 2};
    ScreenToClient(m_hPanel, &p);
    PostMessageA(m_hPanel, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

void Player::TypeTime(const char* minutes, const char* seconds)
{
    // The panel selects the minutes' text when it shows the entry; the seconds are
    // selected here, so that typing replaces both.
    for (const char* c = minutes; *c; ++c) SendMessageA(Item(230), WM_CHAR, static_cast<WPARAM>(*c), 1);
    SendMessageA(Item(231), EM_SETSEL, 0, -1);
    for (const char* c = seconds; *c; ++c) SendMessageA(Item(231), WM_CHAR, static_cast<WPARAM>(*c), 1);
    PostMessageA(Item(231), WM_KEYUP, VK_RETURN, 0xC0000001);
}

namespace {

// Puts a path in a common file dialog and presses OK (or Cancel, for no path).
bool AnswerFileDialog(HWND dialog, const std::string& windowsPath, DWORD ms)
{
    if (windowsPath.empty()) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    } else {
        // The explorer-style dialog names its file field cmb13 (a combo box with an
        // edit); older templates use edt1.
        HWND name = GetDlgItem(dialog, 0x47C);
        if (!name) name = GetDlgItem(dialog, 0x480);
        if (!name) return false;
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf16(windowsPath).c_str()));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, ms);
}

}  // namespace

bool Player::AnswerOpenDialog(const std::string& windowsPath, DWORD ms)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindDialog("Open")) != nullptr; }, ms)) return false;
    return AnswerFileDialog(dialog, windowsPath, ms);
}

bool Player::AnswerSaveDialog(const std::string& windowsPath, std::string* pOffered, DWORD ms)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindDialog("Save As")) != nullptr; }, ms)) return false;
    if (pOffered) {
        HWND name = GetDlgItem(dialog, 0x47C);
        if (!name) name = GetDlgItem(dialog, 0x480);
        *pOffered = name ? WindowText(name) : std::string();
    }
    return AnswerFileDialog(dialog, windowsPath, ms);
}

HWND Player::DecoderWindow() const { return FindWindowExA(m_hVideo, nullptr, "VorplexAxControl", nullptr); }

HWND Player::OpenPictureMenu(POINT ptClient, DWORD ms)
{
    HWND decoder = DecoderWindow();
    if (!decoder) return nullptr;
    const LPARAM at = MAKELPARAM(ptClient.x, ptClient.y);
    PostMessageA(decoder, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(decoder, WM_RBUTTONUP, 0, at);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = ShownWindowOfClass("#32768")) != nullptr; }, ms);
    return menu;
}

HWND Player::ShownWindowOfClass(const std::string& className) const
{
    for (HWND h : TopLevelWindowsOf(m_pi.dwProcessId))
        if (IsWindowVisible(h) && ClassName(h) == className) return h;
    return nullptr;
}

bool Player::ChooseFromOpenMenu(HWND menu, int item, DWORD ms)
{
    // The menu's loop reads the keys its thread is sent.
    HWND decoder = DecoderWindow();
    for (int i = 0; i < item; ++i) PostMessageA(decoder, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(decoder, WM_KEYDOWN, VK_RETURN, 0);
    return WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, ms);
}

int Player::Checked(int id) const { return static_cast<int>(SendMessageA(Item(id), BM_GETCHECK, 0, 0)); }
int Player::CurSel(int listId) const { return static_cast<int>(SendMessageA(Item(listId), CB_GETCURSEL, 0, 0)); }
int Player::Count(int listId) const { return static_cast<int>(SendMessageA(Item(listId), CB_GETCOUNT, 0, 0)); }
int Player::ScrollPosition() const { return static_cast<int>(SendMessageA(Item(206), SBM_GETPOS, 0, 0)); }

int CountPictureChanges(const Player& player, DWORD ms)
{
    int changes = 0;
    Image last = player.Picture();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        ::Sleep(100);
        Image now = player.Picture();
        if (now.DifferingPixels(last) > 20) ++changes;
        last = std::move(now);
    }
    return changes;
}

}  // namespace e2e
