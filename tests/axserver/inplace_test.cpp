// In-place activation in a minimal container: the control's window, where it is,
// and who destroys it.
#include "tests/axserver/com_fixture.h"
#include "tests/support/test_sink.h"
#include "tests/support/test_site.h"

using fakes::FakeDecoder;

namespace {

const RECT kPos = {2, 0, 338, 200};

class InPlace : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_hwndParent = CreateWindowExA(0, "STATIC", "container", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                       300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hwndParent);
        m_site = std::make_unique<CTestSite>(m_hwndParent, kPos);
        CreateDecoder(&m_pFake).As(&m_object);
        ASSERT_EQ(S_OK, m_object->SetClientSite(m_site.get()));
    }
    void TearDown() override
    {
        if (m_object) {
            m_object->Close(OLECLOSE_NOSAVE);
            m_object->SetClientSite(nullptr);
            m_object.Reset();
        }
        if (IsWindow(m_hwndParent))
            DestroyWindow(m_hwndParent);
        EXPECT_EQ(0u, m_site->RefCount());  // the control let go of its sites
        ComTest::TearDown();
    }

    HRESULT Activate(LONG verb = OLEIVERB_INPLACEACTIVATE)
    {
        return m_object->DoVerb(verb, nullptr, m_site.get(), 0, m_hwndParent, &kPos);
    }
    RECT ChildRect(HWND hwnd)
    {
        RECT rc = {};
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(HWND_DESKTOP, m_hwndParent, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    HWND m_hwndParent = nullptr;
    std::unique_ptr<CTestSite> m_site;
    ComPtr<IOleObject> m_object;
    FakeDecoder* m_pFake = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST_F(InPlace, ActivationCreatesAVisibleChildAtTheSitesPosition)
{
    ASSERT_EQ(S_OK, Activate());
    HWND hwnd = m_pFake->Window();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(m_hwndParent, GetParent(hwnd));
    EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(SameRect(kPos, ChildRect(hwnd)));
    EXPECT_TRUE(SameRect(kPos, m_pFake->PositionRect()));
    EXPECT_EQ(1, m_site->nInPlaceActivate);

    ComPtr<IOleInPlaceObject> inplace;
    m_object.As(&inplace);
    HWND hwndReported = nullptr;
    EXPECT_EQ(S_OK, inplace->GetWindow(&hwndReported));
    EXPECT_EQ(hwnd, hwndReported);

    ASSERT_EQ(S_OK, Activate(OLEIVERB_SHOW));  // again: the same window
    EXPECT_EQ(hwnd, m_pFake->Window());
    EXPECT_EQ(1, m_site->nInPlaceActivate);
}

TEST_F(InPlace, ObjectRectsAndDirectMovesAreFollowed)
{
    ASSERT_EQ(S_OK, Activate());
    ComPtr<IOleInPlaceObject> inplace;
    m_object.As(&inplace);
    const RECT moved = {10, 20, 110, 95};
    EXPECT_EQ(S_OK, inplace->SetObjectRects(&moved, &moved));
    EXPECT_TRUE(SameRect(moved, ChildRect(m_pFake->Window())));
    EXPECT_TRUE(SameRect(moved, m_pFake->PositionRect()));

    // The host may also move the window itself, as a dialog does on resize.
    MoveWindow(m_pFake->Window(), 0, 0, 320, 240, TRUE);
    const RECT byHost = {0, 0, 320, 240};
    EXPECT_TRUE(SameRect(byHost, m_pFake->PositionRect()));
}

TEST_F(InPlace, DeactivationDestroysTheWindowAndTellsTheSite)
{
    ASSERT_EQ(S_OK, Activate(OLEIVERB_UIACTIVATE));
    EXPECT_EQ(1, m_site->nUIActivate);
    HWND hwnd = m_pFake->Window();
    ComPtr<IOleInPlaceObject> inplace;
    m_object.As(&inplace);
    EXPECT_EQ(S_OK, inplace->InPlaceDeactivate());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, m_pFake->Window());
    EXPECT_EQ(1, m_site->nUIDeactivate);
    EXPECT_EQ(1, m_site->nInPlaceDeactivate);
    HWND hwndReported = reinterpret_cast<HWND>(1);
    EXPECT_EQ(E_FAIL, inplace->GetWindow(&hwndReported));
    EXPECT_EQ(nullptr, hwndReported);
}

TEST_F(InPlace, ParentDestroyedFirstThenCloseAndReleaseAreSafe)
{
    ASSERT_EQ(S_OK, Activate());
    HWND hwnd = m_pFake->Window();
    DestroyWindow(m_hwndParent);  // the dialog goes, taking its children
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, m_pFake->Window());

    ComPtr<IOleInPlaceObject> inplace;
    m_object.As(&inplace);
    const RECT moved = {0, 0, 50, 50};
    EXPECT_EQ(S_OK, inplace->SetObjectRects(&moved, &moved));
    inplace.Reset();
    EXPECT_EQ(S_OK, m_object->Close(OLECLOSE_NOSAVE));
    EXPECT_EQ(1, m_site->nInPlaceDeactivate);
    m_object->SetClientSite(nullptr);
    m_object.Reset();
    EXPECT_EQ(0, FakeDecoder::LiveCount());
}

