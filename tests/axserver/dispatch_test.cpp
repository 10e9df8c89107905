// The fake's members through IDispatch::Invoke: the log, the strict shapes, the
// scripted values and the failures it injects.
#include "tests/axserver/com_fixture.h"
#include "owners/bstr.h"
#include "tests/support/test_calls.h"

using fakes::FakeDecoder;

namespace {

class Dispatch : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_decoder = CreateDecoder(&m_pFake);
        ASSERT_NE(nullptr, m_pFake);
    }
    void TearDown() override
    {
        m_decoder.Reset();
        ComTest::TearDown();
    }

    IDispatch* D() { return m_decoder.Get(); }
    std::vector<std::string> Calls() { return m_pFake->Calls(); }

    ComPtr<IDispatch> m_decoder;
    FakeDecoder* m_pFake = nullptr;
};

}  // namespace

TEST_F(Dispatch, EveryMemberIsLoggedInTheContractsNames)
{
    CScopedBstr bstr;
    LONG n = 0;
    EXPECT_EQ(S_OK, PutLong(D(), DVR_SPEED, -8));
    EXPECT_EQ(S_OK, GetLong(D(), DVR_CAMERA_MASK, &n));
    EXPECT_EQ(S_OK, PutLong(D(), DVR_OPEN_MODE, 1));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_PAUSE));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_STOP));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_PLAY));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_PLAY_AGAIN));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_STEP));
    EXPECT_EQ(S_OK, CallMethodLong(D(), DVR_SELECT_SOURCE, 5));
    EXPECT_EQ(S_OK, PutString(D(), DVR_FILE_NAME, L"C:\\x.d01"));
    EXPECT_EQ(S_OK, PutLong(D(), DVR_START_OFFSET, 0));
    for (DISPID id : {DVR_SOURCE_EVENTS, DVR_MOTION_EVENTS, DVR_GPI_EVENTS, DVR_START_TIME}) {
        EXPECT_EQ(S_OK, CallOutString(D(), id, bstr.Out()));
    }
    EXPECT_EQ(S_OK, GetLong(D(), DVR_VIEW_SPLIT, &n));
    EXPECT_EQ(S_OK, PutLong(D(), DVR_VIEW_SPLIT, 16));
    EXPECT_EQ(S_OK, GetLong(D(), DVR_VIEW_GROUP, &n));
    EXPECT_EQ(S_OK, PutLong(D(), DVR_VIEW_GROUP, 2));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, CallMethod(D(), 99));

    EXPECT_EQ((std::vector<std::string>{
                  "SetSpeed(-8)", "GetCameraMask", "SetOpenMode(1)", "Pause", "Stop", "Play",
                  "PlayAgain", "Step", "SelectSource(5)", "SetFileName(C:\\x.d01)",
                  "SetStartOffset(0)", "GetSourceEvents", "GetMotionEvents", "GetGpiEvents",
                  "GetStartTime", "GetViewSplit", "SetViewSplit(16)", "GetViewGroup",
                  "SetViewGroup(2)", "dispid 99"}),
              Calls());
    m_pFake->ClearCalls();
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Dispatch, CallsLeaveTheirValuesAndGetsReadWhatWasPut)
{
    PutLong(D(), DVR_SPEED, -2);
    PutLong(D(), DVR_START_OFFSET, 90000);
    CallMethodLong(D(), DVR_SELECT_SOURCE, -1);
    PutString(D(), DVR_FILE_NAME, L"C:\\rec\\a.nwv");
    EXPECT_EQ(-2, m_pFake->Speed());
    EXPECT_EQ(90000, m_pFake->StartOffset());
    EXPECT_EQ(-1, m_pFake->SelectedSource());
    EXPECT_EQ("C:\\rec\\a.nwv", m_pFake->FileName());

    LONG n = 0;
    EXPECT_EQ(S_OK, GetLong(D(), DVR_VIEW_SPLIT, &n));
    EXPECT_EQ(16, n);
    EXPECT_EQ(S_OK, GetLong(D(), DVR_CAMERA_MASK, &n));
    EXPECT_EQ(0x0001, n);
    PutLong(D(), DVR_VIEW_SPLIT, 4);
    PutLong(D(), DVR_VIEW_GROUP, -1);
    m_pFake->SetCameraMask(0xFFFF);
    GetLong(D(), DVR_VIEW_SPLIT, &n);
    EXPECT_EQ(4, n);
    GetLong(D(), DVR_VIEW_GROUP, &n);
    EXPECT_EQ(-1, n);
    GetLong(D(), DVR_CAMERA_MASK, &n);
    EXPECT_EQ(0xFFFF, n);
}

