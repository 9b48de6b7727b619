#include "framework/String.h"

#include <gtest/gtest.h>

namespace {

struct SliceCase
{
    const wchar_t* op;
    CString actual;
    const wchar_t* expected;
};

} // namespace

TEST(CStringTest, LeftRightMidClampAtBothEnds)
{
    const CString s(L"Button");
    const SliceCase cases[] = {
        {L"Left(3)", s.Left(3), L"But"},
        {L"Left(0)", s.Left(0), L""},
        {L"Left(-1)", s.Left(-1), L""},
        {L"Left(99)", s.Left(99), L"Button"},
        {L"Left(INT_MAX)", s.Left(INT_MAX), L"Button"},
        {L"Right(3)", s.Right(3), L"ton"},
        {L"Right(-1)", s.Right(-1), L""},
        {L"Right(1 << 30)", s.Right(1 << 30), L"Button"},
        {L"Mid(2)", s.Mid(2), L"tton"},
        {L"Mid(-3)", s.Mid(-3), L"Button"},
        {L"Mid(6)", s.Mid(6), L""},
        {L"Mid(50)", s.Mid(50), L""},
        {L"Mid(2, 2)", s.Mid(2, 2), L"tt"},
        {L"Mid(4, 100)", s.Mid(4, 100), L"on"},
        {L"Mid(-5, 1000)", s.Mid(-5, 1000), L"Button"},
        {L"Mid(-2, 3)", s.Mid(-2, 3), L"But"},
        {L"Mid(1, -1)", s.Mid(1, -1), L""},
        {L"Mid(INT_MAX, INT_MAX)", s.Mid(INT_MAX, INT_MAX), L""},
        {L"empty Left(1)", CString().Left(1), L""},
        {L"empty Right(5)", CString().Right(5), L""},
        {L"empty Mid(-1, 2)", CString().Mid(-1, 2), L""},
    };
    for (const SliceCase& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.op;
}

TEST(CStringTest, FindIsCaseSensitiveAndFindsEmptyAtTheStart)
{
    const CString s(L"BUTTON=7 button=8");
    EXPECT_EQ(s.Find(L""), 0);
    EXPECT_EQ(CString().Find(L""), 0);
    EXPECT_EQ(s.Find(L"", 4), 4);
    EXPECT_EQ(s.Find(L"BUTTON="), 0);
    EXPECT_EQ(s.Find(L"button="), 9);
    EXPECT_EQ(s.Find(L"Button"), -1);
    EXPECT_EQ(s.Find(L'=', 7), 15);
    EXPECT_EQ(s.Find(L'B', -3), 0);
    EXPECT_EQ(s.ReverseFind(L'='), 15);
    EXPECT_EQ(CString().Find(L"x"), -1);

    // Starting points past the end find nothing, whatever is searched.
    EXPECT_EQ(s.Find(L"BUTTON", 100), -1);
    EXPECT_EQ(s.Find(L"", 1 << 30), -1);
    EXPECT_EQ(s.Find(L'8', INT_MAX), -1);
    EXPECT_EQ(s.Find(static_cast<LPCWSTR>(nullptr)), 0);
}

TEST(CStringTest, ReplaceReplacesEveryOccurrenceAndCountsThem)
{
    CString s(L"a]b]]c]");
    EXPECT_EQ(s.Replace(L"]", L"00000000"), 4);
    EXPECT_EQ(s, L"a00000000b0000000000000000c00000000");
    EXPECT_EQ(s.Replace(L"00000000", L"]"), 4);
    EXPECT_EQ(s, L"a]b]]c]");

    // Overlapping text is replaced left to right, each match consumed once.
    CString t(L"aaaaa");
    EXPECT_EQ(t.Replace(L"aa", L"b"), 2);
    EXPECT_EQ(t, L"bba");
    // A replacement containing the searched text is not searched again.
    CString u(L"xx");
    EXPECT_EQ(u.Replace(L"x", L"xx"), 2);
    EXPECT_EQ(u, L"xxxx");

    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(s.Replace(L"missing", L"x"), 0);
    EXPECT_EQ(s, L"a]b]]c]");
    EXPECT_EQ(s.Replace(L']', L'['), 4);
    EXPECT_EQ(s, L"a[b[[c[");
}

TEST(CStringTest, CaseMappingCoversTextBeyondLatin1)
{
    CString s(L"kivora \u00e9t\u00e9 \u0395\u03bb\u03bb\u03ac\u03b4\u03b1 \u043c\u0438\u0440");
    s.MakeUpper();
    EXPECT_EQ(s, L"KIVORA \u00c9T\u00c9 \u0395\u039b\u039b\u0386\u0394\u0391 \u041c\u0418\u0420");
    EXPECT_EQ(CString().MakeUpper(), L"");
}

TEST(CStringTest, LoadStringReadsTheStringTableInFull)
{
    CString s(L"previous");
    ASSERT_TRUE(s.LoadString(60000));
    EXPECT_EQ(
        s,
        L"\u039a\u03bf\u03c5\u03bc\u03c0\u03af \u6309\u94ae \u043a\u043d\u043e\u043f\u043a\u0430");
    EXPECT_EQ(s.GetLength(), 16);
    ASSERT_TRUE(s.LoadString(60001));
    EXPECT_EQ(s, L"plain");
    EXPECT_FALSE(s.LoadString(60099));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, FormatConcatenationAndComparison)
{
    CString s;
    s.Format(L"%d:%s:%c", -42, L"\u039a", L'x');
    EXPECT_EQ(s, L"-42:\u039a:x");
    s.Format(L"%s", std::wstring(5000, L'w').c_str());
    EXPECT_EQ(s.GetLength(), 5000);

    CString a(L"ab");
    a += L'c';
    a += CString(L"d");
    EXPECT_EQ(a + L"e", L"abcde");
    EXPECT_EQ(L"x" + a, L"xabcd");
    EXPECT_FALSE(CString(L"a") == CString(L"A"));
    EXPECT_TRUE(CString(L"a") != L"A");
    EXPECT_EQ(CString(static_cast<LPCWSTR>(nullptr)), L"");
    EXPECT_EQ(CString(L"abc", 2), L"ab");
    EXPECT_EQ(CString(L"abc", -4), L"");
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(CStringTest, BufferAndBstrRoundTrip)
{
    CString s(L"old text that is longer than the result");
    UINT n = GetWindowsDirectoryW(s.GetBuffer(MAX_PATH), MAX_PATH);
    s.ReleaseBuffer();
    ASSERT_GT(n, 0u);
    EXPECT_EQ(s.GetLength(), static_cast<int>(n));
    EXPECT_EQ(s.Find(L"older"), -1);

    wcscpy(s.GetBuffer(10), L"abcdefgh");
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, L"abc");
    s.GetBuffer(0);
    s.ReleaseBuffer(1000);
    EXPECT_EQ(s, L"abc");

    EXPECT_EQ(s.GetAt(3), L'\0');
    EXPECT_EQ(s.GetAt(-1), L'\0');

    CString wide(L"\u00c9t\u00e9 \u6309\u94ae");
    BSTR b = wide.AllocSysString();
    EXPECT_EQ(SysStringLen(b), 6u);
    EXPECT_EQ(CString(b), wide);
    SysFreeString(b);
}
