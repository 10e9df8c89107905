// The automation members: each id with the shape it takes, the values it
// refuses, and what the getters read out of a recording.
#include <cstring>
#include "decoder/control_stream.h"
#include "owners/bstr.h"
#include "tests/decoder/decoder_fixture.h"

namespace {

using Members = DecoderTest;

std::vector<uint8_t> BstrBytes(BSTR bstr)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bstr);
    return std::vector<uint8_t>(p, p + SysStringByteLen(bstr));
}

std::wstring OutString(IDispatch* p, DISPID id)
{
    CScopedBstr bstr;
    EXPECT_EQ(S_OK, CallOutString(p, id, bstr.Out()));
    return bstr ? std::wstring(bstr, SysStringLen(bstr)) : L"<null>";
}

}  // namespace

TEST_F(Members, PutsTakeOnlyALongWithThePutName)
{
    for (DISPID id : {DVR_SPEED, DVR_OPEN_MODE, DVR_START_OFFSET, DVR_VIEW_SPLIT, DVR_VIEW_GROUP}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(DISP_E_TYPEMISMATCH, CallStatus(Decoder(), id, DISPATCH_PROPERTYPUT, {ShortArg(1)}, true));
        EXPECT_EQ(DISP_E_PARAMNOTFOUND, CallStatus(Decoder(), id, DISPATCH_PROPERTYPUT, {LongArg(1)}, false));
        EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallStatus(Decoder(), id, DISPATCH_PROPERTYPUT, {}, true));
    }
    // Put-only members have no get.
    for (DISPID id : {DVR_SPEED, DVR_OPEN_MODE, DVR_START_OFFSET, DVR_FILE_NAME}) {
        LONG n = 0;
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, GetLong(Decoder(), id, &n)) << id;
    }
    EXPECT_EQ(DISP_E_TYPEMISMATCH, PutLong(Decoder(), DVR_FILE_NAME, 3));
}

TEST_F(Members, MethodsTakeExactlyTheirArguments)
{
    for (DISPID id : {DVR_PAUSE, DVR_STOP, DVR_PLAY, DVR_PLAY_AGAIN, DVR_STEP}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(S_OK, CallMethod(Decoder(), id));
        EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallMethodLong(Decoder(), id, 1));
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, PutLong(Decoder(), id, 1));
    }
    EXPECT_EQ(S_OK, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, 3));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallMethod(Decoder(), DVR_SELECT_SOURCE));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, CallStatus(Decoder(), DVR_SELECT_SOURCE, DISPATCH_METHOD, {ShortArg(3)}));

    for (DISPID id : {DVR_SOURCE_EVENTS, DVR_GPI_EVENTS, DVR_MOTION_EVENTS, DVR_START_TIME}) {
        SCOPED_TRACE(id);
        const CScopedBstr bstr(SysAllocString(L"x"));  // a BSTR by value is not an out string
        EXPECT_EQ(DISP_E_TYPEMISMATCH, CallStatus(Decoder(), id, DISPATCH_METHOD, {BstrArg(bstr)}));
        EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallMethod(Decoder(), id));
    }
}

TEST_F(Members, UnknownIdsAreNotMembers)
{
    for (DISPID id : {0, 3, 6, 10, 11, 13, 14, 18, 22, 25, 28, 31, 33, 99}) {
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, CallMethod(Decoder(), id)) << id;
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, PutLong(Decoder(), id, 1)) << id;
    }
}

TEST_F(Members, NamesResolveToTheContractsIds)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"ViewSplit"), const_cast<LPOLESTR>(L"getstarttime")};
    DISPID ids[2] = {};
    ASSERT_EQ(S_OK, Decoder()->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &ids[0]));
    ASSERT_EQ(S_OK, Decoder()->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &ids[1]));
    EXPECT_EQ(DVR_VIEW_SPLIT, ids[0]);
    EXPECT_EQ(DVR_START_TIME, ids[1]);
}

TEST_F(Members, ValuesOutsideTheirRangeAreRefused)
{
    for (LONG speed : {3, -1, 4, -16})
        EXPECT_EQ(E_INVALIDARG, PutLong(Decoder(), DVR_SPEED, speed)) << speed;
    for (LONG speed : {0, 2, 1, -2, -4, -8})
        EXPECT_EQ(S_OK, PutLong(Decoder(), DVR_SPEED, speed)) << speed;
    EXPECT_EQ(E_INVALIDARG, PutLong(Decoder(), DVR_START_OFFSET, -1));
    EXPECT_EQ(E_INVALIDARG, PutLong(Decoder(), DVR_OPEN_MODE, 2));
    EXPECT_EQ(E_INVALIDARG, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, 16));
    EXPECT_EQ(E_INVALIDARG, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, -2));
    EXPECT_EQ(S_OK, CallMethodLong(Decoder(), DVR_SELECT_SOURCE, -1));
}

TEST_F(Members, ViewSplitAndGroupReadBackWhatWasPut)
{
    LONG n = 0;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_VIEW_SPLIT, &n));
    EXPECT_EQ(16, n);
    for (LONG split : {1, 4, 8, 16}) {
        ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_SPLIT, split));
        ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_VIEW_SPLIT, &n));
        EXPECT_EQ(split, n);
    }
    for (LONG split : {0, 2, 9, 32, -1})
        EXPECT_EQ(E_INVALIDARG, PutLong(Decoder(), DVR_VIEW_SPLIT, split)) << split;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_VIEW_SPLIT, &n));
    EXPECT_EQ(16, n) << "a refused split leaves the last one";

    for (LONG group : {3, -1, 0}) {
        ASSERT_EQ(S_OK, PutLong(Decoder(), DVR_VIEW_GROUP, group));
        ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_VIEW_GROUP, &n));
        EXPECT_EQ(group, n);
    }
    EXPECT_EQ(E_INVALIDARG, PutLong(Decoder(), DVR_VIEW_GROUP, -2));
}

