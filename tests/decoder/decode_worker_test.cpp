// The decoding threads: every tile of a picture, in the request's order; the
// pictures after it decoded ahead and given at once; tiles of an unchanged
// frame shared; a frame that cannot be decoded replaced by the camera's
// picture before; and only the newest of the requests that waited.
#include <gtest/gtest.h>
#include <ole2.h>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include "decoder/decode_worker.h"
#include "decoder/frame_decoder.h"
#include "owners/handle.h"
#include "tests/support/test_recording.h"

namespace {

// Frames are 200 ms apart: 0, 200, ... 800.
class Decoding : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_plan.cameras.clear();
        for (int camera = 1; camera <= 16; ++camera)
            m_plan.cameras.push_back({camera, RGB(camera * 15, 255 - camera * 15, 128)});
    }
    void TearDown() override { CoUninitialize(); }

    void Write()
    {
        ASSERT_TRUE(WriteTestRecording(m_file.Path(), m_plan));
        auto recording = std::make_shared<rec::Recording>();
        ASSERT_TRUE(recording->open(m_file.Path()));
        m_recording = recording;
    }

    PictureRequest AllCameras(uint64_t nSerial, int64_t nTimeMs = 0, unsigned nAhead = 0)
    {
        PictureRequest request;
        request.nSerial = nSerial;
        request.nTimeMs = nTimeMs;
        request.nAhead = nAhead;
        request.recording = m_recording;
        for (int camera = 16; camera >= 1; --camera)  // not in camera order on purpose
            request.tiles.push_back({camera, 8u + camera, 6});
        return request;
    }

    TestRecordingPlan m_plan;
    CTempFile m_file;
    std::shared_ptr<const rec::Recording> m_recording;
};

// Collects what a worker delivers, for the test's thread to wait on.
class CDeliveries {
public:
    CDeliveries() : m_event(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    CDecodeWorker::Deliver Sink()
    {
        return [this](std::shared_ptr<DecodedPicture> picture) {
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_pictures.push_back(std::move(picture));
            }
            SetEvent(m_event);
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
            WaitForSingleObject(m_event, 10);
        }
        return nullptr;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_pictures.size();
    }

private:
    CScopedHandle m_event;
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

// The tile of camera in picture.
const TilePicture& TileOf(const DecodedPicture& picture, int camera)
{
    return picture.tiles.at(16 - camera);
}

}  // namespace

TEST_F(Decoding, EveryTileIsDecodedInTheRequestsOrder)
{
    Write();
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink(), 3);
    for (uint64_t serial = 1; serial <= 3; ++serial) {  // picture after picture, each a new frame
        worker.Submit(AllCameras(serial, int64_t(serial) * 200));
        auto picture = deliveries.WaitFor(serial);
        ASSERT_TRUE(picture);
        EXPECT_EQ(int64_t(serial) * 200, picture->nTimeMs);
        ASSERT_EQ(16u, picture->tiles.size());
        for (size_t i = 0; i < picture->tiles.size(); ++i) {
            const TilePicture& tile = picture->tiles[i];
            const int camera = 16 - static_cast<int>(i);
            ASSERT_EQ(camera, tile.camera);
            ASSERT_TRUE(tile.pixels);
            ASSERT_EQ(size_t(8 + camera) * 6, tile.pixels->size());
            const uint32_t pixel = (*tile.pixels)[0];
            EXPECT_NEAR(camera * 15, int(pixel >> 16 & 0xFF), 12) << "camera " << camera;
            EXPECT_NEAR(255 - camera * 15, int(pixel >> 8 & 0xFF), 12) << "camera " << camera;
            EXPECT_EQ(0xFFu, pixel >> 24) << "camera " << camera << ": opaque";
        }
    }
    EXPECT_EQ(48u, worker.FramesDecoded());
}

