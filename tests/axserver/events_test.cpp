// The connection point: sinks, firing, and the thread events are fired on.
#include <thread>
#include "tests/axserver/com_fixture.h"
#include "tests/support/test_calls.h"
#include "tests/support/test_sink.h"

using fakes::FakeDecoder;

namespace {

class Events : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_decoder = CreateDecoder(&m_pFake);
        ComPtr<IConnectionPointContainer> container;
        m_decoder.As(&container);
        ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID_DvrControlEvents, &m_point));
    }
    void TearDown() override
    {
        m_point.Reset();
        m_decoder.Reset();
        ComTest::TearDown();
    }

    DWORD Advise(CTestSink& sink)
    {
        DWORD dwCookie = 0;
        EXPECT_EQ(S_OK, m_point->Advise(&sink, &dwCookie));
        return dwCookie;
    }

    // Declared m_sink: the control, released in TearDown, must not outlive them.
    CTestSink m_sink, m_other;
    ComPtr<IDispatch> m_decoder;
    FakeDecoder* m_pFake = nullptr;
    ComPtr<IConnectionPoint> m_point;
};

}  // namespace

TEST_F(Events, OnlyTheEventInterfaceHasAConnectionPoint)
{
    ComPtr<IConnectionPointContainer> container;
    m_decoder.As(&container);
    ComPtr<IConnectionPoint> other;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDispatch, &other));

    IID iid = GUID_NULL;
    EXPECT_EQ(S_OK, m_point->GetConnectionInterface(&iid));
    EXPECT_EQ(DIID_DvrControlEvents, iid);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(&points));
    IConnectionPoint* found[2] = {};
    ULONG nFetched = 0;
    EXPECT_EQ(S_FALSE, points->Next(2, found, &nFetched));
    ASSERT_EQ(1u, nFetched);
    EXPECT_EQ(m_point.Get(), found[0]);
    found[0]->Release();
}

TEST_F(Events, SinkReceivesBothEventsWithTheirArgumentsInOrder)
{
    Advise(m_sink);
    EXPECT_EQ(S_OK, m_pFake->FireStateChange(DVR_STATE_END_OF_FILE, 7));
    EXPECT_EQ(S_OK, m_pFake->FirePositionChange(123456));

    ASSERT_EQ(2u, m_sink.events.size());
    EXPECT_EQ(DVR_EVENT_STATE_CHANGE, m_sink.events[0].dispid);
    EXPECT_EQ((std::vector<LONG>{DVR_STATE_END_OF_FILE, 7}), m_sink.events[0].args);
    EXPECT_EQ(DVR_EVENT_POSITION_CHANGE, m_sink.events[1].dispid);
    EXPECT_EQ(std::vector<LONG>{123456}, m_sink.events[1].args);
}

TEST_F(Events, EverySinkIsCalledAndUnadviseStopsOnlyThatOne)
{
    DWORD dwFirst = Advise(m_sink);
    DWORD dwSecond = Advise(m_other);
    EXPECT_NE(dwFirst, dwSecond);
    m_pFake->FirePositionChange(1);

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(S_OK, m_point->EnumConnections(&connections));
    CONNECTDATA data[3] = {};
    ULONG nFetched = 0;
    connections->Next(3, data, &nFetched);
    EXPECT_EQ(2u, nFetched);
    for (ULONG i = 0; i < nFetched; ++i)
        data[i].pUnk->Release();
    connections.Reset();  // its snapshot holds the sinks too

    EXPECT_EQ(S_OK, m_point->Unadvise(dwFirst));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, m_point->Unadvise(dwFirst));
    m_pFake->FirePositionChange(2);
    EXPECT_EQ(1u, m_sink.events.size());
    EXPECT_EQ(2u, m_other.events.size());
    EXPECT_EQ(0u, m_sink.RefCount());  // the control let go of it

    m_point->Unadvise(dwSecond);
}

TEST_F(Events, ASinkThatUnadvisesFromItsHandlerDoesNotCutOthersOff)
{
    CTestSink& quitter = m_sink;
    CTestSink& stayer = m_other;
    DWORD dwQuitter = Advise(quitter);
    Advise(stayer);
    quitter.onEvent = [&] { m_point->Unadvise(dwQuitter); };
    m_pFake->FireStateChange(1, 0);
    m_pFake->FireStateChange(1, 1);
    EXPECT_EQ(1u, quitter.events.size());
    EXPECT_EQ(2u, stayer.events.size());
}

TEST_F(Events, FrozenEventsAreDropped)
{
    Advise(m_sink);
    ComPtr<IOleControl> control;
    m_decoder.As(&control);
    control->FreezeEvents(TRUE);
    EXPECT_EQ(S_FALSE, m_pFake->FirePositionChange(5));
    control->FreezeEvents(FALSE);
    EXPECT_EQ(S_OK, m_pFake->FirePositionChange(6));
    ASSERT_EQ(1u, m_sink.events.size());
    EXPECT_EQ(6, m_sink.events[0].args[0]);
}

TEST_F(Events, AnEventCanBeFiredFromInsideACall)
{
    Advise(m_sink);
    m_pFake->OnCall(DVR_STOP, [](FakeDecoder& fake) { fake.FireStateChange(DVR_STATE_END_OF_FILE, 0); });
    EXPECT_EQ(0u, m_sink.events.size());
    EXPECT_EQ(S_OK, CallMethod(m_decoder.Get(), DVR_STOP));
    ASSERT_EQ(1u, m_sink.events.size());
    EXPECT_EQ(DVR_STATE_END_OF_FILE, m_sink.events[0].args[0]);
}

TEST_F(Events, WorkerThreadEventsArriveOnTheCreatingThreadWhenItPumps)
{
    Advise(m_sink);
    m_pFake->FireStateChangeFromWorker(DVR_STATE_PAUSE_CLICK, 9);
    EXPECT_EQ(0u, m_sink.events.size());  // not before the creating thread runs its queue
    PumpMessages();
    ASSERT_EQ(1u, m_sink.events.size());
    EXPECT_EQ(GetCurrentThreadId(), m_sink.events[0].dwThreadId);
    EXPECT_EQ((std::vector<LONG>{DVR_STATE_PAUSE_CLICK, 9}), m_sink.events[0].args);
}

TEST_F(Events, FiringFromAnotherThreadIsRefused)
{
    Advise(m_sink);
    HRESULT hr = S_OK;
    std::thread worker([&] { hr = m_pFake->FirePositionChange(1); });
    worker.join();
    EXPECT_EQ(RPC_E_WRONG_THREAD, hr);
    EXPECT_TRUE(m_sink.events.empty());
}

TEST_F(Events, ReleasingTheControlLetsGoOfItsSinks)
{
    Advise(m_sink);
    EXPECT_EQ(1u, m_sink.RefCount());
    m_point.Reset();
    m_decoder.Reset();
    EXPECT_EQ(0u, m_sink.RefCount());
}
