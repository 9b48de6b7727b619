#include "framework/Wnd.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {

const WCHAR kPropName[] = L"AfxWndObject";

// What the framework keeps per thread: the object whose window is being created, bound at its
// first message; the message being handled, for Default() (per thread rather than per object,
// because a handler may destroy and delete its own object).
struct CThreadState
{
    CWnd* pWndInit = nullptr;
    MSG msgCur = {};
};

void WINAPI FreeThreadState(void* pData)
{
    delete static_cast<CThreadState*>(pData);
}

// A fiber-local slot, so that the system frees a thread's state when the thread ends.
const DWORD g_dwStateSlot = ::FlsAlloc(FreeThreadState);

CThreadState& ThreadState()
{
    static CThreadState s_shared; // only if the system has no slot left
    if (g_dwStateSlot == FLS_OUT_OF_INDEXES) return s_shared;
    auto* pState = static_cast<CThreadState*>(::FlsGetValue(g_dwStateSlot));
    if (!pState) {
        pState = new CThreadState;
        ::FlsSetValue(g_dwStateSlot, pState);
    }
    return *pState;
}

} // namespace

// From here on the window's messages must not reach this object: an owned window goes with
// it, a borrowed one gets its own procedure back.
CWnd::~CWnd()
{
    if (m_hWnd && m_bOwned)
        DestroyWindow();
    else if (m_hWnd)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CWnd*>(::GetPropW(hWnd, kPropName)) : nullptr;
}

void CWnd::Bind(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropW(hWnd, kPropName, this);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                    LPVOID lpParam)
{
    CThreadState& state = ThreadState();
    CWnd* pOld = state.pWndInit;
    state.pWndInit = this;
    HWND hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, hMenu, AfxGetInstanceHandle(), lpParam);
    state.pWndInit = pOld;
    if (!hWnd) return FALSE;
    if (!m_hWnd) // a class of someone else's: route it through us from here on
        SubclassWindow(hWnd);
    m_bOwned = TRUE;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    Bind(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    // Already our procedure (a framework class): nothing to chain to.
    if (m_pfnSuper == &CWnd::AfxWndProc) m_pfnSuper = nullptr;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, nID));
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd && ::GetPropW(hWnd, kPropName) == this) ::RemovePropW(hWnd, kPropName);
    m_hWnd = nullptr;
    m_bOwned = FALSE;
    return hWnd;
}

void CWnd::GetWindowText(CString& rString) const
{
    const int n = ::GetWindowTextLengthW(m_hWnd);
    const int copied = ::GetWindowTextW(m_hWnd, rString.GetBuffer(n + 1), n + 1);
    rString.ReleaseBuffer(copied);
}

LRESULT CWnd::Default()
{
    const MSG& msg = ThreadState().msgCur;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT nCode = 0, nID = 0;
    if (message == WM_COMMAND) {
        nCode = HIWORD(wParam);
        nID = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
        if (!pNMHDR) return FALSE;
        nCode = pNMHDR->code;
        nID = static_cast<UINT>(pNMHDR->idFrom);
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message) continue;
            if ((message == WM_COMMAND || message == WM_NOTIFY) &&
                (e->nCode != nCode || nID < e->nID || nID > e->nLastID))
                continue;
            if (e->pfn(this, wParam, lParam, pResult)) return TRUE;
        }
    }
    return FALSE;
}

void CWnd::OnFinalNcDestroy()
{
    HWND hWnd = m_hWnd;
    if (m_pfnSuper) ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CThreadState& state = ThreadState();
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd && state.pWndInit && !state.pWndInit->m_hWnd) {
        pWnd = state.pWndInit;
        pWnd->Bind(hWnd);
    }
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);

    const MSG saved = state.msgCur;
    state.msgCur = {hWnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    state.msgCur = saved;
    if (message == WM_NCDESTROY) pWnd->OnFinalNcDestroy();
    return lResult;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}
