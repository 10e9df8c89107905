// ActiveX hosting with a real control (the scripted decoder): creation from a
// template with its persisted stream, binding, events, run-time creation.
#include <gtest/gtest.h>
#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/exceptions.h"
#include "framework/olecontrol.h"
#include "tests/fakes/decoder_stream.h"
#include "tests/fakes/fake_decoder.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/test_support.h"

using fakes::FakeDecoder;

namespace {

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_TEST_HOSTED) {}
    COleControlWnd m_ctrl;
    std::vector<std::string> events;
    bool throwOnState = false;

    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TEST_CONTROL, m_ctrl); }
    void OnStateChange(long type, long value)
    {
        if (throwOnState) throw COleDispatchException("handler failed", 0, E_FAIL);
        events.push_back("state " + std::to_string(type) + " " + std::to_string(value));
    }
    void OnPositionChange(long ms) { events.push_back("position " + std::to_string(ms)); }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
    ON_EVENT(IDC_TEST_CONTROL, 1, OnStateChange)
    ON_EVENT(IDC_TEST_CONTROL, 2, OnPositionChange)
END_EVENTSINK_MAP()

class Hosting : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        ASSERT_EQ(S_OK, registration.Status());
        ASSERT_TRUE(dlg.Create(IDD_TEST_HOSTED, nullptr));
        fake = FakeDecoder::Last();
        ASSERT_TRUE(fake);
    }
    void TearDown() override
    {
        if (dlg.IsWindow()) dlg.DestroyWindow();
    }
    testing_support::ComScope com;
    fakes::FakeDecoderRegistration registration;
    CHostDlg dlg;
    FakeDecoder* fake = nullptr;
};

TEST_F(Hosting, TemplateControlGetsItsPersistedStreamByteForByte)
{
    EXPECT_EQ(std::vector<BYTE>(fakes::kDecoderPersistedStream,
                                fakes::kDecoderPersistedStream + DVR_PERSISTED_STREAM_SIZE),
              fake->PersistedStream());
}

TEST_F(Hosting, ControlStandsAtItsTemplatePlaceUnderItsId)
{
    HWND ctrl = dlg.GetDlgItem(IDC_TEST_CONTROL);
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(fake->Window(), ctrl);
    EXPECT_EQ(dlg.m_hWnd, GetParent(ctrl));
    EXPECT_EQ(ctrl, dlg.m_ctrl.m_hWnd) << "bound by data exchange";
    RECT expected = {4, 2, 124, 102};
    MapDialogRect(dlg.m_hWnd, &expected);
    RECT rc;
    GetWindowRect(ctrl, &rc);
    MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(expected.left, rc.left);
    EXPECT_EQ(expected.top, rc.top);
    EXPECT_EQ(expected.right, rc.right);
    EXPECT_EQ(expected.bottom, rc.bottom);
    EXPECT_TRUE(GetWindowLongPtrA(ctrl, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Hosting, BoundWrapperDrivesTheControl)
{
    fake->SetCameraMask(0x0003);
    long mask = 0;
    dlg.m_ctrl.InvokeHelper(DVR_CAMERA_MASK, DISPATCH_PROPERTYGET, VT_I4, &mask, VTS_NONE);
    EXPECT_EQ(0x0003, mask);
    dlg.m_ctrl.MoveWindow(0, 0, 200, 100);
    RECT rc;
    GetClientRect(fake->Window(), &rc);
    EXPECT_EQ(200, rc.right);
    EXPECT_EQ(100, rc.bottom);
}

TEST_F(Hosting, EventsReachTheEventTableWithTheirArguments)
{
    fake->FireStateChange(3, 7);
    fake->FirePositionChange(3723456);
    EXPECT_EQ((std::vector<std::string>{"state 3 7", "position 3723456"}), dlg.events);
}

TEST_F(Hosting, FailureInAnEventHandlerIsShown)
{
    CWinApp app("Host");
    testing_support::MessageBoxRecorder boxes;
    dlg.throwOnState = true;
    fake->FireStateChange(4, 0);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("handler failed", boxes.boxes[0].text);
    EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), boxes.boxes[0].type);
}

TEST_F(Hosting, DestroyingTheWindowLetsTheControlGo)
{
    EXPECT_EQ(1, FakeDecoder::LiveCount());
    dlg.DestroyWindow();
    EXPECT_EQ(0, FakeDecoder::LiveCount());
    long mask = 5;
    dlg.m_ctrl.InvokeHelper(DVR_CAMERA_MASK, DISPATCH_PROPERTYGET, VT_I4, &mask, VTS_NONE);
    EXPECT_EQ(0, mask) << "an unbound wrapper reads nothing";
}

TEST_F(Hosting, ControlCreatedAtRunTimeByClassId)
{
    COleControlWnd extra;
    RECT rc = {10, 10, 100, 30};
    ASSERT_TRUE(extra.CreateControl(CLSID_DvrControl, nullptr, WS_VISIBLE, rc, &dlg, 1008));
    EXPECT_EQ(2, FakeDecoder::LiveCount());
    FakeDecoder* second = FakeDecoder::Last();
    ASSERT_NE(fake, second);
    EXPECT_TRUE(second->PersistedStream().empty());
    EXPECT_EQ(extra.m_hWnd, dlg.GetDlgItem(1008));
    second->FirePositionChange(5);
    EXPECT_TRUE(dlg.events.empty()) << "no table entry for control 1008";
}

// A class nobody provides, here or in the registry.
const CLSID CLSID_Nobody = {0x5A0B1C2D, 0x3E4F, 0x4A5B, {0x9C, 0x8D, 0x7E, 0x6F, 0x50, 0x41, 0x32, 0x23}};

TEST(HostingFailure, UnknownClassIdIsRefusedAtRunTime)
{
    testing_support::ComScope com;
    AfxEnableControlContainer();
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CWnd owner;
    owner.SubclassWindow(parent);
    COleControlWnd ctrl;
    RECT rc = {0, 0, 10, 10};
    EXPECT_FALSE(ctrl.CreateControl(CLSID_Nobody, nullptr, WS_VISIBLE, rc, &owner, 5));
    EXPECT_EQ(nullptr, ctrl.m_hWnd);
    DestroyWindow(parent);
}

}  // namespace
