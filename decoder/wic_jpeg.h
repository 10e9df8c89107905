// JPEG pictures through the Windows Imaging Component: the bytes of one frame
// in, 32-bit BGR pixels at the size of a tile out.
//
// One decoder per thread: it makes its WIC objects on the thread that calls
// Init and is used only there (COM must be initialised on that thread). The
// JPEG codec's class object is looked up once, not for every frame, and the
// decoded picture is resized by our own resampler rather than through a chain
// of WIC converter and scaler objects: a tile of a 16-camera view costs little
// more than the codec's own work.
#pragma once
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <cstdint>
#include <vector>
#include "decoder/resample.h"

class CWicJpegDecoder {
public:
    HRESULT Init();

    // Decodes pJpeg and scales the picture to cx x cy. *pPixels receives cx * cy
    // pixels, top row first, each 0x00RRGGBB (the layout of a 32-bit DIB).
    HRESULT DecodeScaled(const uint8_t* pJpeg, size_t nSize, UINT cx, UINT cy,
                         std::vector<uint32_t>* pPixels);

    // Frames larger than this are refused rather than decoded (a damaged header
    // may claim any size up to 65535 x 65535).
    static const UINT64 kMaxPixels = 8192ull * 8192ull;

private:
    HRESULT OpenFrame(IWICStream* pStream, Microsoft::WRL::ComPtr<IWICBitmapFrameDecode>* pFrame);
    HRESULT CopyPicture(IWICBitmapFrameDecode* pFrame);

    Microsoft::WRL::ComPtr<IWICImagingFactory> m_factory;
    Microsoft::WRL::ComPtr<IClassFactory> m_jpegClass;  // null: through the factory
    // The last frame at its own size: 24-bit BGR as colour JPEGs decode, or 32-bit
    // BGR for anything converted (grey, CMYK).
    std::vector<BYTE> m_picture;
    UINT m_nWidth = 0, m_nHeight = 0, m_nPixelBytes = 3;
    CPictureResampler m_resampler;
};
