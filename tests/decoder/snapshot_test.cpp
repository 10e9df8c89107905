// Pictures handed over: PNG files that read back as the same pixels, the
// clipboard's bitmap, the names offered, and the time of day they are made of.
#include <gtest/gtest.h>
#include <ole2.h>
#include <wincodec.h>
#include <wrl/client.h>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>
#include "decoder/snapshot.h"
#include "decoder/time_of_day.h"
#include "tests/support/test_recording.h"

using Microsoft::WRL::ComPtr;

namespace {

// A picture with something different in every pixel's channels.
std::vector<uint32_t> Pattern(unsigned cx, unsigned cy)
{
    std::vector<uint32_t> pixels(size_t(cx) * cy);
    for (unsigned y = 0; y < cy; ++y)
        for (unsigned x = 0; x < cx; ++x)
            pixels[size_t(y) * cx + x] = (x * 7 % 256) << 16 | (y * 13 % 256) << 8 | ((x + y) * 3 % 256);
    return pixels;
}

// The pixels of a PNG file as WIC reads them, 0x00RRGGBB; empty when it cannot.
std::vector<uint32_t> ReadPng(const std::wstring& path, UINT* pcx, UINT* pcy)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> bgra;
    std::vector<uint32_t> pixels;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(pcx, pcy)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &bgra)))
        return pixels;
    pixels.resize(size_t(*pcx) * *pcy);
    if (FAILED(bgra->CopyPixels(nullptr, *pcx * 4, UINT(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()))))
        pixels.clear();
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

class Snapshots : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST(TimeOfDay, AsTheLabelsAndFileNamesWriteIt)
{
    const int64_t t = ((14 * 60 + 32) * 60 + 7) * 1000 + 580;
    EXPECT_EQ("14:32:07.5", TimeOfDayText(t)) << "tenths, cut rather than rounded";
    EXPECT_EQ("143207", TimeOfDayDigits(t));
    EXPECT_EQ("00:00:00.0", TimeOfDayText(0));
    EXPECT_EQ("00:00:01.2", TimeOfDayText(24LL * 3600000 + 1250)) << "past midnight it wraps round";
    EXPECT_EQ("23:59:59.9", TimeOfDayText(-50));
}

TEST(SnapshotNames, TheRecordingsNameTheCameraAndTheTimeOfDay)
{
    const SnapshotTime t = SnapshotTimeOf(0, 0, 0, ((14 * 60 + 32) * 60 + 7) * 1000);
    EXPECT_EQ(L"yard-cam03-20240517-143207.png",
              SnapshotFileName(L"C:\\cams\\yard.d01", 3, SnapshotTimeOf(2024, 5, 17, t.msOfDay)));
    // Past midnight, the next day: the last of February 2024 is the 29th.
    EXPECT_EQ(L"yard-20240301-000001.png",
              SnapshotFileName(L"C:\\cams\\yard.d01", 0, SnapshotTimeOf(2024, 2, 29, 86401000)));
    EXPECT_EQ("2024-03-01T00:00:01", SnapshotTimeText(SnapshotTimeOf(2024, 2, 29, 86401000)));
    EXPECT_EQ(L"yard-cam03-143207.png", SnapshotFileName(L"C:\\cams\\yard.d01", 3, t));
    EXPECT_EQ(L"yard-cam16-143207.png", SnapshotFileName(L"C:\\cams\\yard.d01", 16, t));
    EXPECT_EQ(L"yard-143207.png", SnapshotFileName(L"C:\\cams\\yard.d01", 0, t)) << "the whole view";
    EXPECT_EQ(L"front.door-143207.png", SnapshotFileName(L"D:/x/front.door.nwv", 0, t)) << "only the last extension";
    EXPECT_EQ(L"noext-143207.png", SnapshotFileName(L"noext", 0, t));
    EXPECT_EQ(L".hidden-143207.png", SnapshotFileName(L"C:\\.hidden", 0, t)) << "a leading dot is the name";
    EXPECT_EQ(L"picture-143207.png", SnapshotFileName(L"C:\\cams\\", 0, t));
}

