// The decoding threads: every tile of a picture decoded, in the request's order,
// and only the newest of the requests that waited.
#include <gtest/gtest.h>
#include <ole2.h>
#include <atomic>
#include "decoder/decode_worker.h"
#include "tests/decoder/test_recording.h"

namespace {

class Decoding : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        TestRecordingSpec plan;
        plan.cameras.clear();
        for (int camera = 1; camera <= 16; ++camera)
            plan.cameras.push_back({camera, RGB(camera * 15, 255 - camera * 15, 128)});
        ASSERT_TRUE(WriteTestRecording(m_file.Path(), plan));
        auto recording = std::make_shared<rec::Recording>();
        ASSERT_TRUE(recording->open(m_file.Path()));
        m_recording = recording;
    }
    void TearDown() override { CoUninitialize(); }

    PictureRequest AllCameras(uint64_t nSerial)
    {
        PictureRequest request;
        request.nSerial = nSerial;
        request.recording = m_recording;
        for (int camera = 16; camera >= 1; --camera)  // not in camera order on purpose
            request.tiles.push_back({camera, 8u + camera, 6});
        return request;
    }

    CTempFile m_file;
    std::shared_ptr<const rec::Recording> m_recording;
};

}  // namespace

TEST_F(Decoding, ThePoolDecodesEveryTileInRequestOrder)
{
    CTileDecoderPool pool(3);
    for (int round = 0; round < 3; ++round) {  // the pool is reused picture after picture
        std::vector<TilePicture> tiles = pool.DecodeAll(AllCameras(1));
        ASSERT_EQ(16u, tiles.size());
        for (size_t i = 0; i < tiles.size(); ++i) {
            const int camera = 16 - static_cast<int>(i);
            ASSERT_EQ(camera, tiles[i].camera);
            ASSERT_EQ(size_t(8 + camera) * 6, tiles[i].pixels.size());
            const uint32_t pixel = tiles[i].pixels[0];
            EXPECT_NEAR(camera * 15, int(pixel >> 16 & 0xFF), 12) << "camera " << camera;
            EXPECT_NEAR(255 - camera * 15, int(pixel >> 8 & 0xFF), 12) << "camera " << camera;
        }
    }
    EXPECT_TRUE(pool.DecodeAll(PictureRequest()).empty());
}

TEST_F(Decoding, OnlyTheNewestWaitingRequestIsDecoded)
{
    std::atomic<int> nDelivered{0};
    std::atomic<uint64_t> nLastSerial{0};
    HANDLE hLast = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        CDecodeWorker worker([&](std::shared_ptr<DecodedPicture> picture) {
            ++nDelivered;
            nLastSerial = picture->nSerial;
            if (picture->nSerial == 20)
                SetEvent(hLast);
        });
        for (uint64_t serial = 1; serial <= 20; ++serial)
            worker.Submit(AllCameras(serial));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hLast, 10000));
    }
    CloseHandle(hLast);
    EXPECT_EQ(20u, nLastSerial.load());
    EXPECT_LT(nDelivered.load(), 20) << "requests that waited were replaced";
}
