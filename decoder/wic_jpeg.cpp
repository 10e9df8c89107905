#include "decoder/wic_jpeg.h"

using Microsoft::WRL::ComPtr;

HRESULT CWicJpegDecoder::Init()
{
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(m_factory.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    // Creating a decoder by class id reads the registry each time, which costs
    // as much as decoding a small frame; the class object is asked for once.
    // Without one, decoders come from the factory, which finds the codec itself.
    if (FAILED(CoGetClassObject(CLSID_WICJpegDecoder, CLSCTX_INPROC_SERVER, nullptr,
                                IID_PPV_ARGS(m_jpegClass.ReleaseAndGetAddressOf()))))
        m_jpegClass.Reset();
    return S_OK;
}

HRESULT CWicJpegDecoder::OpenFrame(IWICStream* pStream, ComPtr<IWICBitmapFrameDecode>* pFrame)
{
    ComPtr<IWICBitmapDecoder> decoder;
    HRESULT hr;
    if (m_jpegClass) {
        hr = m_jpegClass->CreateInstance(nullptr, IID_PPV_ARGS(&decoder));
        if (SUCCEEDED(hr))
            hr = decoder->Initialize(pStream, WICDecodeMetadataCacheOnDemand);
    } else {
        hr = m_factory->CreateDecoderFromStream(pStream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder);
    }
    if (SUCCEEDED(hr))
        hr = decoder->GetFrame(0, pFrame->ReleaseAndGetAddressOf());
    return hr;
}

HRESULT CWicJpegDecoder::CopyPicture(IWICBitmapFrameDecode* pFrame)
{
    UINT w = 0, h = 0;
    HRESULT hr = pFrame->GetSize(&w, &h);
    if (FAILED(hr))
        return hr;
    if (w == 0 || h == 0 || UINT64(w) * h > kMaxPixels)
        return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    WICPixelFormatGUID format = {};
    hr = pFrame->GetPixelFormat(&format);
    if (FAILED(hr))
        return hr;
    ComPtr<IWICBitmapSource> source;
    UINT nPixelBytes = 3;
    if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        source = pFrame;
    } else {
        nPixelBytes = 4;
        hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, pFrame, &source);
    }
    const size_t nStride = size_t(w) * nPixelBytes;
    if (SUCCEEDED(hr)) {
        m_picture.resize(nStride * h);
        hr = source->CopyPixels(nullptr, static_cast<UINT>(nStride),
                                static_cast<UINT>(m_picture.size()), m_picture.data());
    }
    if (SUCCEEDED(hr)) {
        m_nWidth = w;
        m_nHeight = h;
        m_nPixelBytes = nPixelBytes;
    }
    return hr;
}

HRESULT CWicJpegDecoder::DecodeScaled(const uint8_t* pJpeg, size_t nSize, UINT cx, UINT cy,
                                      std::vector<uint32_t>* pPixels)
{
    if (cx == 0 || cy == 0 || nSize == 0 || nSize > MAXDWORD)
        return E_INVALIDARG;
    if (!m_factory)
        return E_UNEXPECTED;
    ComPtr<IWICStream> stream;
    HRESULT hr = m_factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(pJpeg), static_cast<DWORD>(nSize));
    ComPtr<IWICBitmapFrameDecode> frame;
    if (SUCCEEDED(hr))
        hr = OpenFrame(stream.Get(), &frame);
    if (SUCCEEDED(hr))
        hr = CopyPicture(frame.Get());
    if (FAILED(hr))
        return hr;
    pPixels->resize(size_t(cx) * cy);
    m_resampler.Resample(m_picture.data(), m_nWidth, m_nHeight, size_t(m_nWidth) * m_nPixelBytes,
                         m_nPixelBytes, pPixels->data(), cx, cy);
    return S_OK;
}