TEST_F(Dispatch, OutStringsCarryTheScriptedBytesExactlyOrNull)
{
    BSTR unset = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(S_OK, CallOutString(D(), DVR_SOURCE_EVENTS, &unset));
    EXPECT_EQ(nullptr, unset);  // the default
    CScopedBstr bstr;

    const std::vector<BYTE> block = {0x01, 0x00, 0x00, 0xFF, 0x7F};  // odd length, zeros inside
    m_pFake->SetEventBlock(DVR_MOTION_EVENTS, block);
    ASSERT_EQ(S_OK, CallOutString(D(), DVR_MOTION_EVENTS, bstr.Out()));
    ASSERT_NE(nullptr, bstr.Get());
    EXPECT_EQ(block.size(), SysStringByteLen(bstr));
    EXPECT_EQ(0, memcmp(block.data(), bstr, block.size()));

    m_pFake->SetStartTime(L"2024-03-01\t12:34:56.789");
    ASSERT_EQ(S_OK, CallOutString(D(), DVR_START_TIME, bstr.Out()));
    EXPECT_STREQ(L"2024-03-01\t12:34:56.789", bstr);
    m_pFake->SetStartTime(nullptr);
    CallOutString(D(), DVR_START_TIME, bstr.Out());
    EXPECT_EQ(nullptr, bstr.Get());
}

TEST_F(Dispatch, AWrongKindCountOrTypeIsAnErrorAndLogged)
{
    CallResult r = Call(D(), DVR_SPEED, DISPATCH_PROPERTYPUT, {ShortArg(-8)}, true);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, r.hr);
    EXPECT_EQ(0u, r.uArgErr);

    r = Call(D(), DVR_STOP, DISPATCH_PROPERTYGET);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, r.hr);
    r = Call(D(), DVR_CAMERA_MASK, DISPATCH_METHOD);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, r.hr);
    r = Call(D(), DVR_SPEED, DISPATCH_METHOD, {LongArg(1)});
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, r.hr);

    r = Call(D(), DVR_PLAY, DISPATCH_METHOD, {LongArg(1)});
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, r.hr);
    r = Call(D(), DVR_SELECT_SOURCE, DISPATCH_METHOD);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, r.hr);
    r = Call(D(), DVR_VIEW_SPLIT, DISPATCH_PROPERTYPUT, {LongArg(4)}, false);
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, r.hr);

    const CScopedBstr bstr(SysAllocString(L"x"));
    r = Call(D(), DVR_SOURCE_EVENTS, DISPATCH_METHOD, {BstrArg(bstr)});  // not by reference
    EXPECT_EQ(DISP_E_TYPEMISMATCH, r.hr);
    r = Call(D(), DVR_FILE_NAME, DISPATCH_PROPERTYPUT, {LongArg(1)}, true);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, r.hr);

    EXPECT_EQ((std::vector<std::string>{
                  "SetSpeed: type mismatch", "Stop: wrong kind", "GetCameraMask: wrong kind",
                  "SetSpeed: wrong kind", "Play: bad parameter count",
                  "SelectSource: bad parameter count", "SetViewSplit: parameter not found",
                  "GetSourceEvents: type mismatch", "SetFileName: type mismatch"}),
              Calls());
    EXPECT_EQ(16, m_pFake->ViewSplit());  // nothing was applied
}

TEST_F(Dispatch, CallsNamingAnInterfaceAreRefused)
{
    DISPPARAMS none = {};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              D()->Invoke(DVR_STOP, IID_IDvrControl, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Dispatch, RaiseOnFillsTheErrorInformationAndSkipsTheEffect)
{
    m_pFake->RaiseOn(DVR_FILE_NAME, L"The file is missing.");
    VARIANT v = BstrArg(SysAllocString(L"C:\\gone.d01"));
    CallResult r = Call(D(), DVR_FILE_NAME, DISPATCH_PROPERTYPUT, {v}, true);
    VariantClear(&v);
    EXPECT_EQ(DISP_E_EXCEPTION, r.hr);
    EXPECT_STREQ(L"The file is missing.", r.excep.bstrDescription);
    EXPECT_NE(nullptr, r.excep.bstrSource);
    EXPECT_TRUE(FAILED(r.excep.scode));
    EXPECT_EQ(0, r.excep.wCode);  // only one of the two codes may be set
    FreeCallResult(r);
    EXPECT_EQ(std::vector<std::string>{"SetFileName(C:\\gone.d01)"}, Calls());
    EXPECT_EQ("", m_pFake->FileName());
}

TEST_F(Dispatch, FailOnTheNthCallFailsOnlyThatOneUntilCleared)
{
    m_pFake->FailOn(DVR_STOP, E_FAIL, 2);
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_STOP));
    EXPECT_EQ(E_FAIL, CallMethod(D(), DVR_STOP));
    EXPECT_EQ(S_OK, CallMethod(D(), DVR_STOP));

    m_pFake->FailOn(DVR_SPEED, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, PutLong(D(), DVR_SPEED, 2));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, PutLong(D(), DVR_SPEED, 2));
    EXPECT_EQ(0, m_pFake->Speed());
    m_pFake->ClearFailures();
    EXPECT_EQ(S_OK, PutLong(D(), DVR_SPEED, 2));
    EXPECT_EQ(2, m_pFake->Speed());
}
