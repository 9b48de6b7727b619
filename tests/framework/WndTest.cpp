#include "framework/Afx.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const UINT WM_PING = WM_APP + 1;
const UINT ID_BASE_CMD = 40001;
const UINT ID_SHARED_CMD = 40002;
const UINT ID_RANGE_FIRST = 40010;
const UINT ID_CHILD_BUTTON = 1001;
const UINT ID_CHILD_EDIT = 1002;

class CBaseTestWnd : public CFrameWnd
{
public:
    int m_nBaseCommands = 0;
    int m_nBaseShared = 0;
    static int s_nDeleted;
    ~CBaseTestWnd() override { ++s_nDeleted; }

protected:
    void OnBaseCommand() { ++m_nBaseCommands; }
    void OnBaseShared() { ++m_nBaseShared; }
    LRESULT OnBasePing(WPARAM, LPARAM) { return -1; }
    DECLARE_MESSAGE_MAP()
};
int CBaseTestWnd::s_nDeleted = 0;

BEGIN_MESSAGE_MAP(CBaseTestWnd, CFrameWnd)
    ON_COMMAND(ID_BASE_CMD, OnBaseCommand)
    ON_COMMAND(ID_SHARED_CMD, OnBaseShared)
    ON_MESSAGE(WM_PING, OnBasePing)
END_MESSAGE_MAP()

class CTestWnd : public CBaseTestWnd
{
public:
    int m_nCreates = 0;
    int m_nClicks = 0;
    int m_nDerivedShared = 0;
    int m_nEditFocus = 0;
    int m_nListNotes = 0;
    UINT m_nLastRangeId = 0;
    WPARAM m_wLastPing = 0;
    CWnd m_button;
    CWnd m_edit;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        ++m_nCreates;
        if (CBaseTestWnd::OnCreate(lpcs) == -1) return -1;
        m_button.Attach(::CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50,
                                          20, m_hWnd, reinterpret_cast<HMENU>(ID_CHILD_BUTTON),
                                          nullptr, nullptr));
        const RECT rcEdit = {0, 30, 50, 50};
        if (!m_edit.Create(L"EDIT", L"", WS_VISIBLE, rcEdit, this, ID_CHILD_EDIT)) return -1;
        return 0;
    }
    LRESULT OnPing(WPARAM wParam, LPARAM lParam)
    {
        m_wLastPing = wParam;
        return lParam * 2;
    }
    void OnRange(UINT nID) { m_nLastRangeId = nID; }
    void OnChildClicked() { ++m_nClicks; }
    void OnDerivedShared() { ++m_nDerivedShared; }
    void OnEditSetFocus() { ++m_nEditFocus; }
    void OnListNote(NMHDR*, LRESULT* pResult)
    {
        ++m_nListNotes;
        *pResult = 5;
    }
    void OnDestroy()
    {
        m_button.Detach(); // borrowed; the edit was created by its object and goes by itself
        CBaseTestWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CBaseTestWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PING, OnPing)
    ON_COMMAND(ID_SHARED_CMD, OnDerivedShared)
    ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_FIRST + 4, OnRange)
    ON_BN_CLICKED(ID_CHILD_BUTTON, OnChildClicked)
    ON_EN_SETFOCUS(ID_CHILD_EDIT, OnEditSetFocus)
    ON_NOTIFY(NM_CLICK, ID_CHILD_EDIT, OnListNote)
END_MESSAGE_MAP()

// Counts what reaches it while it is attached to a control.
class CCountingWnd : public CWnd
{
public:
    int* m_pnSeen;
    explicit CCountingWnd(int* pnSeen) : m_pnSeen(pnSeen) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        ++*m_pnSeen;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(CWndTest, MessageMapDispatchesOnARealWindow)
{
    CBaseTestWnd::s_nDeleted = 0;
    auto* pWnd = new CTestWnd;
    ASSERT_TRUE(pWnd->Create(nullptr, L"framework test window"));
    const HWND hWnd = pWnd->m_hWnd;
    EXPECT_EQ(pWnd->m_nCreates, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), pWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pWnd);

    // A plain message handler's result is the sender's result; the derived entry wins.
    EXPECT_EQ(::SendMessageW(hWnd, WM_PING, 7, 21), 42);
    EXPECT_EQ(pWnd->m_wLastPing, 7u);

