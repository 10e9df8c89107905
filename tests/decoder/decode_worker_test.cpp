// The decoding threads: every tile of a picture decoded, in the request's order,
// and only the newest of the requests that waited.
#include <gtest/gtest.h>
#include <ole2.h>
#include <atomic>
#include <mutex>
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

    // Frames are 200 ms apart: 0, 200, ... 800.
    PictureRequest AllCameras(uint64_t nSerial, int64_t nTimeMs = 0, int64_t nAheadMs = -1)
    {
        PictureRequest request;
        request.nSerial = nSerial;
        request.nTimeMs = nTimeMs;
        request.nAheadMs = nAheadMs;
        request.recording = m_recording;
        for (int camera = 16; camera >= 1; --camera)  // not in camera order on purpose
            request.tiles.push_back({camera, 8u + camera, 6});
        return request;
    }

    CTempFile m_file;
    std::shared_ptr<const rec::Recording> m_recording;
};

}  // namespace

// Collects what a worker delivers, for the test's thread to wait on.
class CDeliveries {
public:
    CDeliveries() : m_hEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~CDeliveries() { CloseHandle(m_hEvent); }
    CDecodeWorker::Deliver Sink()
    {
        return [this](std::shared_ptr<DecodedPicture> picture) {
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_pictures.push_back(std::move(picture));
            }
            SetEvent(m_hEvent);
        };
    }
    // The picture of nSerial once delivered; null after 10 s.
    std::shared_ptr<DecodedPicture> WaitFor(uint64_t nSerial)
    {
        for (int i = 0; i < 1000; ++i) {
            {
                std::lock_guard<std::mutex> guard(m_lock);
                for (const auto& picture : m_pictures)
                    if (picture->nSerial == nSerial)
                        return picture;
            }
            WaitForSingleObject(m_hEvent, 10);
        }
        return nullptr;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_pictures.size();
    }

private:
    HANDLE m_hEvent;
    std::mutex m_lock;
    std::vector<std::shared_ptr<DecodedPicture>> m_pictures;
};

// Waits until the worker has decoded n frames in all; false after 10 s.
bool WaitForDecoded(const CDecodeWorker& worker, uint64_t n)
{
    for (int i = 0; i < 1000 && worker.FramesDecoded() < n; ++i)
        Sleep(10);
    return worker.FramesDecoded() >= n;
}

TEST_F(Decoding, ThePoolDecodesEveryTileInRequestOrder)
{
    CTileDecoderPool pool(3);
    for (int round = 0; round < 3; ++round) {  // the pool is reused picture after picture
        std::vector<TilePicture> tiles;
        ASSERT_TRUE(pool.DecodeAll(AllCameras(1, round * 200), nullptr, &tiles));
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
    std::vector<TilePicture> none(3);
    EXPECT_TRUE(pool.DecodeAll(PictureRequest(), nullptr, &none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(48u, pool.FramesDecoded());
}

TEST_F(Decoding, ATileOfTheSameFrameAndSizeIsCopiedNotDecoded)
{
    CTileDecoderPool pool(2);
    std::vector<TilePicture> first, again;
    ASSERT_TRUE(pool.DecodeAll(AllCameras(1, 200), nullptr, &first));
    ASSERT_EQ(16u, pool.FramesDecoded());
    // Marked, so that a copy shows; camera 3's tile made for another size.
    for (TilePicture& tile : first)
        tile.pixels.assign(tile.pixels.size(), 0x00ABCDEF);
    PictureRequest request = AllCameras(2, 350);  // still the frame of 200 ms
    request.tiles[16 - 3].cx += 1;
    ASSERT_TRUE(pool.DecodeAll(request, &first, &again));
    EXPECT_EQ(17u, pool.FramesDecoded()) << "only the tile of another size was decoded";
    for (const TilePicture& tile : again) {
        ASSERT_FALSE(tile.pixels.empty());
        EXPECT_EQ(tile.camera != 3, tile.pixels[0] == 0x00ABCDEF) << "camera " << tile.camera;
    }
    ASSERT_TRUE(pool.DecodeAll(AllCameras(3, 400), &first, &again));
    EXPECT_EQ(33u, pool.FramesDecoded()) << "a new frame of every camera";
}

TEST_F(Decoding, AnAbandonedPictureStopsTakingTiles)
{
    CTileDecoderPool pool(2);
    std::atomic<bool> bAbandon{true};
    std::vector<TilePicture> tiles;
    EXPECT_FALSE(pool.DecodeAll(AllCameras(1), nullptr, &tiles, &bAbandon));
    EXPECT_EQ(0u, pool.FramesDecoded());
    EXPECT_EQ(16u, tiles.size()) << "every tile is there, empty";
    bAbandon = false;
    EXPECT_TRUE(pool.DecodeAll(AllCameras(1), nullptr, &tiles, &bAbandon));
    EXPECT_EQ(16u, pool.FramesDecoded());
}

TEST_F(Decoding, ThePictureAskedForNextIsDecodedAheadAndGivenAtOnce)
{
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink());
    worker.Submit(AllCameras(1, 0, 200));
    ASSERT_TRUE(deliveries.WaitFor(1));
    ASSERT_TRUE(WaitForDecoded(worker, 32)) << "the picture of 200 ms, decoded ahead";
    worker.Submit(AllCameras(2, 200, 400));
    auto second = deliveries.WaitFor(2);
    ASSERT_TRUE(second);
    EXPECT_EQ(200, second->nTimeMs);
    ASSERT_EQ(16u, second->tiles.size());
    EXPECT_FALSE(second->tiles[0].pixels.empty());
    ASSERT_TRUE(WaitForDecoded(worker, 48)) << "and then the one of 400 ms";
    Sleep(50);
    EXPECT_EQ(48u, worker.FramesDecoded()) << "200 ms was not decoded twice";

    // Something else is wanted: what was decoded ahead is not used for it.
    worker.Submit(AllCameras(3, 800));
    auto third = deliveries.WaitFor(3);
    ASSERT_TRUE(third);
    EXPECT_EQ(800, third->nTimeMs);
    EXPECT_EQ(64u, worker.FramesDecoded());
    EXPECT_EQ(3u, deliveries.Count());
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
        for (uint64_t serial = 1; serial <= 20; ++serial)  // each a new frame, none copied
            worker.Submit(AllCameras(serial, int64_t(serial % 5) * 200));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hLast, 10000));
    }
    CloseHandle(hLast);
    EXPECT_EQ(20u, nLastSerial.load());
    EXPECT_LT(nDelivered.load(), 20) << "requests that waited were replaced";
}
