// The frame's button listeners against the real event server stand-in, started by COM.
#include "EventServerProbe.h"
#include "Undo.h"
#include "app/ButtonConfigApp.h"
#include "app/ButtonEventSink.h"
#include "app/MainFrame.h"

#include <gtest/gtest.h>
#include <set>

namespace {

const WCHAR kClient[] = L"0DE36330-EF33-11D1-8BC5-00805F95B7B7";

class ListenerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        m_pProbe = new CEventServerProbe;
        ASSERT_TRUE(m_pProbe->IsConnected()) << "the event server is not registered";
        m_pProbe->Reset();
    }
    void TearDown() override
    {
        if (m_pFrame) {
            MSG msg;
            ::PeekMessageW(&msg, m_pFrame->m_hWnd, WM_USER, WM_USER, PM_REMOVE);
            m_pFrame->DestroyWindow();
        }
        m_app.m_pButtonServer.Release();
        if (m_pProbe) m_pProbe->Reset();
        delete m_pProbe;
        ::CoUninitialize();
    }
    // The application connects to the server as start-up does, then the frame subscribes.
    void Attach()
    {
        ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                           IID_IButtonEventServer, m_app.m_pButtonServer.Out());
        m_pFrame = new CMainFrame;
        m_pFrame->AttachListeners();
    }
    // The ids whose listeners hold a sink.
    std::set<LONG> Subscribed() const
    {
        std::set<LONG> ids;
        for (INT_PTR i = 0; i < m_pFrame->m_listeners.GetSize(); i++)
            if (m_pFrame->m_listeners[i]->m_pSink)
                ids.insert(m_pFrame->m_listeners[i]->GetButtonId());
        return ids;
    }

    CButtonConfigApp m_app;
    CMainFrame* m_pFrame = nullptr;
    CEventServerProbe* m_pProbe = nullptr;
};

} // namespace

TEST_F(ListenerTest, FortyNineListenersRegisterAndAllGoAtTeardown)
{
    Attach();
    ASSERT_NE(m_app.m_pButtonServer, nullptr);
    ASSERT_EQ(m_pFrame->m_listeners.GetSize(), 49);

    std::vector<LONG> expected;
    for (LONG nFirst : {101, 201, 301, 401, 501}) {
        const LONG nCount = nFirst == 101 || nFirst == 301 ? 8
                            : nFirst == 201                ? 18
                            : nFirst == 401                ? 10
                                                           : 5;
        for (LONG n = nFirst; n < nFirst + nCount; n++)
            expected.push_back(n);
    }
    EventServerCounts counts = m_pProbe->Counts();
    EXPECT_EQ(counts.registrations, 49);
    EXPECT_EQ(counts.connections, 49);
    std::set<LONG> cookies;
    for (LONG i = 0; i < 49; i++) {
        const EventServerRegistration r = m_pProbe->Registration(i);
        EXPECT_EQ(r.id, expected[static_cast<size_t>(i)]);
        EXPECT_EQ(m_pFrame->m_listeners[i]->GetButtonId(), r.id);
        EXPECT_EQ(r.mode, 3);
        EXPECT_EQ(r.client, kClient);
        EXPECT_EQ(static_cast<DWORD>(r.cookie), m_pFrame->m_listeners[i]->m_pSink->m_dwCookie);
        cookies.insert(r.cookie);
    }
    EXPECT_EQ(cookies.size(), 49u) << "one connection per listener";

    // A notification reaches every sink, and each answers 0.
    LONG nNotified = 0;
    EXPECT_EQ(m_pProbe->Notify(1, 301, &nNotified), S_OK);
    EXPECT_EQ(nNotified, 49);
    EXPECT_EQ(m_pProbe->Notify(2, 0, &nNotified), S_OK);

    m_pFrame->DetachListeners();
    EXPECT_EQ(m_pFrame->m_listeners.GetSize(), 0);
    counts = m_pProbe->Counts();
    EXPECT_EQ(counts.registrations, 0);
    EXPECT_EQ(counts.connections, 0) << "no sink is left with the server";
}

TEST_F(ListenerTest, NoServerMeansNoSubscriptionAndNoHarm)
{
    m_pFrame = new CMainFrame;
    m_pFrame->AttachListeners();
    EXPECT_EQ(m_pFrame->m_listeners.GetSize(), 49);
    EXPECT_TRUE(Subscribed().empty());
    m_pFrame->DetachListeners();
    EXPECT_EQ(m_pProbe->Counts().registerCalls, 0);
}

TEST_F(ListenerTest, EachFailingStepLeavesOnlyItsListenerOut)
{
    const struct
    {
        LPCWSTR pszFaults;
        std::set<LONG> missing;
        size_t nSubscribed;
    } cases[] = {
        {L"container", {}, 0},
        {L"point", {}, 0},
        {L"advise=1,10", {101, 202}, 47},
        {L"register=101,218,505", {101, 218, 505}, 46},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pszFaults);
        m_pProbe->Reset();
        {
            CUndo faults;
            faults.SetValue(HKEY_CURRENT_USER, kEventServerFaults, L"Faults", REG_SZ,
                            Bytes(c.pszFaults));
            Attach();
        }
        const std::set<LONG> subscribed = Subscribed();
        EXPECT_EQ(subscribed.size(), c.nSubscribed);
        for (LONG nId : c.missing)
            EXPECT_EQ(subscribed.count(nId), 0u) << nId;
        EventServerCounts counts = m_pProbe->Counts();
        EXPECT_EQ(counts.registrations, static_cast<LONG>(c.nSubscribed));
        EXPECT_EQ(counts.connections, static_cast<LONG>(c.nSubscribed))
            << "a refused registration takes its connection back";

        m_pFrame->DetachListeners();
        counts = m_pProbe->Counts();
        EXPECT_EQ(counts.registrations, 0);
        EXPECT_EQ(counts.connections, 0);
        m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        m_app.m_pButtonServer.Release();
    }
}