    // Commands: the base map is reached through the derived one, but the derived entry wins.
    ::SendMessageW(hWnd, WM_COMMAND, ID_BASE_CMD, 0);
    EXPECT_EQ(pWnd->m_nBaseCommands, 1);
    ::SendMessageW(hWnd, WM_COMMAND, ID_SHARED_CMD, 0);
    EXPECT_EQ(pWnd->m_nDerivedShared, 1);
    EXPECT_EQ(pWnd->m_nBaseShared, 0);
    ::SendMessageW(hWnd, WM_COMMAND, ID_RANGE_FIRST + 3, 0);
    EXPECT_EQ(pWnd->m_nLastRangeId, ID_RANGE_FIRST + 3);
    ::SendMessageW(hWnd, WM_COMMAND, ID_RANGE_FIRST + 5, 0);
    EXPECT_EQ(pWnd->m_nLastRangeId, ID_RANGE_FIRST + 3);

    // Real control notifications: a click, a focus change, a WM_NOTIFY with its result.
    ::SendMessageW(pWnd->m_button, BM_CLICK, 0, 0);
    EXPECT_EQ(pWnd->m_nClicks, 1);
    ::SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(ID_CHILD_BUTTON + 1, BN_CLICKED),
                   reinterpret_cast<LPARAM>(pWnd->m_button.m_hWnd));
    EXPECT_EQ(pWnd->m_nClicks, 1) << "same code, other control: no match";
    pWnd->ShowWindow(SW_SHOW);
    pWnd->m_edit.SetFocus();
    EXPECT_EQ(pWnd->m_nEditFocus, 1);
    NMHDR nmhdr = {pWnd->m_edit.m_hWnd, ID_CHILD_EDIT, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(::SendMessageW(hWnd, WM_NOTIFY, ID_CHILD_EDIT, reinterpret_cast<LPARAM>(&nmhdr)), 5);
    EXPECT_EQ(pWnd->m_nListNotes, 1);
    EXPECT_EQ(::SendMessageW(hWnd, WM_NOTIFY, 0, 0), 0) << "a WM_NOTIFY without header is ignored";

    // Unmapped messages get the default procedure.
    EXPECT_EQ(::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"renamed")), TRUE);
    CString strTitle;
    pWnd->GetWindowText(strTitle);
    EXPECT_EQ(strTitle, L"renamed");

    // A frame deletes its own object when its window goes.
    ::DestroyWindow(hWnd);
    EXPECT_EQ(CBaseTestWnd::s_nDeleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(CWndTest, ControlsOutliveTheirObjectsUnharmed)
{
    HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(hEdit, nullptr);
    int nSeen = 0;
    {
        CCountingWnd edit(&nSeen);
        ASSERT_TRUE(edit.SubclassWindow(hEdit));
        EXPECT_FALSE(CCountingWnd(&nSeen).SubclassWindow(hEdit)) << "one object per window";
        edit.SetWindowText(L"\u039a\u03b5\u03af\u03bc\u03b5\u03bd\u03bf");
        CString str;
        edit.GetWindowText(str);
        EXPECT_EQ(str, L"\u039a\u03b5\u03af\u03bc\u03b5\u03bd\u03bf");
        EXPECT_GT(nSeen, 0);
    }
    // The object is gone: messages reach the edit's own procedure and nothing of ours.
    const int nSeenBefore = nSeen;
    EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
    ::SetWindowTextW(hEdit, L"after");
    WCHAR szText[16] = {};
    ::GetWindowTextW(hEdit, szText, 16);
    EXPECT_STREQ(szText, L"after");
    EXPECT_EQ(::SendMessageW(hEdit, EM_GETLIMITTEXT, 0, 0) > 0, true);
    EXPECT_EQ(nSeen, nSeenBefore);

    // A wrapper for a window nobody owns is temporary and leaves the window alone.
    CWnd* pTemp = CWnd::FromHandle(hEdit);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(pTemp->m_hWnd, hEdit);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(hEdit));
    ::DestroyWindow(hEdit);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST(CWndTest, FramesAreCreatedByRuntimeClassName)
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName("CFrameWnd");
    ASSERT_NE(pClass, nullptr);
    EXPECT_EQ(pClass, RUNTIME_CLASS(CFrameWnd));
    EXPECT_TRUE(pClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CWnd)->CreateObject(), nullptr) << "CWnd is not dynamically creatable";

    CObject* pObject = pClass->CreateObject();
    ASSERT_NE(pObject, nullptr);
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    auto* pFrame = static_cast<CFrameWnd*>(pObject);
    ASSERT_TRUE(pFrame->Create(nullptr, L"created by name"));
    RECT rc = {};
    pFrame->GetWindowRect(&rc);
    EXPECT_GT(rc.right - rc.left, 0);
    pFrame->DestroyWindow(); // deletes the object too
}
