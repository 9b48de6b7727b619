// What the dialog tests share: the main settings dialog created modeless with its real controls,
// over a fresh store of the real configuration service stand-in, and the ways they drive it.
#pragma once

#include "ConfigServiceStore.h"
#include "dialog/ButtonSettingsDlg.h"

#include <gtest/gtest.h>
#include <memory>
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

} // namespace
