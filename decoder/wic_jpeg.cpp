#include "decoder/wic_jpeg.h"

using Microsoft::WRL::ComPtr;

HRESULT CWicJpegDecoder::Init()
{
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_PPV_ARGS(m_factory.ReleaseAndGetAddressOf()));
}

HRESULT CWicJpegDecoder::FirstFrameAsBgr(const uint8_t* pJpeg, size_t nSize,
                                         ComPtr<IWICBitmapSource>* pBgr)
{
    if (!m_factory)
        return E_UNEXPECTED;
    ComPtr<IWICStream> stream;
    HRESULT hr = m_factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(pJpeg), static_cast<DWORD>(nSize));
    ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(hr))
        hr = m_factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder);
    ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(hr))
        hr = decoder->GetFrame(0, &frame);
    ComPtr<IWICFormatConverter> converter;
    if (SUCCEEDED(hr))
        hr = m_factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr))
        *pBgr = converter;
    return hr;
}

HRESULT CWicJpegDecoder::DecodeScaled(const uint8_t* pJpeg, size_t nSize, UINT cx, UINT cy,
                                      std::vector<uint32_t>* pPixels)
{
    if (cx == 0 || cy == 0 || nSize == 0 || nSize > MAXDWORD)
        return E_INVALIDARG;
    ComPtr<IWICBitmapSource> bgr;
    HRESULT hr = FirstFrameAsBgr(pJpeg, nSize, &bgr);
    ComPtr<IWICBitmapScaler> scaler;
    if (SUCCEEDED(hr))
        hr = m_factory->CreateBitmapScaler(&scaler);
    if (SUCCEEDED(hr))
        hr = scaler->Initialize(bgr.Get(), cx, cy, WICBitmapInterpolationModeLinear);
    if (FAILED(hr))
        return hr;
    std::vector<uint32_t> pixels(static_cast<size_t>(cx) * cy);
    hr = scaler->CopyPixels(nullptr, cx * 4, static_cast<UINT>(pixels.size() * 4),
                            reinterpret_cast<BYTE*>(pixels.data()));
    if (SUCCEEDED(hr))
        pPixels->swap(pixels);
    return hr;
}