TEST_F(Members, NothingOpenReadsAsEmpty)
{
    LONG nMask = -1;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_CAMERA_MASK, &nMask));
    EXPECT_EQ(0, nMask);
    CScopedBstr bstr;
    ASSERT_EQ(S_OK, CallOutString(Decoder(), DVR_GPI_EVENTS, bstr.Out()));
    ASSERT_NE(nullptr, bstr.Get());
    EXPECT_EQ(std::vector<uint8_t>(8008, 0), BstrBytes(bstr));
    EXPECT_EQ(L"<null>", OutString(Decoder(), DVR_START_TIME));
}

TEST_F(Members, EventBlocksAndStartTimeAreTheFilesBytes)
{
    TestRecordingPlan plan;
    rec::addSourceEvent(plan.source, 7, 3);
    rec::addSourceEvent(plan.source, 999, 16);
    rec::setMotionLevel(plan.motion, 12, 5, 200);
    rec::setGpiValue(plan.gpi, 1999, -42);
    plan.start = {2023, 11, 30, 23 * 3600000 + 59 * 60000 + 58 * 1000 + 7};
    ASSERT_EQ(S_OK, OpenRecording(plan));

    const struct {
        DISPID id;
        const uint8_t* pExpected;
        size_t nSize;
    } blocks[] = {
        {DVR_SOURCE_EVENTS, plan.source.data(), plan.source.size()},
        {DVR_MOTION_EVENTS, plan.motion.data(), plan.motion.size()},
        {DVR_GPI_EVENTS, plan.gpi.data(), plan.gpi.size()},
    };
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.id);
        CScopedBstr bstr;
        ASSERT_EQ(S_OK, CallOutString(Decoder(), block.id, bstr.Out()));
        ASSERT_NE(nullptr, bstr.Get());
        EXPECT_EQ(std::vector<uint8_t>(block.pExpected, block.pExpected + block.nSize), BstrBytes(bstr));
    }
    EXPECT_EQ(L"2023-11-30\t23:59:58.007", OutString(Decoder(), DVR_START_TIME));
}

TEST_F(Members, CameraMaskHasABitPerCameraOfTheFile)
{
    TestRecordingPlan plan;
    plan.cameras = {{1, RGB(255, 0, 0)}, {3, RGB(0, 255, 0)}, {7, RGB(0, 0, 255)}};
    ASSERT_EQ(S_OK, OpenRecording(plan));
    LONG nMask = 0;
    ASSERT_EQ(S_OK, GetLong(Decoder(), DVR_CAMERA_MASK, &nMask));
    EXPECT_EQ(0x45, nMask);
}

// --- The persisted stream

TEST(DvrStream, DefaultIsTheTemplatesSeventySixBytes)
{
    std::vector<BYTE> bytes = DefaultDvrStream();
    ASSERT_EQ(size_t(DVR_PERSISTED_STREAM_SIZE), bytes.size());
    const BYTE head[] = {0, 0, 0, 0, 0x00, 0x03, 0, 0, 0xBA, 0x22, 0, 0, 0x6D, 0x19, 0, 0};
    EXPECT_EQ(0, std::memcmp(head, bytes.data(), sizeof(head)));
    CPersistedProperties props;
    ASSERT_TRUE(ParsePersistedProperties(bytes.data(), bytes.size(), &props));
    EXPECT_TRUE(IsDvrStreamShape(props));
    EXPECT_EQ(4, props.values[4].nValue);
}

TEST(DvrStream, ShapeWantsNineValuesOfTheTemplatesTypes)
{
    std::vector<BYTE> bytes = DefaultDvrStream();
    CPersistedProperties props;
    ASSERT_TRUE(ParsePersistedProperties(bytes.data(), bytes.size(), &props));
    CPersistedProperties fewer = props;
    fewer.values.pop_back();
    EXPECT_FALSE(IsDvrStreamShape(fewer));
    CPersistedProperties swapped = props;
    std::swap(swapped.values[2], swapped.values[3]);
    EXPECT_FALSE(IsDvrStreamShape(swapped));
}

namespace {

HRESULT LoadStream(IDispatch* pDecoder, const std::vector<BYTE>& bytes)
{
    ComPtr<IPersistStreamInit> persist;
    ComPtr<IStream> stream;
    HRESULT hr = pDecoder->QueryInterface(IID_PPV_ARGS(&persist));
    if (SUCCEEDED(hr))
        hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr))
        hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    LARGE_INTEGER zero = {};
    if (SUCCEEDED(hr))
        hr = stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return SUCCEEDED(hr) ? persist->Load(stream.Get()) : hr;
}

}  // namespace

TEST_F(Members, LoadTakesTheTemplatesStreamAndRefusesOthers)
{
    std::vector<BYTE> bytes = DefaultDvrStream();
    EXPECT_EQ(S_OK, LoadStream(Decoder(), bytes));

    std::vector<BYTE> cut(bytes.begin(), bytes.end() - 3);
    EXPECT_TRUE(FAILED(LoadStream(Decoder(), cut)));
    std::vector<BYTE> badType = bytes;
    badType[16] = VT_BSTR;  // the first value's type: a string where a long belongs
    EXPECT_TRUE(FAILED(LoadStream(Decoder(), badType)));
    std::vector<BYTE> nonzero = bytes;
    nonzero[0] = 1;
    EXPECT_TRUE(FAILED(LoadStream(Decoder(), nonzero)));
}
