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
    EXPECT_EQ(strHelp.Right(21), L"\\framework_tests.html");

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

// Leaves no profile key behind, whatever the test's outcome.
class CProfileTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, CString(L"Software\\") + kTestKey);
    }
};

TEST_F(CProfileTest, ProfileCallsLandUnderTheRegistryKeyAndApplication)
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

    // A value of the wrong type reads as the default; a long one comes back whole.
    EXPECT_EQ(app.GetProfileInt(L"Settings", L"Name", 11), 11u);
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Count", L"text"), L"text");
    const CString strLong(L'\u00e9', 100000);
    ASSERT_TRUE(app.WriteProfileString(L"Settings", L"Long", strLong));
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Long"), strLong);

    ASSERT_TRUE(app.WriteProfileString(L"Settings", L"Name", nullptr));
    EXPECT_EQ(ReadRegString(strSection, L"Name"), L"<missing>");
    ASSERT_TRUE(app.WriteProfileString(L"Settings", nullptr, nullptr));
    HKEY hKey = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, strSection, 0, KEY_READ, &hKey), ERROR_SUCCESS);
}

// What ParseParam saw for a command line, one "text|flag" entry per parameter.
static std::vector<std::wstring> Parse(LPCWSTR lpszCommandLine, CRecordingInfo& info)
{
    CWinApp::ParseCommandLine(info, lpszCommandLine);
    std::vector<std::wstring> seen;
    for (const Param& param : info.m_params)
        seen.push_back(param.text + (param.bFlag ? L"|flag" : L""));
    return seen;
}

TEST(CWinAppTest, CommandLineIsSplitAsWindowsDoesAndLosesOneLeadingSign)
{
    struct Case
    {
        LPCWSTR line;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {L"prog.exe", {}},
        {L"", {}},
        {nullptr, {}},
        {L"prog.exe /BUTTON=7 -x BUTTON=7", {L"BUTTON=7|flag", L"x|flag", L"BUTTON=7"}},
        {L"prog.exe //y --z - /", {L"/y|flag", L"-z|flag", L"|flag", L"|flag"}},
        {L"\"C:\\Program Files\\prog.exe\" \"two words\" \"\"", {L"two words", L""}},
        // Unbalanced quotes: the rest of the line is one parameter.
        {L"prog.exe \"BUTTON=7 -x", {L"BUTTON=7 -x"}},
        {L"prog.exe /\u039a\u03bf\u03c5\u03bc\u03c0\u03af \u6309\u94ae=3",
         {L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af|flag", L"\u6309\u94ae=3"}},
    };
    for (const Case& c : cases) {
        const std::wstring label = c.line ? c.line : L"(null)";
        CRecordingInfo info;
        EXPECT_EQ(Parse(c.line, info), c.expected) << label;
        for (size_t i = 0; i < info.m_params.size(); i++)
            EXPECT_EQ(info.m_params[i].bLast, i + 1 == info.m_params.size()) << label;
    }

    // What the standard parser records from the parameters it is passed on.
    CRecordingInfo info;
    Parse(L"prog.exe /Embedding settings.ini other.ini", info);
    EXPECT_TRUE(info.m_bRunEmbedded);
    EXPECT_EQ(info.m_strFileName, L"settings.ini");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
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
