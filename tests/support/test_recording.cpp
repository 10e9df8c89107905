#include "tests/support/test_recording.h"
#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>
#include "framework/text.h"

using Microsoft::WRL::ComPtr;

namespace {

HRESULT EncodeSolid(IWICImagingFactory* pFactory, IStream* pOut, COLORREF color, UINT cx, UINT cy,
                    bool bGrey)
{
    const WICPixelFormatGUID wanted = bGrey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppBGR;
    const UINT nBytes = bGrey ? 1 : 3;
    ComPtr<IWICBitmapEncoder> encoder;
    HRESULT hr = pFactory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(pOut, WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(cx, cy);
    WICPixelFormatGUID format = wanted;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && format != wanted)
        hr = E_FAIL;  // the pixels below are laid out for this format only
    std::vector<BYTE> pixels(size_t(cx) * cy * nBytes);
    const BYTE bgr[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    for (size_t i = 0; i < pixels.size(); i += nBytes)
        for (UINT k = 0; k < nBytes; ++k)
            pixels[i + k] = bGrey ? GetGValue(color) : bgr[k];
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(cy, cx * nBytes, static_cast<UINT>(pixels.size()), pixels.data());
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

std::vector<uint8_t> StreamBytes(IStream* pStream)
{
    STATSTG stat = {};
    std::vector<uint8_t> bytes;
    if (FAILED(pStream->Stat(&stat, STATFLAG_NONAME)))
        return bytes;
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    ULONG nRead = 0;
    pStream->Seek(zero, STREAM_SEEK_SET, nullptr);
    pStream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &nRead);
    bytes.resize(nRead);
    return bytes;
}

}  // namespace

std::vector<uint8_t> SolidJpeg(COLORREF color, UINT cx, UINT cy, bool bGrey)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr))
        hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr))
        hr = EncodeSolid(factory.Get(), stream.Get(), color, cx, cy, bGrey);
    EXPECT_EQ(S_OK, hr) << "WIC could not encode a JPEG";
    return SUCCEEDED(hr) ? StreamBytes(stream.Get()) : std::vector<uint8_t>();
}

std::wstring CTempFile::WidePath() const { return fw::Widen(Path()); }

bool WriteTestRecording(const std::string& path, const TestRecordingPlan& plan)
{
    rectest::Sample sample;
    for (const TestCamera& camera : plan.cameras) {
        sample.streams.push_back({camera.camera, 32, 24, camera.nRate, camera.nRate ? 1u : 0u});
        sample.frames.push_back(camera.frames.empty() ? std::vector<rectest::Bytes>{SolidJpeg(camera.color)}
                                                      : camera.frames);
        if (sample.frames.back().front().empty())
            return false;
    }
    sample.frameCount = size_t(plan.nFrames);
    sample.start = plan.start;
    sample.source = plan.source;
    sample.motion = plan.motion;
    sample.gpi = plan.gpi;
    rec::WriterOptions options;
    options.rate = plan.nRate;
    rec::Status status = rectest::writeRecording(sample, options, path);
    EXPECT_TRUE(status) << status.reason;
    return bool(status);
}
