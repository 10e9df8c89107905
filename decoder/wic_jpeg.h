// JPEG pictures through the Windows Imaging Component: the bytes of one frame
// in, 32-bit BGR pixels at the size of a tile out.
//
// One decoder per thread: it makes its WIC factory on the thread that calls
// Init and is used only there (COM must be initialised on that thread).
#pragma once
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <cstdint>
#include <vector>

class CWicJpegDecoder {
public:
    HRESULT Init();

    // Decodes pJpeg and scales the picture to cx x cy. *pPixels receives cx * cy
    // pixels, top row first, each 0x00RRGGBB (the layout of a 32-bit DIB).
    HRESULT DecodeScaled(const uint8_t* pJpeg, size_t nSize, UINT cx, UINT cy,
                         std::vector<uint32_t>* pPixels);

private:
    HRESULT FirstFrameAsBgr(const uint8_t* pJpeg, size_t nSize,
                            Microsoft::WRL::ComPtr<IWICBitmapSource>* pBgr);

    Microsoft::WRL::ComPtr<IWICImagingFactory> m_factory;
};