TEST_F(Decoding, ATileOfTheSameFrameAndSizeIsSharedNotDecoded)
{
    Write();
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink(), 2);
    worker.Submit(AllCameras(1, 200));
    auto first = deliveries.WaitFor(1);
    ASSERT_TRUE(first);
    ASSERT_EQ(16u, worker.FramesDecoded());
    PictureRequest request = AllCameras(2, 350);  // still the frames of 200 ms
    request.tiles[16 - 3].cx += 1;                // but camera 3's tile another size
    worker.Submit(request);
    auto again = deliveries.WaitFor(2);
    ASSERT_TRUE(again);
    EXPECT_EQ(17u, worker.FramesDecoded()) << "only the tile of another size was decoded";
    for (int camera = 1; camera <= 16; ++camera) {
        const bool bShared = TileOf(*again, camera).pixels == TileOf(*first, camera).pixels;
        EXPECT_EQ(camera != 3, bShared) << "camera " << camera;
    }
    worker.Submit(AllCameras(3, 400));
    ASSERT_TRUE(deliveries.WaitFor(3));
    EXPECT_EQ(33u, worker.FramesDecoded()) << "a new frame of every camera";
}

TEST_F(Decoding, PicturesAheadAreDecodedThenGivenAtOnce)
{
    Write();
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink());
    worker.Submit(AllCameras(1, 0, 2));
    ASSERT_TRUE(deliveries.WaitFor(1));
    ASSERT_TRUE(WaitForDecoded(worker, 48)) << "200 and 400 ms, decoded ahead";
    worker.Submit(AllCameras(2, 200, 2));
    auto second = deliveries.WaitFor(2);
    ASSERT_TRUE(second);
    EXPECT_EQ(200, second->nTimeMs);
    ASSERT_TRUE(WaitForDecoded(worker, 64)) << "and then 600 ms";
    worker.Submit(AllCameras(3, 400));
    auto third = deliveries.WaitFor(3);
    ASSERT_TRUE(third);
    EXPECT_EQ(400, third->nTimeMs);
    Sleep(50);
    EXPECT_EQ(64u, worker.FramesDecoded()) << "nothing was decoded twice";

    // Something else is wanted: what was decoded ahead is not used for it.
    worker.Submit(AllCameras(4, 800));
    auto fourth = deliveries.WaitFor(4);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(800, fourth->nTimeMs);
    EXPECT_EQ(80u, worker.FramesDecoded());
    EXPECT_EQ(4u, deliveries.Count());
}

TEST_F(Decoding, PicturesAheadAreAbandonedForAnotherRequest)
{
    Write();
    // One thread, held in the delivery of the first picture: it has decoded
    // only that picture's tiles, since the wanted picture's come first.
    const CScopedHandle hRelease(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const CScopedHandle hDelivered(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int64_t> nLastTime{-1};
    {
        CDecodeWorker worker(
            [&](std::shared_ptr<DecodedPicture> picture) {
                nLastTime = picture->nTimeMs;
                SetEvent(hDelivered);
                if (picture->nSerial == 1)
                    WaitForSingleObject(hRelease, 10000);
            },
            1);
        worker.Submit(AllCameras(1, 0, 3));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hDelivered, 10000));
        EXPECT_EQ(16u, worker.FramesDecoded());
        ResetEvent(hDelivered);
        worker.Submit(AllCameras(2, 800));
        SetEvent(hRelease);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hDelivered, 10000));
        EXPECT_EQ(800, nLastTime.load());
        EXPECT_EQ(32u, worker.FramesDecoded()) << "none of the three pictures ahead";
    }
}

