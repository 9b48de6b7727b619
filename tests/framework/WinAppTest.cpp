#include "framework/Afx.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const WCHAR kTestKey[] = L"Quelda Framework Test";

class CTestApp : public CWinApp
{
public:
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override
    {
        m_strLastPrompt = lpszPrompt;
        m_nLastType = nType;
        m_nLastHelpId = nIDPrompt;
        return IDCANCEL;
    }
    CString m_strLastPrompt;
    UINT m_nLastType = 0;
    UINT m_nLastHelpId = 0;
};

struct Param
{
    std::wstring text;
    BOOL bFlag;
    BOOL bLast;
};

class CRecordingInfo : public CCommandLineInfo
{
public:
    void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast) override
    {
        m_params.push_back({pszParam, bFlag, bLast});
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
    std::vector<Param> m_params;
};

CString ReadRegString(LPCWSTR lpszSubKey, LPCWSTR lpszValue)
{
    WCHAR szBuffer[256] = {};
    DWORD cb = sizeof(szBuffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, lpszSubKey, lpszValue, RRF_RT_REG_SZ, nullptr, szBuffer,
                       &cb) != ERROR_SUCCESS)
        return L"<missing>";
    return szBuffer;
}

} // namespace

TEST(CWinAppTest, ApplicationObjectAndMessageBoxes)
{
    CTestApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_STREQ(app.m_pszAppName, L"framework_tests");
    EXPECT_STREQ(app.m_pszExeName, L"framework_tests");
    CString strHelp(app.m_pszHelpFilePath);
    EXPECT_EQ(strHelp.Right(20), L"\\framework_tests.HLP");

    EXPECT_EQ(AfxMessageBox(L"Failed to initialize OLE"), IDCANCEL);
    EXPECT_EQ(app.m_strLastPrompt, L"Failed to initialize OLE");
    EXPECT_EQ(app.m_nLastType, static_cast<UINT>(MB_OK));
    EXPECT_EQ(app.m_nLastHelpId, 0u);

    // A string-table prompt is loaded, and its id becomes the help id.
    AfxMessageBox(60000, MB_YESNO);
    EXPECT_EQ(
        app.m_strLastPrompt,
        L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af \u6309\u94ae \u043a\u043d\u043e\u043f\u043a\u0430");
    EXPECT_EQ(app.m_nLastType, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(app.m_nLastHelpId, 60000u);
}

TEST(CWinAppTest, ProfileCallsLandUnderTheRegistryKeyAndApplication)
{
    CTestApp app;
    EXPECT_EQ(app.GetProfileInt(L"Settings", L"Count", 5), 5u); // no key set yet
    EXPECT_FALSE(app.WriteProfileInt(L"Settings", L"Count", 9));

    app.SetRegistryKey(kTestKey);
    const CString strApp = CString(L"Software\\") + kTestKey + L"\\framework_tests";
    const CString strSection = strApp + L"\\Settings";

    ASSERT_TRUE(
        app.WriteProfileString(L"Settings", L"Name", L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af"));
    EXPECT_EQ(ReadRegString(strSection, L"Name"), L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af");
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Name"), L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af");
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Missing", L"fallback"), L"fallback");

    ASSERT_TRUE(app.WriteProfileInt(L"Settings", L"Count", -3));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"Settings", L"Count", 0)), -3);
    DWORD dwValue = 0, cb = sizeof(dwValue);
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, strSection, L"Count", RRF_RT_REG_DWORD, nullptr,
                             &dwValue, &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(dwValue, static_cast<DWORD>(-3));

    // A value of the wrong type reads as the default.
    EXPECT_EQ(app.GetProfileInt(L"Settings", L"Name", 11), 11u);

    ASSERT_TRUE(app.WriteProfileString(L"Settings", L"Name", nullptr));
    EXPECT_EQ(ReadRegString(strSection, L"Name"), L"<missing>");
    ASSERT_TRUE(app.WriteProfileString(L"Settings", nullptr, nullptr));
    HKEY hKey = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, strSection, 0, KEY_READ, &hKey), ERROR_SUCCESS);

    ::RegDeleteTreeW(HKEY_CURRENT_USER, CString(L"Software\\") + kTestKey);
}

