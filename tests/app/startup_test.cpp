// Start-up: the decoder probe, the command line, and the video window's run.
#include <gtest/gtest.h>
#include "app/player_app.h"
#include "host/video_dlg.h"
#include "tests/fakes/fake_decoder.h"
#include "tests/support/test_support.h"

namespace {

// What the running program looked like, seen from inside its modal run.
struct Seen {
    bool ran = false;
    std::string path;
    int liveDecoders = -1;
    bool panelUp = false;
    size_t boxesBefore = 0;  // message boxes shown before the window ran
};
Seen* g_seen = nullptr;
const testing_support::MessageBoxRecorder* g_boxes = nullptr;

const char kNwvPrompt[] =
    "Vorplex.exe is not default player for .nwv files.\nDo you want Vorplex.exe be your default player?";

VOID CALLBACK LookThenClose(HWND, UINT, UINT_PTR id, DWORD)
{
    CWinApp* app = AfxGetApp();
    CVideoDlg* video = app ? static_cast<CVideoDlg*>(app->m_pMainWnd) : nullptr;
    if (!video || !video->IsWindow()) return;
    KillTimer(nullptr, id);
    g_seen->ran = true;
    g_seen->path = video->CommandLinePath();
    g_seen->liveDecoders = fakes::FakeDecoder::LiveCount();
    g_seen->panelUp = video->Panel().IsWindow();
    g_seen->boxesBefore = g_boxes->boxes.size();
    PostMessageA(video->m_hWnd, WM_CLOSE, 0, 0);
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.InitFromProcess(GetModuleHandleA(nullptr), "Vorplex.exe");
        g_seen = &seen;
        g_boxes = &boxes;
    }
    void TearDown() override
    {
        g_seen = nullptr;
        g_boxes = nullptr;
    }
    BOOL Run(const char* commandLine)
    {
        app.InitFromProcess(GetModuleHandleA(nullptr), commandLine);
        SetTimer(nullptr, 0, 50, &LookThenClose);
        return app.InitInstance();
    }
    CPlayerApp app;
    // No to the association offer: this test program is never the registered
    // player, so it is offered ".nwv" at every start, and declining writes nothing.
    testing_support::MessageBoxRecorder boxes{IDNO};
    testing_support::OpenFileAnswer openFile;  // the panel asks for a file at start: cancelled
    Seen seen;
};

// A decoder that cannot be made, whatever the prefix has registered: a class
// object registered in the process comes before the registry.
class RefusingFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

class StartupWithoutDecoder : public Startup {
protected:
    void SetUp() override
    {
        Startup::SetUp();
        ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_DvrControl, &refusing, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &cookie));
    }
    void TearDown() override
    {
        if (cookie) CoRevokeClassObject(cookie);
        Startup::TearDown();
    }
    testing_support::ComScope com;
    RefusingFactory refusing;
    DWORD cookie = 0;
};

TEST_F(StartupWithoutDecoder, MissingDecoderIsTheFirstAndOnlyThingShown)
{
    EXPECT_FALSE(Run("Vorplex.exe \"C:\\a.d01\""));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Unable to start Vorplex.exe, reason:\nDVR Control is not registered", boxes.boxes[0].text);
    EXPECT_EQ(UINT(MB_OK | MB_ICONHAND), boxes.boxes[0].type);
    EXPECT_EQ(std::string(app.m_pszAppName), boxes.boxes[0].caption);
    EXPECT_FALSE(seen.ran) << "no video window without the decoder";

    // Start-up's COM went with it, early return and all: the test's own is the only one left.
    CoRevokeClassObject(cookie);
    cookie = 0;
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitialize(nullptr)) << "start-up left COM initialised";
}

class StartupWithDecoder : public Startup {
protected:
    testing_support::ComScope com;  // for the registration; start-up takes its own
    fakes::FakeDecoderRegistration registration;
};

TEST_F(StartupWithDecoder, ProbeIsReleasedAndTheVideoWindowRunsUntilClosed)
{
    const int created = fakes::FakeDecoder::CreatedCount();
    EXPECT_FALSE(Run("Vorplex.exe"));
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(1, seen.liveDecoders) << "the probed instance is gone, the hosted one lives";
    EXPECT_EQ(2, fakes::FakeDecoder::CreatedCount() - created);
    EXPECT_TRUE(seen.panelUp);
    EXPECT_EQ("", seen.path);
    EXPECT_EQ(0, fakes::FakeDecoder::LiveCount());
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

TEST_F(StartupWithDecoder, AssociationIsOfferedAfterTheProbeAndBeforeTheVideoWindow)
{
    EXPECT_FALSE(Run("Vorplex.exe"));
    ASSERT_TRUE(seen.ran);
    ASSERT_EQ(1u, boxes.boxes.size()) << "No ends the offer";
    EXPECT_EQ(1u, seen.boxesBefore);
    EXPECT_EQ(kNwvPrompt, boxes.boxes[0].text);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), boxes.boxes[0].type);
    EXPECT_EQ(std::string(app.m_pszAppName), boxes.boxes[0].caption);
}

TEST_F(StartupWithDecoder, CommandLineIsCopiedWholeQuotesAndBlanksIncluded)
{
    EXPECT_FALSE(Run("\"C:\\Program Files\\Vorplex\\Vorplex.exe\" \"D:\\cams\\front door.d01\""));
    EXPECT_EQ("\"D:\\cams\\front door.d01\"", seen.path);
    EXPECT_FALSE(Run("Vorplex.exe D:\\cams\\front door.d01"));
    EXPECT_EQ("D:\\cams\\front door.d01", seen.path);
}

TEST_F(StartupWithDecoder, CommandLineLongerThanTheWindowTakesIsRefused)
{
    std::string commandLine = "Vorplex.exe C:\\" + std::string(400, 'x') + ".d01";
    EXPECT_FALSE(Run(commandLine.c_str()));
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ("", seen.path) << "never a shortened path";
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_EQ(kNwvPrompt, boxes.boxes[0].text);
    EXPECT_NE(std::string::npos, boxes.boxes[1].text.find("too long"));
}

}  // namespace
