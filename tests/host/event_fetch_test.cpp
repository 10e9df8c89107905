// The event index: its byte layout, and the fetch that fills it from the
// decoder for WM_FETCH_INDEX.
#include <cstring>
#include <memory>
#include "host/event_index.h"
#include "tests/host/host_fixture.h"

namespace {

using Bytes = std::vector<BYTE>;

// Bytes no two blocks share, so that a block copied to the wrong place shows.
Bytes Pattern(size_t n, BYTE seed)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<BYTE>(seed + i * 7 + i / 251);
    return bytes;
}

const BYTE* At(const EVENT_INDEX& index, size_t offset) { return reinterpret_cast<const BYTE*>(&index) + offset; }

Bytes Slice(const EVENT_INDEX& index, size_t offset, size_t n)
{
    return Bytes(At(index, offset), At(index, offset) + n);
}

// Camera-major motion levels: camera k+1 at slot j sits at 12020 + 1000k + j.
static_assert(offsetof(EVENT_INDEX, Motion.bLevel[3][7]) == 12020 + 3007, "motion levels are camera-major");
static_assert(offsetof(EVENT_INDEX, Gpi.lValue[1999]) + 4 == sizeof(EVENT_INDEX), "GPI values end the record");

TEST(EventFetchLayout, CountsAndArraysSitWhereTheDecoderPutsThem)
{
    auto index = std::make_unique<EVENT_INDEX>();
    memset(index.get(), 0, sizeof *index);
    index->Source.wCount = 0x0102;
    index->Motion.wCount = 0x0304;
    index->Gpi.wCount = 0x0506;
    index->Motion.bLevel[15][999] = 0x77;
    index->Gpi.lValue[0] = -2;
    // Little-endian, at the record offsets.
    EXPECT_EQ((Bytes{0x02, 0x01}), Slice(*index, 8, 2));
    EXPECT_EQ((Bytes{0x04, 0x03}), Slice(*index, 12016, 2));
    EXPECT_EQ((Bytes{0x06, 0x05}), Slice(*index, 28024, 2));
    EXPECT_EQ(0x77, *At(*index, 12020 + 15 * 1000 + 999));
    EXPECT_EQ((Bytes{0xFE, 0xFF, 0xFF, 0xFF}), Slice(*index, 28028, 4));
}

TEST(EventFetchLayout, CountsNeverExceedWhatTheBlocksHold)
{
    auto index = std::make_unique<EVENT_INDEX>();
    memset(index.get(), 0, sizeof *index);
    EXPECT_EQ(0u, EventCount(index->Source));
    index->Source.wCount = 999;
    index->Motion.wCount = 1000;
    index->Gpi.wCount = 2000;
    EXPECT_EQ(999u, EventCount(index->Source));
    EXPECT_EQ(1000u, EventCount(index->Motion));
    EXPECT_EQ(2000u, EventCount(index->Gpi));
    index->Source.wCount = 1001;
    index->Motion.wCount = 0xFFFF;  // unsigned, not -1
    index->Gpi.wCount = 2001;
    EXPECT_EQ(1000u, EventCount(index->Source));
    EXPECT_EQ(1000u, EventCount(index->Motion));
    EXPECT_EQ(2000u, EventCount(index->Gpi));
}

class EventFetch : public VideoWindow {
protected:
    void SetUp() override
    {
        VideoWindow::SetUp();
        Fill(0xAB);
    }
    // The record as a previous file left it.
    void Fill(BYTE b)
    {
        memset(index.get(), b, sizeof *index);
        before = Slice(*index, 0, sizeof *index);
    }
    LRESULT Fetch() { return SendMessageA(video.m_hWnd, WM_FETCH_INDEX, reinterpret_cast<WPARAM>(index.get()), 0); }
    int32_t StartTimeOf(const wchar_t* text)
    {
        decoder->SetStartTime(text);
        index->lStartTimeMs = 12345;
        EXPECT_EQ(1, Fetch());
        return index->lStartTimeMs;
    }
    void DeliverAllBlocks()
    {
        decoder->SetEventBlock(DVR_SOURCE_EVENTS, source);
        decoder->SetEventBlock(DVR_MOTION_EVENTS, motion);
        decoder->SetEventBlock(DVR_GPI_EVENTS, gpi);
    }
    bool Unchanged() const { return Slice(*index, 0, sizeof *index) == before; }

