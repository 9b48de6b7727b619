#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

namespace {

LPCWSTR RegisterFrameClass()
{
    static const WCHAR kClassName[] = L"FrameWnd";
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSEXW probe = {};
    probe.cbSize = sizeof(probe);
    if (!::GetClassInfoExW(hInst, kClassName, &probe)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &CWnd::AfxWndProc;
        wc.hInstance = hInst;
        wc.hIcon = ::LoadIconW(hInst, MAKEINTRESOURCEW(128));
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        ::RegisterClassExW(&wc);
    }
    return kClassName;
}

} // namespace

BOOL CFrameWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCWSTR lpszMenuName, DWORD dwExStyle)
{
    HMENU hMenu = lpszMenuName ? ::LoadMenuW(AfxGetInstanceHandle(), lpszMenuName) : nullptr;
    // The size is measured with wrap-around, so one relative to CW_USEDEFAULT comes out right.
    const int nWidth =
        static_cast<int>(static_cast<UINT>(rect.right) - static_cast<UINT>(rect.left));
    const int nHeight =
        static_cast<int>(static_cast<UINT>(rect.bottom) - static_cast<UINT>(rect.top));
    if (!CreateEx(dwExStyle, lpszClassName ? lpszClassName : RegisterFrameClass(), lpszWindowName,
                  dwStyle, rect.left, rect.top, nWidth, nHeight,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu)) {
        if (hMenu) ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}
