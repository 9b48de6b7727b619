// The framework's rules the program leans on: strings that clamp instead of failing, containers
// that own or do not, and the command line split as Windows splits it.
#include "framework/Afx.h"
#include "framework/List.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(FrameworkTest, StringsClampFindReplaceAndLoad)
{
    const CString s(L"Button");
    const struct
    {
        CString actual;
        LPCWSTR pszExpected;
    } slices[] = {
        {s.Left(-1), L""},
        {s.Left(INT_MAX), L"Button"},
        {s.Right(3), L"ton"},
        {s.Right(1 << 30), s},
        {s.Mid(-3), s},
        {s.Mid(50), L""},
        {s.Mid(-2, 3), L"But"},
        {s.Mid(4, 100), L"on"},
        {s.Mid(1, -1), L""},
        {s.Mid(INT_MAX, 9), L""},
        {CString().Mid(-1, 2), L""},
        {CString(L"abc", -4), L""},
        {CString(nullptr), L""},
        {CString(L"abc", 2), L"ab"},
    };
    for (const auto& c : slices)
        EXPECT_EQ(c.actual, c.pszExpected) << &c - slices;

    const CString line(L"BUTTON=7 button=8");
    EXPECT_EQ(line.Find(L"button="), 9) << "case counts";
    EXPECT_EQ(line.Find(L"", 4), 4);
    EXPECT_EQ(line.Find(L'B', -3), 0);
    EXPECT_EQ(line.Find(L"", 17), 17) << "the empty text at the end";
    EXPECT_EQ(line.Find(L"", 1 << 30), -1);
    EXPECT_EQ(line.ReverseFind(L'='), 15);

    // Every occurrence, left to right, each consumed once and the replacement not searched again.
    CString t(L"aaaaa"), u(L"xx"), v(L"a]b]]c]");
    EXPECT_EQ(t.Replace(L"aa", L"b"), 2);
    EXPECT_EQ(t, L"bba");
    EXPECT_EQ(u.Replace(L"x", L"xx"), 2);
    EXPECT_EQ(u, L"xxxx");
    EXPECT_EQ(v.Replace(L"", L"x"), 0);
    EXPECT_EQ(v.Replace(L']', L'['), 4);
    EXPECT_EQ(v, L"a[b[[c[");

    CString greek(L"\u00e9t\u00e9 \u03bb\u03ac \u043c\u0438\u0440");
    EXPECT_EQ(greek.MakeUpper(), L"\u00c9T\u00c9 \u039b\u0386 \u041c\u0418\u0420");
    CString loaded(L"previous");
    ASSERT_TRUE(loaded.LoadString(60000));
    EXPECT_EQ(loaded, L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af \u6309\u94ae \u043a\u043d\u043e"
                      L"\u043f\u043a\u0430");
    EXPECT_FALSE(loaded.LoadString(60099));
    EXPECT_TRUE(loaded.IsEmpty());
    loaded.Format(L"%d:%s", -42, std::wstring(5000, L'w').c_str());
    EXPECT_EQ(loaded.GetLength(), 5004);

    wcscpy(loaded.GetBuffer(10), L"abcdefgh");
    loaded.ReleaseBuffer(3);
    EXPECT_EQ(loaded, L"abc");
    loaded.GetBuffer(0);
    loaded.ReleaseBuffer(1000);
    EXPECT_EQ(loaded, L"abc");
    EXPECT_EQ(loaded.GetAt(-1), L'\0');
    BSTR b = greek.AllocSysString();
    EXPECT_EQ(CString(b), greek);
    ::SysFreeString(b);
}

namespace {

// Counts live instances, so a test sees who deleted what.
struct CTracked : CObject
{
    CTracked() { ++s_nAlive; }
    ~CTracked() override { --s_nAlive; }
    static int s_nAlive;
};
int CTracked::s_nAlive = 0;

} // namespace

TEST(FrameworkTest, OwningContainersDeleteOthersDoNotAndIndicesAreChecked)
{
    CTracked kept;
    {
        CArray<CTracked*, CTracked*> pointers;
        CList<CTracked*, CTracked*> list;
        pointers.Add(&kept);
        list.AddTail(&kept);
        COwningPtrArray<CTracked> owned;
        COwningPtrList<CTracked> ownedList;
        for (int i = 0; i < 3; i++) {
            owned.Add(new CTracked);
            ownedList.AddTail(new CTracked);
        }
        ownedList.RemoveAll();
        EXPECT_EQ(CTracked::s_nAlive, 4);
    }
    EXPECT_EQ(CTracked::s_nAlive, 1) << "only the owning containers delete what they hold";

    CStringArray names;
    names.Add(L"first");
    EXPECT_TRUE(names[1].IsEmpty());
    EXPECT_TRUE(names[-1].IsEmpty());
    CStringList schemes;
    schemes.AddTail(CString(L"Home"));
    const POSITION pos = schemes.AddTail(CString(L"Quelda"));
    EXPECT_EQ(schemes.Find(CString(L"quelda")), nullptr);
    EXPECT_EQ(schemes.Find(CString(L"Quelda")), pos);
    EXPECT_EQ(schemes.GetTail(), L"Quelda");
}

namespace {

class CRecordingInfo : public CCommandLineInfo
{
public:
    void ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast) override
    {
        m_seen.push_back(pszParam + std::wstring(bFlag ? L"|flag" : L"") +
                         (bLast ? L"|last" : L""));
    }
    std::vector<std::wstring> m_seen;
};

class CTestApp : public CWinApp
{
public:
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT) override
    {
        m_strPrompt.Format(L"%s %u", lpszPrompt, nType);
        return IDCANCEL;
    }
    CString m_strPrompt;
};

} // namespace

TEST(FrameworkTest, ApplicationCommandLineAndMessageBoxes)
{
    CTestApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(CString(app.m_pszHelpFilePath).Right(21), L"\\framework_tests.html");
    EXPECT_EQ(AfxMessageBox(L"Failed"), IDCANCEL);
    EXPECT_EQ(app.m_strPrompt, L"Failed 0");
    // The message loop ends with the quit message, whose code is the program's.
    ::PostQuitMessage(7);
    EXPECT_EQ(app.Run(), 7);
    // A mirrored program's boxes read right to left.
    ::SetProcessDefaultLayout(LAYOUT_RTL);
    AfxMessageBox(L"Mirrored", MB_YESNO);
    ::SetProcessDefaultLayout(0);
    EXPECT_EQ(app.m_strPrompt,
              (L"Mirrored " + std::to_wstring(MB_YESNO | MB_RTLREADING | MB_RIGHT)).c_str());

    const struct
    {
        LPCWSTR pszLine;
        std::vector<std::wstring> seen;
    } lines[] = {
        {nullptr, {}},
        {L"prog.exe", {}},
        {L"prog.exe /BUTTON=7 -x BUTTON=7", {L"BUTTON=7|flag", L"x|flag", L"BUTTON=7|last"}},
        {L"prog.exe //y - /", {L"/y|flag", L"|flag", L"|flag|last"}},
        {L"\"C:\\Program Files\\prog.exe\" \"two words\" \"\"", {L"two words", L"|last"}},
        {L"prog.exe \"BUTTON=7 -x", {L"BUTTON=7 -x|last"}}, // unbalanced: the rest is one
    };
    for (const auto& c : lines) {
        CRecordingInfo info;
        CWinApp::ParseCommandLine(info, c.pszLine);
        EXPECT_EQ(info.m_seen, c.seen) << &c - lines;
    }
}
