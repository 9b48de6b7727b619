// CWnd: a window object bound to its handle, with message-map dispatch.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/String.h"

// While the process lays its windows out right to left: message boxes read and align their
// texts right to left too (MB_RTLREADING | MB_RIGHT); otherwise 0.
UINT AfxMessageBoxLayout();

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)

public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                  LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // Routes the window's messages through this object (and its map) from now on.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    HWND Detach();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}
    LRESULT Default();

    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    void SetWindowText(LPCWSTR lpszString) const { ::SetWindowTextW(m_hWnd, lpszString); }
    void GetWindowText(CString& rString) const;
    void SetFocus() const { ::SetFocus(m_hWnd); }
    void SetDlgItemText(int nID, LPCWSTR lpszString) const
    {
        ::SetDlgItemTextW(m_hWnd, nID, lpszString);
    }
    BOOL SetForegroundWindow() const { return ::SetForegroundWindow(m_hWnd); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) const
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK) const
    {
        return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType | AfxMessageBoxLayout());
    }

protected:
    WNDPROC m_pfnSuper = nullptr; // the window's own procedure when subclassed

    void OnClose() { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnDestroy() { Default(); }
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    BOOL OnQueryEndSession() { return static_cast<BOOL>(Default()); }
    LRESULT OnNcHitTest(POINT) { return Default(); }
    void OnNcLButtonDblClk(UINT, POINT) { Default(); }
    void OnLButtonDown(UINT, POINT) { Default(); }

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

private:
    BOOL m_bOwned = FALSE; // created by this object: destroyed with it
    void OnFinalNcDestroy();
    void Bind(HWND hWnd);
};