TEST(CWinAppTest, CommandLineStripsOneLeadingSlashOrDashAndSetsTheFlag)
{
    CRecordingInfo info;
    CWinApp::ParseCommandLine(info, L"prog.exe /Embedding -x BUTTON=7 \"two words\" //y -");
    ASSERT_EQ(info.m_params.size(), 6u);
    EXPECT_EQ(info.m_params[0].text, L"Embedding");
    EXPECT_TRUE(info.m_params[0].bFlag);
    EXPECT_EQ(info.m_params[1].text, L"x");
    EXPECT_TRUE(info.m_params[1].bFlag);
    EXPECT_EQ(info.m_params[2].text, L"BUTTON=7");
    EXPECT_FALSE(info.m_params[2].bFlag);
    EXPECT_EQ(info.m_params[3].text, L"two words");
    EXPECT_EQ(info.m_params[4].text, L"/y");
    EXPECT_TRUE(info.m_params[4].bFlag);
    EXPECT_EQ(info.m_params[5].text, L"");
    EXPECT_TRUE(info.m_params[5].bFlag);
    for (size_t i = 0; i < info.m_params.size(); i++)
        EXPECT_EQ(info.m_params[i].bLast, i == info.m_params.size() - 1);

    EXPECT_TRUE(info.m_bRunEmbedded);
    EXPECT_EQ(info.m_strFileName, L"BUTTON=7");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);

    CRecordingInfo none;
    CWinApp::ParseCommandLine(none, L"prog.exe");
    EXPECT_TRUE(none.m_params.empty());
}

TEST(CWinAppTest, OddCommandLinesAreParsedWhole)
{
    // Unbalanced quotes: the rest of the line is one parameter.
    CRecordingInfo quoted;
    CWinApp::ParseCommandLine(quoted, L"prog.exe \"BUTTON=7 -x");
    ASSERT_EQ(quoted.m_params.size(), 1u);
    EXPECT_EQ(quoted.m_params[0].text, L"BUTTON=7 -x");
    EXPECT_FALSE(quoted.m_params[0].bFlag);

    // Text beyond Latin-1 survives unchanged.
    CRecordingInfo wide;
    CWinApp::ParseCommandLine(wide,
                              L"prog.exe /\u039a\u03bf\u03c5\u03bc\u03c0\u03af \u6309\u94ae=3");
    ASSERT_EQ(wide.m_params.size(), 2u);
    EXPECT_EQ(wide.m_params[0].text, L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af");
    EXPECT_TRUE(wide.m_params[0].bFlag);
    EXPECT_EQ(wide.m_params[1].text, L"\u6309\u94ae=3");

    // Thousands of parameters, and one of 30,000 characters; `last` is set once, at the end.
    std::wstring line = L"prog.exe";
    for (int i = 0; i < 2000; i++)
        line += L" -p" + std::to_wstring(i);
    line += L" " + std::wstring(30000, L'B');
    CRecordingInfo many;
    CWinApp::ParseCommandLine(many, line.c_str());
    ASSERT_EQ(many.m_params.size(), 2001u);
    EXPECT_EQ(many.m_params[1999].text, L"p1999");
    EXPECT_EQ(many.m_params[2000].text.size(), 30000u);
    int nLast = 0;
    for (const Param& param : many.m_params)
        nLast += param.bLast ? 1 : 0;
    EXPECT_EQ(nLast, 1);
    EXPECT_TRUE(many.m_params.back().bLast);

    CRecordingInfo empty;
    CWinApp::ParseCommandLine(empty, L"");
    CWinApp::ParseCommandLine(empty, nullptr);
    EXPECT_TRUE(empty.m_params.empty());
}

TEST(CWinAppTest, ClosingTheMainFrameEndsRunWithItsExitCode)
{
    CTestApp app;
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, L"main frame under test"));
    app.m_pMainWnd = pFrame;
    pFrame->PostMessage(WM_CLOSE);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);

    // A quit message with a code of its own ends the loop with that code.
    ::PostQuitMessage(3);
    EXPECT_EQ(app.Run(), 3);
}

TEST(CWinAppTest, OleIsInitialisedForTheThreadUntilTerminated)
{
    ASSERT_TRUE(AfxOleInit());
    // The thread is now a single-threaded apartment: it cannot become multithreaded.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    AfxOleTerm();
    // Terminated: the thread is free to choose again.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
}