TEST_F(InPlace, ReleasedWhileActiveTheControlTakesItsWindowAlong)
{
    // A careless container that never closes must not leave a window behind.
    ASSERT_EQ(S_OK, Activate());
    HWND hwnd = m_pFake->Window();
    m_object->SetClientSite(nullptr);
    m_object.Reset();
    EXPECT_EQ(0, FakeDecoder::LiveCount());
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(InPlace, WithoutAnInPlaceSiteActivationFails)
{
    m_object->SetClientSite(nullptr);
    EXPECT_TRUE(FAILED(m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                        m_hwndParent, &kPos)));
    EXPECT_EQ(nullptr, m_pFake->Window());
}

TEST_F(InPlace, AClickOnThePictureAsksForAPause)
{
    ASSERT_EQ(S_OK, Activate());
    ComPtr<IConnectionPointContainer> container;
    m_object.As(&container);
    ComPtr<IConnectionPoint> point;
    container->FindConnectionPoint(DIID_DvrControlEvents, &point);
    CTestSink sink;
    DWORD dwCookie = 0;
    point->Advise(&sink, &dwCookie);

    SendMessageA(m_pFake->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(1, m_pFake->Clicks());
    ASSERT_EQ(1u, sink.events.size());
    EXPECT_EQ((std::vector<LONG>{DVR_STATE_PAUSE_CLICK, 0}), sink.events[0].args);
    point->Unadvise(dwCookie);
}

TEST_F(InPlace, ControlsComingAndGoingKeepTheirWindowClassUsable)
{
    ASSERT_EQ(S_OK, Activate());
    // A second control, alive while the first one goes.
    CTestSite otherSite(m_hwndParent, kPos);
    FakeDecoder* pOther = nullptr;
    ComPtr<IOleObject> other;
    CreateDecoder(&pOther).As(&other);
    other->SetClientSite(&otherSite);
    ASSERT_EQ(S_OK, other->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &otherSite, 0, m_hwndParent, &kPos));
    m_object->Close(OLECLOSE_NOSAVE);
    m_object->SetClientSite(nullptr);
    m_object.Reset();
    SendMessageA(pOther->Window(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(1, pOther->Clicks());

    // The last one gone, a new control registers the class again.
    other->Close(OLECLOSE_NOSAVE);
    other->SetClientSite(nullptr);
    other.Reset();
    CreateDecoder(&m_pFake).As(&m_object);
    m_object->SetClientSite(m_site.get());
    ASSERT_EQ(S_OK, Activate());
    EXPECT_TRUE(IsWindow(m_pFake->Window()));
}
