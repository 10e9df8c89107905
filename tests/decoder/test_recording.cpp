#include "tests/decoder/test_recording.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <cstdio>

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

CTempFile::CTempFile(const char* pszSuffix)
{
    // A name no other test process can have, of this run or an earlier one:
    // process ids come round again, and a file some process left behind would
    // stand in for one that must not exist.
    GUID guid = {};
    CoCreateGuid(&guid);
    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    char szName[80];
    wsprintfA(szName, "dvrctl_test_%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x%s", guid.Data1, guid.Data2,
              guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
              guid.Data4[5], guid.Data4[6], guid.Data4[7], pszSuffix);
    m_path = std::string(szDir) + szName;
}

CTempFile::~CTempFile() { DeleteFileA(m_path.c_str()); }

std::wstring CTempFile::WidePath() const
{
    return std::wstring(m_path.begin(), m_path.end());  // the temporary path is ASCII
}

bool WriteTestRecording(const std::string& path, const TestRecordingSpec& plan)
{
    std::vector<rec::StreamSpec> streams;
    std::vector<std::vector<std::vector<uint8_t>>> jpegs;  // per camera, its frames
    for (const TestCamera& camera : plan.cameras) {
        streams.push_back({camera.camera, 32, 24});
        jpegs.push_back(camera.frames.empty() ? std::vector<std::vector<uint8_t>>{SolidJpeg(camera.color)}
                                              : camera.frames);
        if (jpegs.back().front().empty())
            return false;
    }
    rec::WriterOptions options;
    options.rate = plan.nRate;
    rec::Writer writer;
    rec::Status status = writer.open(path, streams, options);
    for (size_t frame = 0; status && frame < size_t(plan.nFrames); ++frame) {
        for (size_t s = 0; status && s < streams.size(); ++s) {
            const std::vector<uint8_t>& jpeg = jpegs[s][std::min(frame, jpegs[s].size() - 1)];
            status = writer.addFrame(s, jpeg.data(), jpeg.size());
        }
    }
    writer.setStartTime(plan.start);
    writer.setSourceBlock(plan.source);
    writer.setMotionBlock(plan.motion);
    writer.setGpiBlock(plan.gpi);
    rec::Status closed = writer.close();
    EXPECT_TRUE(status && closed) << status.reason << closed.reason;
    return status && closed;
}

bool WriteBytes(const std::string& path, const void* pData, size_t nSize)
{
    std::FILE* pFile = std::fopen(path.c_str(), "wb");
    if (!pFile)
        return false;
    bool bOk = std::fwrite(pData, 1, nSize, pFile) == nSize;
    return std::fclose(pFile) == 0 && bOk;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::FILE* pFile = std::fopen(path.c_str(), "rb");
    if (!pFile)
        return bytes;
    std::fseek(pFile, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(pFile)));
    std::fseek(pFile, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), pFile));
    std::fclose(pFile);
    return bytes;
}
