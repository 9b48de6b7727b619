#include "framework/Afx.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

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
    }
    std::vector<Param> m_params;
};

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
}
