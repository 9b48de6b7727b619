// The button event server stand-in, reached as the program reaches it: activation by COM in its
// own process, calls through its proxy/stub DLL.
#include "EventServerProbe.h"

#include "ButtonEventServer.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

namespace {

const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
const WCHAR kClient[] = L"0DE36330-EF33-11D1-8BC5-00805F95B7B7";

class Sink : public IButtonEvents
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IButtonEvents) return *out = nullptr, E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP OnNotify1(LONG value) override { return last1 = value, answer; }
    STDMETHODIMP OnNotify2(LONG value) override { return last2 = value, answer; }
    LONG refs = 0, last1 = 0, last2 = 0;
    HRESULT answer = S_OK;
};

class EventServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        ASSERT_EQ(::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                                     IID_IButtonEventServer, reinterpret_cast<void**>(&server)),
                  S_OK);
        probe = new CEventServerProbe;
        ASSERT_TRUE(probe->IsConnected());
        probe->Reset();
    }
    void TearDown() override
    {
        if (probe) probe->Reset();
        delete probe;
        if (server) server->Release();
        ::CoUninitialize();
    }
    // The button event connection point, or null when the server refuses a step.
    IConnectionPoint* FindPoint()
    {
        IConnectionPointContainer* container = nullptr;
        if (FAILED(server->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(&container))))
            return nullptr;
        IConnectionPoint* point = nullptr;
        container->FindConnectionPoint(IID_IButtonEvents, &point);
        container->Release();
        return point;
    }

    IButtonEventServer* server = nullptr;
    CEventServerProbe* probe = nullptr;
};

} // namespace

TEST_F(EventServerTest, SubscribeRegisterNotifyAndTearDown)
{
    IConnectionPoint* point = FindPoint();
    ASSERT_NE(point, nullptr);
    Sink sinks[2];
    DWORD cookies[2] = {};
    ASSERT_EQ(point->Advise(&sinks[0], &cookies[0]), S_OK);
    ASSERT_EQ(point->Advise(&sinks[1], &cookies[1]), S_OK);
    EXPECT_NE(cookies[0], cookies[1]);

    // 49 single registrations under the first cookie, one under the second.
    for (LONG id = 101; id < 150; ++id) {
        const LONG mode = 3;
        ASSERT_EQ(server->RegisterButtonClient(kClient, &id, &mode, 1, LONG(cookies[0])), S_OK);
    }
    const LONG ids[2] = {501, 502}, modes[2] = {3, 4};
    EXPECT_EQ(server->RegisterButtonClient(L"other", ids, modes, 2, LONG(cookies[1])), S_OK);

    EventServerCounts counts = probe->Counts();
    EXPECT_EQ(counts.registrations, 51);
    EXPECT_EQ(counts.connections, 2);
    EXPECT_EQ(counts.registerCalls, 50);
    const EventServerRegistration first = probe->Registration(0);
    EXPECT_EQ(first.id, 101);
    EXPECT_EQ(first.mode, 3);
    EXPECT_EQ(first.cookie, LONG(cookies[0]));
    EXPECT_EQ(first.client, kClient);
    EXPECT_EQ(probe->Registration(50).mode, 4);
    EXPECT_EQ(probe->Registration(51).client, L"");

    // Notifications come back into this apartment while the outgoing call waits.
    LONG notified = 0;
    EXPECT_EQ(probe->Notify(1, 42, &notified), S_OK);
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(sinks[0].last1, 42);
    EXPECT_EQ(sinks[1].last1, 42);
    sinks[1].answer = E_FAIL;
    EXPECT_EQ(probe->Notify(2, 7, &notified), E_FAIL);
    EXPECT_EQ(sinks[0].last2, 7);
    EXPECT_EQ(probe->Notify(3, 7, &notified), E_INVALIDARG);

    EXPECT_EQ(server->UnregisterButtonClient(LONG(cookies[0])), S_OK);
    EXPECT_EQ(server->UnregisterButtonClient(LONG(cookies[0])), S_FALSE);
    EXPECT_EQ(probe->Counts().registrations, 2);
    EXPECT_EQ(point->Unadvise(cookies[0]), S_OK);
    EXPECT_EQ(point->Unadvise(cookies[0]), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sinks[0].refs, 0) << "every reference to the sink is given back";

    // A reset forgets the rest, as it does for clients that ended without unregistering.
    probe->Reset();
    counts = probe->Counts();
    EXPECT_EQ(counts.registrations, 0);
    EXPECT_EQ(counts.connections, 0);
    EXPECT_EQ(sinks[1].refs, 0);
    point->Release();
}

TEST_F(EventServerTest, AServerThatDiesFailsItsCallerFast)
{
    IButtonEventServer* doomed = nullptr;
    ASSERT_EQ(::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                                 IID_IButtonEventServer, reinterpret_cast<void**>(&doomed)),
              S_OK);
    {
        CEventServerFaults faults(L"die=301");
        const LONG id = 301, mode = 3;
        const DWORD dwStart = ::GetTickCount();
        EXPECT_TRUE(FAILED(doomed->RegisterButtonClient(kClient, &id, &mode, 1, 1)));
        EXPECT_TRUE(FAILED(doomed->UnregisterButtonClient(1)));
        EXPECT_LT(::GetTickCount() - dwStart, 5000u);
    }
    doomed->Release();
    // A new start of the server serves new clients from a clean state.
    delete probe;
    probe = new CEventServerProbe;
    ASSERT_TRUE(probe->IsConnected());
    EXPECT_EQ(probe->Counts().registrations, 0);
}