TEST_F(Snapshots, APngReadsBackAsTheSamePixels)
{
    const unsigned cx = 37, cy = 23;  // odd sizes: rows that are no multiple of four bytes
    std::vector<uint32_t> pixels = Pattern(cx, cy);
    for (uint32_t& pixel : pixels)
        pixel |= 0xAB000000;  // whatever the unused byte holds is not written
    CTempFile file(".png");
    const std::wstring path = file.WidePath();
    ASSERT_EQ(S_OK, WritePng({pixels.data(), cx, cy}, path));
    UINT w = 0, h = 0;
    const std::vector<uint32_t> back = ReadPng(path, &w, &h);
    ASSERT_EQ(cx, w);
    ASSERT_EQ(cy, h);
    const std::vector<uint32_t> expected = Pattern(cx, cy);
    EXPECT_EQ(expected, back);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((path + L".partial").c_str())) << "nothing left beside it";

    // Again over it, with text: the new picture replaces the old, and a reader still takes it.
    std::vector<uint32_t> other(size_t(cx) * cy, 0x00102030);
    ASSERT_EQ(S_OK, WritePng({other.data(), cx, cy}, path,
                             {{"Creation Time", "2024-05-17T14:32:07"}, {"Description",
                                                                         "Camera 3 of h\xC3\xB6"
                                                                         "f.d01"}}));
    EXPECT_EQ(other, ReadPng(path, &w, &h));
    std::string bytes;
    {
        std::ifstream in(path.c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string creation = std::string("\0\0\0\x21tEXtCreation Time\0", 22) + "2024-05-17T14:32:07";
    EXPECT_EQ(33u, bytes.find(creation)) << "right after IHDR";
    EXPECT_NE(std::string::npos, bytes.find(std::string("iTXtDescription\0\0\0\0\0Camera 3 of h\xC3\xB6"
                                                        "f.d01",
                                                        40)))
        << "UTF-8 text in iTXt";
}

TEST_F(Snapshots, AFailedWriteSaysWhyAndLeavesNothing)
{
    const std::vector<uint32_t> pixels = Pattern(8, 8);
    CTempFile file(".png");
    const std::wstring path = file.WidePath() + L"\\no such folder\\picture.png";
    const HRESULT hr = WritePng({pixels.data(), 8, 8}, path);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(FailureText(hr).empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
    EXPECT_EQ(E_INVALIDARG, WritePng({pixels.data(), 0, 8}, file.WidePath())) << "a picture of nothing";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.WidePath().c_str()));
}

TEST_F(Snapshots, TheClipboardHoldsTheViewAsABitmap)
{
    const unsigned cx = 21, cy = 9;
    const std::vector<uint32_t> pixels = Pattern(cx, cy);
    HWND hwnd = CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hwnd);
    ASSERT_EQ(S_OK, CopyToClipboard({pixels.data(), cx, cy}, hwnd));
    ASSERT_TRUE(OpenClipboard(hwnd));
    HANDLE hDib = GetClipboardData(CF_DIB);
    ASSERT_NE(nullptr, hDib);
    const auto* pHeader = static_cast<const BITMAPINFOHEADER*>(GlobalLock(hDib));
    ASSERT_NE(nullptr, pHeader);
    EXPECT_EQ(LONG(cx), pHeader->biWidth);
    EXPECT_EQ(LONG(cy), pHeader->biHeight) << "bottom-up";
    EXPECT_EQ(32, pHeader->biBitCount);
    const auto* pBits = reinterpret_cast<const uint32_t*>(pHeader + 1);
    for (unsigned y = 0; y < cy; ++y)
        for (unsigned x = 0; x < cx; ++x)
            ASSERT_EQ(pixels[size_t(cy - 1 - y) * cx + x], pBits[size_t(y) * cx + x]) << x << "," << y;
    GlobalUnlock(hDib);
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(hwnd);
}

// A failure is reported as one, even from a call that sets no last error, and
// what the clipboard did not take stays with the caller to free.
TEST_F(Snapshots, AClipboardThatTakesNothingIsAFailure)
{
    HWND hwnd = CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hwnd);
    // Held open by another thread's window, as another program would. First:
    // once our window owns the clipboard, an open elsewhere asks it, and this
    // thread pumps no messages while it waits.
    const CScopedHandle opened(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const CScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        HWND hwndOther = CreateWindowExA(0, "STATIC", "other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        OpenClipboard(hwndOther);
        SetEvent(opened);
        WaitForSingleObject(done, 10000);
        CloseClipboard();
        DestroyWindow(hwndOther);
    });
    WaitForSingleObject(opened, 10000);
    CScopedGlobal dib(GlobalAlloc(GMEM_MOVEABLE, 64));
    EXPECT_TRUE(FAILED(PutOnClipboard(dib, CF_DIB, hwnd)));
    EXPECT_TRUE(dib.IsHeld());
    SetEvent(done);
    holder.join();

    CScopedGlobal nothing(GlobalAlloc(GMEM_MOVEABLE, 0));  // refused, with no last error
    ASSERT_TRUE(nothing.IsHeld());
    EXPECT_TRUE(FAILED(PutOnClipboard(nothing, CF_DIB, hwnd)));
    EXPECT_TRUE(nothing.IsHeld());

    EXPECT_EQ(S_OK, PutOnClipboard(dib, CF_DIB, hwnd));
    EXPECT_FALSE(dib.IsHeld()) << "the clipboard's now";
    ASSERT_TRUE(OpenClipboard(hwnd));
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(hwnd);
}