    std::unique_ptr<EVENT_INDEX> index = std::make_unique<EVENT_INDEX>();
    Bytes before;
    const Bytes source = Pattern(12008, 1), motion = Pattern(16008, 2), gpi = Pattern(8008, 3);
    const Calls kAllFour{"GetSourceEvents", "GetMotionEvents", "GetGpiEvents", "GetStartTime"};
};

TEST_F(EventFetch, FillsTheBlocksByteForByteAndTheStartTime)
{
    DeliverAllBlocks();
    decoder->SetStartTime(L"2005-03-07\t13:45:30.250");
    EXPECT_EQ(1, Fetch());
    EXPECT_EQ(kAllFour, decoder->Calls());
    EXPECT_EQ(49530250, index->lStartTimeMs);
    EXPECT_EQ(source, Slice(*index, 4, 12008));
    EXPECT_EQ(motion, Slice(*index, 12012, 16008));
    EXPECT_EQ(gpi, Slice(*index, 28020, 8008));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(EventFetch, StartTimeTexts)
{
    const std::wstring date = L"2005-03-07\t";
    EXPECT_EQ(86399999, StartTimeOf(L"2005-03-07 23:59:59.999")) << "any white space between date and time";
    EXPECT_EQ(0, StartTimeOf(L"2005-03-07")) << "a date alone";
    EXPECT_EQ(49500000, StartTimeOf(L"2005-03-07\t13:45")) << "missing fields count 0";
    EXPECT_EQ(0, StartTimeOf(L"")) << "empty text";
    EXPECT_EQ(0, StartTimeOf(L"13:45:30.250")) << "no date: the time is taken for the date";
    EXPECT_EQ(65535, StartTimeOf(L"2005-03-07\t00:00:00.-1")) << "fields are taken as unsigned 16-bit";
    // 49 characters and the terminator just fit the conversion; one more does not.
    std::wstring fits = date + L"13:45:30.250" + std::wstring(49 - 23, L' ');
    ASSERT_EQ(49u, fits.size());
    EXPECT_EQ(49530250, StartTimeOf(fits.c_str()));
    EXPECT_EQ(0, StartTimeOf((fits + L" ").c_str()));
    std::wstring overlong = date + L"13:45:30.250" + std::wstring(60 - 23, L'9');
    EXPECT_EQ(0, StartTimeOf(overlong.c_str()));
}

TEST_F(EventFetch, WithoutStartTimeTheTimeIsZeroAndTheBlocksStillCome)
{
    DeliverAllBlocks();
    decoder->SetStartTime(nullptr);
    EXPECT_EQ(1, Fetch());
    EXPECT_EQ(0, index->lStartTimeMs);
    EXPECT_EQ(source, Slice(*index, 4, 12008));
    EXPECT_EQ(motion, Slice(*index, 12012, 16008));
    EXPECT_EQ(gpi, Slice(*index, 28020, 8008));
}

TEST_F(EventFetch, AMissingBlockKeepsExactlyItsOwnBytes)
{
    struct Block {
        DISPID dispid;
        size_t offset, size;
    } blocks[] = {
        {DVR_SOURCE_EVENTS, 4, 12008}, {DVR_MOTION_EVENTS, 12012, 16008}, {DVR_GPI_EVENTS, 28020, 8008}};
    for (const Block& missing : blocks) {
        Fill(0xAB);
        DeliverAllBlocks();
        decoder->SetEventBlock(missing.dispid, std::nullopt);
        decoder->SetStartTime(L"2005-03-07\t00:00:01.000");
        EXPECT_EQ(1, Fetch());
        EXPECT_EQ(1000, index->lStartTimeMs);
        for (const Block& b : blocks) {
            if (b.dispid == missing.dispid)
                EXPECT_EQ(Bytes(b.size, 0xAB), Slice(*index, b.offset, b.size)) << "missing block " << missing.dispid;
            else
                EXPECT_NE(Bytes(b.size, 0xAB), Slice(*index, b.offset, b.size)) << "block " << b.dispid;
        }
    }
}

TEST_F(EventFetch, AStatusFailureInAnyCallLeavesTheWholeRecord)
{
    const DISPID order[] = {DVR_SOURCE_EVENTS, DVR_MOTION_EVENTS, DVR_GPI_EVENTS, DVR_START_TIME};
    for (size_t failing = 0; failing < 4; ++failing) {
        DeliverAllBlocks();
        decoder->SetStartTime(L"2005-03-07\t13:45:30.250");
        decoder->ClearCalls();
        decoder->ClearFailures();
        decoder->FailOn(order[failing], E_FAIL);
        EXPECT_EQ(0, Fetch()) << "call " << failing + 1;
        EXPECT_EQ(Calls(kAllFour.begin(), kAllFour.begin() + failing + 1), decoder->Calls());
        EXPECT_TRUE(Unchanged()) << "call " << failing + 1;
    }
    EXPECT_TRUE(boxes.boxes.empty()) << "a status failure of the fetch is not shown";
}

TEST_F(EventFetch, ARaisedErrorIsShownWithItsDescriptionAndTheRecordIsLeft)
{
    DeliverAllBlocks();
    decoder->SetStartTime(L"2005-03-07\t13:45:30.250");
    decoder->RaiseOn(DVR_MOTION_EVENTS, L"No recording is open.");
    EXPECT_EQ(0, Fetch());
    EXPECT_EQ((Calls{"GetSourceEvents", "GetMotionEvents"}), decoder->Calls());
    EXPECT_TRUE(Unchanged());
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("No recording is open.", boxes.boxes[0].text);
    EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), boxes.boxes[0].type);
    EXPECT_EQ("Vorplex", boxes.boxes[0].caption);
}

