// Pictures handed over: written to PNG files with WIC's encoder (the
// platform's own), or put on the clipboard as a device-independent bitmap.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "owners/handle.h"

// cx x cy pixels, each 0x..RRGGBB (the top byte is not read), top row first.
struct PictureBits {
    const uint32_t* pPixels = nullptr;
    unsigned cx = 0, cy = 0;
};

// When a picture was taken: the recording's date (0s when it has none) and the
// time of day, carried into the next day past midnight.
struct SnapshotTime {
    int year = 0, month = 0, day = 0;
    int64_t msOfDay = 0;
};
SnapshotTime SnapshotTimeOf(int year, int month, int day, int64_t msOfDay);
// "2024-05-17T14:32:07", or the time alone without a date.
std::string SnapshotTimeText(const SnapshotTime& when);

// A PNG text chunk: a keyword such as "Creation Time" and its UTF-8 text.
struct PngText {
    std::string keyword, text;
};

// Writes the picture to path as a PNG, with the text chunks given. It is
// written beside the path first and moved there once whole, so that a failure
// leaves any file of that name as it was. S_OK, or the failure.
HRESULT WritePng(const PictureBits& picture, const std::wstring& path, const std::vector<PngText>& texts = {});

// Puts the picture on the clipboard (CF_DIB), opened for hwndOwner. S_OK, or
// the failure.
HRESULT CopyToClipboard(const PictureBits& picture, HWND hwndOwner);
// Empties the clipboard, opened for hwndOwner, and hands it data in nFormat.
// S_OK, and data is the clipboard's (the owner holds nothing); or the failure,
// and data is still the owner's, to be freed by it.
HRESULT PutOnClipboard(CScopedGlobal& data, UINT nFormat, HWND hwndOwner);

// The file name offered for a snapshot of a recording: its name without
// folder and extension, the camera (0: the whole view), the date where known
// and the time of day, as in "yard-cam03-20240517-143207.png" or "yard-143207.png".
std::wstring SnapshotFileName(const std::wstring& recordingPath, int camera, const SnapshotTime& when);

// What went wrong, in words, for a message box.
std::wstring FailureText(HRESULT hr);