TEST_F(Decoding, AFrameThatCannotBeDecodedLeavesTheCamerasPictureBefore)
{
    // Cut in its tables: the library makes no picture of it.
    const std::vector<uint8_t> good = SolidJpeg(RGB(20, 20, 220)), broken(good.begin(), good.begin() + 60);
    m_plan.cameras[5 - 1].frames = {good, broken, broken, good};  // camera 5 at 200 and 400 ms
    m_plan.cameras[7 - 1].frames = {broken, good};                // camera 7 at 0
    Write();
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink());
    worker.Submit(AllCameras(1, 0, 3));
    auto at0 = deliveries.WaitFor(1);
    ASSERT_TRUE(at0);
    EXPECT_FALSE(TileOf(*at0, 7).pixels) << "nothing before it to show";
    ASSERT_TRUE(TileOf(*at0, 5).pixels);
    for (uint64_t serial = 2; serial <= 3; ++serial) {  // the pictures decoded ahead, then given
        worker.Submit(AllCameras(serial, int64_t(serial - 1) * 200, 3));
        auto picture = deliveries.WaitFor(serial);
        ASSERT_TRUE(picture);
        EXPECT_EQ(TileOf(*at0, 5).pixels, TileOf(*picture, 5).pixels) << "camera 5 keeps its picture of 0 ms";
        EXPECT_EQ(TileOf(*at0, 5).pFrame, TileOf(*picture, 5).pFrame);
        EXPECT_NE(TileOf(*at0, 6).pFrame, TileOf(*picture, 6).pFrame) << "camera 6 goes on";
        EXPECT_TRUE(TileOf(*picture, 7).pixels) << "camera 7 shows its first good frame";
    }
    worker.Submit(AllCameras(4, 600));
    auto at600 = deliveries.WaitFor(4);
    ASSERT_TRUE(at600);
    EXPECT_NE(TileOf(*at0, 5).pixels, TileOf(*at600, 5).pixels) << "camera 5's next good frame";
    EXPECT_EQ(&m_recording->streamForCamera(5)->frames.at(3), TileOf(*at600, 5).pFrame);
}

TEST_F(Decoding, AFrameDecodedWithAWarningIsShown)
{
    const std::vector<uint8_t> red = SolidJpeg(RGB(220, 20, 20)), blue = SolidJpeg(RGB(20, 20, 220));
    const std::vector<uint8_t> cut(blue.begin(), blue.end() - 2);  // its end marker gone
    {
        CFrameDecoder decoder;
        std::vector<uint32_t> pixels;
        ASSERT_EQ(FrameResult::Damaged, decoder.DecodeToTile(cut.data(), cut.size(), 17, 13, &pixels));
    }
    m_plan.cameras[0].frames = {red, cut};
    Write();
    CDeliveries deliveries;
    CDecodeWorker worker(deliveries.Sink());
    worker.Submit(AllCameras(1, 200));
    auto picture = deliveries.WaitFor(1);
    ASSERT_TRUE(picture);
    const TilePicture& tile = TileOf(*picture, 1);
    ASSERT_TRUE(tile.pixels);
    EXPECT_EQ(&m_recording->streamForCamera(1)->frames.at(1), tile.pFrame);
    const uint32_t centre = (*tile.pixels)[tile.pixels->size() / 2];
    EXPECT_NEAR(20, int(centre >> 16 & 0xFF), 16) << std::hex << centre;
    EXPECT_NEAR(220, int(centre & 0xFF), 16) << std::hex << centre;
}

TEST_F(Decoding, OnlyTheNewestWaitingRequestIsDecoded)
{
    Write();
    std::atomic<int> nDelivered{0};
    std::atomic<uint64_t> nLastSerial{0};
    const CScopedHandle hLast(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    {
        CDecodeWorker worker([&](std::shared_ptr<DecodedPicture> picture) {
            ++nDelivered;
            nLastSerial = picture->nSerial;
            if (picture->nSerial == 20)
                SetEvent(hLast);
        });
        for (uint64_t serial = 1; serial <= 20; ++serial)  // each a new frame, none shared
            worker.Submit(AllCameras(serial, int64_t(serial % 5) * 200));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hLast, 10000));
    }
    EXPECT_EQ(20u, nLastSerial.load());
    EXPECT_LT(nDelivered.load(), 20) << "requests that waited were replaced";
}