TEST_F(EventFetch, NoRecordNoCall)
{
    DeliverAllBlocks();
    EXPECT_EQ(0, SendMessageA(video.m_hWnd, WM_FETCH_INDEX, 0, 0));
    EXPECT_TRUE(decoder->Calls().empty());
}

TEST_F(EventFetch, ShortBlocksAreZeroFilledAndLongOnesCutToTheBlock)
{
    decoder->SetEventBlock(DVR_SOURCE_EVENTS, Pattern(10, 1));
    decoder->SetEventBlock(DVR_MOTION_EVENTS, Bytes());  // a string, but empty
    decoder->SetEventBlock(DVR_GPI_EVENTS, Pattern(8007, 3));
    EXPECT_EQ(1, Fetch());
    Bytes expected = Pattern(10, 1);
    expected.resize(12008, 0);
    EXPECT_EQ(expected, Slice(*index, 4, 12008));
    EXPECT_EQ(Bytes(16008, 0), Slice(*index, 12012, 16008));
    expected = Pattern(8007, 3);
    expected.push_back(0);
    EXPECT_EQ(expected, Slice(*index, 28020, 8008));

    // A string longer than its block fills the block and nothing beyond it.
    Fill(0xAB);
    decoder->SetEventBlock(DVR_SOURCE_EVENTS, Pattern(13000, 1));
    decoder->SetEventBlock(DVR_MOTION_EVENTS, std::nullopt);
    decoder->SetEventBlock(DVR_GPI_EVENTS, std::nullopt);
    EXPECT_EQ(1, Fetch());
    EXPECT_EQ(Pattern(12008, 1), Slice(*index, 4, 12008));
    EXPECT_EQ(Bytes(16008, 0xAB), Slice(*index, 12012, 16008));
}

}  // namespace
