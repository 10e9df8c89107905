#include "decoder/snapshot.h"
#include <wincodec.h>
#include <wrl/client.h>
#include <algorithm>
#include <cwchar>
#include <vector>
#include "decoder/time_of_day.h"
#include "domain/calendar.h"
#include "domain/file_path.h"
#include "framework/text.h"

using Microsoft::WRL::ComPtr;

namespace {

// The picture's rows as 24-bit blue, green, red, top row first: what the PNG
// encoder takes without a converter.
std::vector<BYTE> BgrRows(const PictureBits& picture, UINT* pnStride)
{
    const UINT nStride = picture.cx * 3;
    std::vector<BYTE> rows(size_t(nStride) * picture.cy);
    for (unsigned y = 0; y < picture.cy; ++y) {
        const uint32_t* pIn = picture.pPixels + size_t(y) * picture.cx;
        BYTE* pOut = &rows[size_t(y) * nStride];
        for (unsigned x = 0; x < picture.cx; ++x, pOut += 3) {
            pOut[0] = BYTE(pIn[x]);
            pOut[1] = BYTE(pIn[x] >> 8);
            pOut[2] = BYTE(pIn[x] >> 16);
        }
    }
    *pnStride = nStride;
    return rows;
}

HRESULT EncodePng(const PictureBits& picture, const std::wstring& path)
{
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(picture.cx, picture.cy);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;  // the encoder would want a conversion
    if (SUCCEEDED(hr)) {
        UINT nStride = 0;
        std::vector<BYTE> rows = BgrRows(picture, &nStride);
        hr = frame->WritePixels(picture.cy, nStride, static_cast<UINT>(rows.size()), rows.data());
    }
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

// The picture as CF_DIB holds it: the header, then the rows bottom-up, as
// most readers of the format expect.
CScopedGlobal PackedDib(const PictureBits& picture)
{
    const size_t nBits = size_t(picture.cx) * picture.cy * 4;
    CScopedGlobal dib(GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + nBits));
    auto* pHeader = dib ? static_cast<BITMAPINFOHEADER*>(GlobalLock(dib)) : nullptr;
    if (!pHeader)
        return CScopedGlobal();
    *pHeader = {};
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = LONG(picture.cx);
    pHeader->biHeight = LONG(picture.cy);
    pHeader->biPlanes = 1;
    pHeader->biBitCount = 32;
    pHeader->biCompression = BI_RGB;
    pHeader->biSizeImage = DWORD(nBits);
    auto* pOut = reinterpret_cast<uint32_t*>(pHeader + 1);
    for (unsigned y = 0; y < picture.cy; ++y) {
        const uint32_t* pIn = picture.pPixels + size_t(picture.cy - 1 - y) * picture.cx;
        for (unsigned x = 0; x < picture.cx; ++x)
            pOut[size_t(y) * picture.cx + x] = pIn[x] & 0x00FFFFFF;
    }
    GlobalUnlock(dib);
    return dib;
}

// The calling thread's last error as a failure; a call that failed without
// setting one is still a failure.
HRESULT LastFailure()
{
    const DWORD dwError = GetLastError();
    return dwError != ERROR_SUCCESS ? HRESULT_FROM_WIN32(dwError) : E_FAIL;
}

uint32_t Crc32(const BYTE* p, size_t n, uint32_t crc = 0xFFFFFFFFu)
{
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

// One text chunk: tEXt where the text is plain ASCII, iTXt (UTF-8) otherwise.
std::vector<BYTE> TextChunk(const PngText& entry)
{
    const bool ascii = std::all_of(entry.text.begin(), entry.text.end(), [](char c) { return BYTE(c) < 0x80; });
    std::string body = (ascii ? "tEXt" : "iTXt") + entry.keyword + '\0';
    if (!ascii)
        body += std::string("\0\0\0\0", 4);  // not compressed, no language, no translated keyword
    body += entry.text;
    std::vector<BYTE> chunk(4);
    const uint32_t n = uint32_t(body.size() - 4);
    for (int i = 0; i < 4; ++i)
        chunk[i] = BYTE(n >> (24 - 8 * i));
    chunk.insert(chunk.end(), body.begin(), body.end());
    const uint32_t crc = ~Crc32(chunk.data() + 4, body.size());
    for (int i = 0; i < 4; ++i)
        chunk.push_back(BYTE(crc >> (24 - 8 * i)));
    return chunk;
}

// The encoder writes no text: the chunks go in after IHDR (the signature's 8
// bytes and IHDR's 25), where every reader looks for them.
HRESULT AddTextChunks(const std::wstring& path, const std::vector<PngText>& texts)
{
    std::vector<BYTE> png;
    {
        CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size = {};
        if (!file.IsHeld() || !GetFileSizeEx(file, &size) || size.QuadPart < 33 || size.QuadPart > 0x7FFFFFFF)
            return E_FAIL;
        png.resize(size_t(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file, png.data(), DWORD(png.size()), &got, nullptr) || got != png.size())
            return LastFailure();
    }
    std::vector<BYTE> chunks;
    for (const PngText& entry : texts) {
        const std::vector<BYTE> chunk = TextChunk(entry);
        chunks.insert(chunks.end(), chunk.begin(), chunk.end());
    }
    png.insert(png.begin() + 33, chunks.begin(), chunks.end());
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    if (!file.IsHeld() || !WriteFile(file, png.data(), DWORD(png.size()), &put, nullptr) || put != png.size())
        return LastFailure();
    return S_OK;
}

}  // namespace

SnapshotTime SnapshotTimeOf(int year, int month, int day, int64_t msOfDay)
{
    SnapshotTime when;
    when.msOfDay = domain::WithinDay(msOfDay);
    const domain::Date date = domain::DaysAfter({year, month, day}, int((msOfDay - when.msOfDay) / domain::kDayMs));
    when.year = date.year;
    when.month = date.month;
    when.day = date.day;
    return when;
}

std::string SnapshotTimeText(const SnapshotTime& when)
{
    const std::string clock = domain::FormatTimeOfDay(when.msOfDay, domain::Precision::Seconds);
    if (when.year <= 0)
        return clock;
    return domain::FormatDate({when.year, when.month, when.day}) + "T" + clock;
}

HRESULT WritePng(const PictureBits& picture, const std::wstring& path, const std::vector<PngText>& texts)
{
    if (!picture.pPixels || picture.cx == 0 || picture.cy == 0 || path.empty())
        return E_INVALIDARG;
    const std::wstring partial = path + L".partial";
    HRESULT hr = EncodePng(picture, partial);  // the stream is closed when it returns
    if (SUCCEEDED(hr) && !texts.empty())
        hr = AddTextChunks(partial, texts);
    if (SUCCEEDED(hr) && !MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        hr = LastFailure();
    if (FAILED(hr))
        DeleteFileW(partial.c_str());
    return hr;
}

HRESULT PutOnClipboard(CScopedGlobal& data, UINT nFormat, HWND hwndOwner)
{
    // Each call's own failure is reported, not one left over from before.
    SetLastError(ERROR_SUCCESS);
    if (!OpenClipboard(hwndOwner))
        return LastFailure();
    HRESULT hr = S_OK;
    SetLastError(ERROR_SUCCESS);
    if (!EmptyClipboard()) {
        hr = LastFailure();
    } else {
        SetLastError(ERROR_SUCCESS);
        if (SetClipboardData(nFormat, data))
            data.Detach();  // the clipboard's now
        else
            hr = LastFailure();
    }
    CloseClipboard();
    return hr;
}

HRESULT CopyToClipboard(const PictureBits& picture, HWND hwndOwner)
{
    if (!picture.pPixels || picture.cx == 0 || picture.cy == 0)
        return E_INVALIDARG;
    CScopedGlobal dib = PackedDib(picture);
    if (!dib)
        return E_OUTOFMEMORY;
    return PutOnClipboard(dib, CF_DIB, hwndOwner);
}

std::wstring SnapshotFileName(const std::wstring& recordingPath, int camera, const SnapshotTime& when)
{
    std::wstring name = domain::StemOf(recordingPath);
    if (name.empty())
        name = L"picture";
    if (camera > 0) {
        wchar_t szCamera[16];
        std::swprintf(szCamera, 16, L"-cam%02d", camera);
        name += szCamera;
    }
    std::string stamp = TimeOfDayDigits(when.msOfDay);
    if (when.year > 0)
        stamp = domain::FormatDate({when.year, when.month, when.day}, "") + "-" + stamp;
    return name + L"-" + fw::Widen(stamp) + L".png";
}

std::wstring FailureText(HRESULT hr)
{
    CScopedLocal buffer;  // FormatMessage allocates it
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, DWORD(hr), 0, reinterpret_cast<wchar_t*>(buffer.Out()), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(static_cast<const wchar_t*>(buffer.Get()), n) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        wchar_t sz[32];
        std::swprintf(sz, 32, L"Error 0x%08lX.", static_cast<unsigned long>(hr));
        text = sz;
    }
    return text;
}
