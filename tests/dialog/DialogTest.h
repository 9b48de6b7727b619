// What the dialog tests share: the main settings dialog created modeless with its real controls,
// over a fresh store of the real configuration service stand-in, and the ways they drive it.
#pragma once

#include "ConfigServiceStore.h"
#include "UserInput.h"
#include "dialog/ButtonSettingsDlg.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Delivers what is queued for a while, keyboard messages through the dialog as its loop would.
inline void Pump(HWND hDlg, DWORD dwMilliseconds = 100)
{
    for (const DWORD dwStart = ::GetTickCount(); ::GetTickCount() - dwStart < dwMilliseconds;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (::IsWindow(hDlg) && ::IsDialogMessageW(hDlg, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
}

inline void ClickRow(HWND hList, int nRow)
{
    RECT rc = {LVIR_LABEL, 0, 0, 0};
    ::SendMessageW(hList, LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(&rc));
    const LPARAM lPoint = MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
    ::PostMessageW(hList, WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    ::PostMessageW(hList, WM_LBUTTONUP, 0, lPoint);
}

inline CString Stored(LPCWSTR pszScheme, LPCWSTR pszButton, CString (CButtonConfig::*pfnGet)())
{
    CButtonConfig config;
    config.SelectScheme(pszScheme);
    config.SetButtonId(pszButton);
    return (config.*pfnGet)();
}

const char kDefaults[] = "buttons=101,102,103,104,105,106,107,108,201,202,203\n"
                         "101|Information|InformationVal|http://info.example/|UNLOCKED\n"
                         "102|Home|HomeVal|http://home.example/|UNLOCKED\n"
                         "104|Mail|eMailVal|KVKMail|UNLOCKED\n"
                         "201|VolumeUp|VolumeUpVal|VOLUME_UP|LOCK\n";

[[maybe_unused]] const WCHAR kTrayKey[] =
    L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override
    {
        delete m_pDlg;
        m_pService.reset();
        m_pStore.reset();
        ::CoUninitialize();
        CloseTrayProgram();
    }
    // An Apply with the tray box checked starts the tray program; it goes with the test.
    static void CloseTrayProgram()
    {
        const HWND hTray = ::FindWindowW(nullptr, L"Quelda Kivora System Tray Window");
        DWORD dwProcess = 0;
        if (!hTray || !::GetWindowThreadProcessId(hTray, &dwProcess)) return;
        const HANDLE hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, dwProcess);
        ::PostMessageW(hTray, WM_CLOSE, 0, 0);
        if (hProcess) {
            ::WaitForSingleObject(hProcess, 5000);
            ::CloseHandle(hProcess);
        }
    }
    // A fresh store seeded from those defaults, changed by the test through the service.
    CButtonConfig& Store(const char* pszDefaults = kDefaults)
    {
        m_pService.reset();
        m_pStore.reset(); // the defaults file it replaced goes back before it is replaced again
        m_pStore.reset(new CConfigServiceStore(pszDefaults));
        // A new instance seeds the emptied store.
        m_pService.reset(new CButtonConfig);
        m_pService->GetButtonList();
        return *m_pService;
    }
    CButtonSettingsDlg& Open()
    {
        m_pDlg = new CButtonSettingsDlg;
        EXPECT_TRUE(m_pDlg->Create());
        return *m_pDlg;
    }
    std::vector<CString> SchemeBoxItems() const
    {
        std::vector<CString> items;
        for (int i = 0; i < m_pDlg->m_cbScheme.GetCount(); i++) {
            CString str;
            m_pDlg->m_cbScheme.GetLBText(i, str);
            items.push_back(str);
        }
        return items;
    }
    bool IsEnabled(int nID) const { return ::IsWindowEnabled(::GetDlgItem(m_pDlg->m_hWnd, nID)); }

    std::unique_ptr<CConfigServiceStore> m_pStore;
    std::unique_ptr<CButtonConfig> m_pService;
    CButtonSettingsDlg* m_pDlg = nullptr;
};

// While the dialog's thread tracks its popup menu: the items as shown, then keys as a user types.
class CMenuDriver
{
public:
    CMenuDriver(std::vector<WORD> keys)
        : m_keys(std::move(keys)), m_dwThread(::GetCurrentThreadId())
    {
        m_thread = std::thread([this] { Drive(); });
    }
    ~CMenuDriver()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    std::vector<std::wstring> Items()
    {
        if (m_thread.joinable()) m_thread.join();
        return m_items;
    }

private:
    void Drive()
    {
        HWND hMenu = nullptr;
        for (int i = 0; i < 200 && !hMenu; i++, ::Sleep(25))
            for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32768", nullptr));)
                if (::IsWindowVisible(h) && ::GetWindowThreadProcessId(h, nullptr) == m_dwThread)
                    hMenu = h;
        if (!hMenu) return;
        const HMENU hPopup = reinterpret_cast<HMENU>(::SendMessageW(hMenu, MN_GETHMENU, 0, 0));
        for (int n = 0; n < ::GetMenuItemCount(hPopup); n++) {
            WCHAR szText[64] = {};
            ::GetMenuStringW(hPopup, n, szText, ARRAYSIZE(szText), MF_BYPOSITION);
            m_items.push_back(std::to_wstring(::GetMenuItemID(hPopup, n)) + L" " + szText);
        }
        // Into the menu's own queue, which its tracking loop reads whichever window is in front.
        for (WORD vk : m_keys) {
            ::PostMessageW(hMenu, WM_KEYDOWN, vk, 1);
            ::PostMessageW(hMenu, WM_KEYUP, vk, 0xC0000001);
            ::Sleep(40);
        }
    }

    std::vector<WORD> m_keys;
    DWORD m_dwThread;
    std::vector<std::wstring> m_items;
    std::thread m_thread;
};

} // namespace
