// Pictures handed over: written to PNG files with WIC's encoder (the
// platform's own), or put on the clipboard as a device-independent bitmap.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "owners/handle.h"

// cx x cy pixels, each 0x..RRGGBB (the top byte is not read), top row first.
struct PictureBits {
    const uint32_t* pPixels = nullptr;
    unsigned cx = 0, cy = 0;
};

// Writes the picture to path as a PNG. It is written beside the path first and
// moved there once whole, so that a failure leaves any file of that name as it
// was. S_OK, or the failure.
HRESULT WritePng(const PictureBits& picture, const std::wstring& path);

// Puts the picture on the clipboard (CF_DIB), opened for hwndOwner. S_OK, or
// the failure.
HRESULT CopyToClipboard(const PictureBits& picture, HWND hwndOwner);
// Empties the clipboard, opened for hwndOwner, and hands it data in nFormat.
// S_OK, and data is the clipboard's (the owner holds nothing); or the failure,
// and data is still the owner's, to be freed by it.
HRESULT PutOnClipboard(CScopedGlobal& data, UINT nFormat, HWND hwndOwner);

// The file name offered for a snapshot of a recording: its name without
// folder and extension, the camera (0: the whole view) and the time of day,
// as in "yard-cam03-143207.png" or "yard-143207.png".
std::wstring SnapshotFileName(const std::wstring& recordingPath, int camera, int64_t msOfDay);

// What went wrong, in words, for a message box.
std::wstring FailureText(HRESULT hr);
