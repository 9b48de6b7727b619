// The schemes file: what it carries comes back unchanged, and what is not a whole, storable file is
// refused before anything is stored.
#include "Session.h"
#include "StringPrinter.h"
#include "Undo.h"
#include "config/SchemeFile.h"

#include <gtest/gtest.h>

namespace {

SchemeRecord Scheme(const CString& strName, const CString& strText)
{
    SchemeRecord scheme = {strName, {}};
    for (LPCWSTR pszId : {L"101", L"102", L"218"})
        scheme.buttons.push_back({pszId, strText, strText + L" title", L"C:\\" + strText, L"LOCK"});
    return scheme;
}

std::string Header()
{
    return "Kivora Button Schemes\t1\r\n";
}

} // namespace

TEST(SchemeFileTest, EveryCharacterComesBack)
{
    const CString strLongPath = L"C:\\" + CString(L'p', 252) + L".exe"; // 259 characters
    const std::vector<SchemeRecord> schemes = {
        Scheme(L"Work]", L"\"quoted\" | bar, 100% \\t \\\\ tab\there"),
        Scheme(L"Lines", L"one\r\ntwo\rthree\nfour\\"),
        Scheme(L"\x0627\x0644\x0639\x0645\x0644 \x65E5\x672C \xD83D\xDE00", L"\x0416\x4E2D\x05D0"),
        {L"Long", {{L"101", strLongPath, strLongPath, strLongPath, L""}}},
        {L"Empty", {}}};
    std::vector<SchemeRecord> read;
    CString strName = L"x";
    ASSERT_EQ(ParseSchemeFile(FormatSchemeFile(schemes), read, strName), kSchemeFileRead);
    EXPECT_EQ(strName, L"");
    ASSERT_EQ(read.size(), schemes.size());
    for (size_t i = 0; i < schemes.size(); i++) {
        EXPECT_EQ(read[i].name, schemes[i].name);
        ASSERT_EQ(read[i].buttons.size(), schemes[i].buttons.size());
        for (size_t n = 0; n < schemes[i].buttons.size(); n++) {
            const SchemeButton &a = read[i].buttons[n], &b = schemes[i].buttons[n];
            EXPECT_EQ(a.id + a.name + a.title + a.target + a.lock,
                      b.id + b.name + b.title + b.target + b.lock);
            EXPECT_EQ(a.target, b.target);
        }
    }
    // One record a line: the texts' backslashes, tabs and line breaks are escaped.
    EXPECT_EQ(FormatSchemeFile({{L"L\\s", {{L"101", L"a\r\nb", L"t\tt", L"C:\\x", L""}}}}),
              Header() + "scheme\tL\\\\s\r\nbutton\t101\ta\\r\\nb\tt\\tt\tC:\\\\x\t\r\nend\t1\r\n");
}

TEST(SchemeFileTest, WhatIsNotAWholeStorableFileIsRefused)
{
    const std::string whole = FormatSchemeFile({Scheme(L"A", L"x"), Scheme(L"B", L"y")});
    auto many = [](int nSchemes) {
        std::string text = Header();
        for (int i = 0; i < nSchemes; i++)
            text += "scheme\tS" + std::to_string(i) + "\r\n";
        return text + "end\t" + std::to_string(nSchemes) + "\r\n";
    };
    const struct
    {
        const char* pszWhat;
        std::string bytes;
        SchemeFileProblem problem;
        const wchar_t* pszName;
    } cases[] = {
        {"empty", "", kSchemeFileBroken, L""},
        {"cut short", whole.substr(0, whole.size() - 4), kSchemeFileBroken, L""},
        {"cut before its end", whole.substr(0, whole.rfind("end")), kSchemeFileBroken, L""},
        {"no header", whole.substr(whole.find('\n') + 1), kSchemeFileBroken, L""},
        {"another version", "Kivora Button Schemes\t2\r\nend\t0\r\n", kSchemeFileBroken, L""},
        {"not UTF-8", Header() + "scheme\t\xC0\xFF\r\nend\t1\r\n", kSchemeFileBroken, L""},
        {"UTF-16", std::string("\xFF\xFEK\0i\0", 6), kSchemeFileBroken, L""},
        {"a count that differs", Header() + "scheme\tA\r\nend\t2\r\n", kSchemeFileBroken, L""},
        {"an unknown record", Header() + "colour\tred\r\nend\t0\r\n", kSchemeFileBroken, L""},
        {"a field missing", Header() + "scheme\tA\r\nbutton\t101\ta\tb\tc\r\nend\t1\r\n",
         kSchemeFileBroken, L""},
        {"a field too many", Header() + "scheme\tA\r\nbutton\t101\ta\tb\tc\td\te\r\nend\t1\r\n",
         kSchemeFileBroken, L""},
        {"a button before any scheme", Header() + "button\t101\ta\tb\tc\td\r\nend\t0\r\n",
         kSchemeFileBroken, L""},
        {"an id that is no number", Header() + "scheme\tA\r\nbutton\t1:\ta\tb\tc\td\r\nend\t1\r\n",
         kSchemeFileBroken, L""},
        {"an empty id", Header() + "scheme\tA\r\nbutton\t\ta\tb\tc\td\r\nend\t1\r\n",
         kSchemeFileBroken, L""},
        {"an id of ten digits",
         Header() + "scheme\tA\r\nbutton\t1234567890\ta\tb\tc\td\r\nend\t1\r\n", kSchemeFileBroken,
         L""},
        {"an unknown escape", Header() + "scheme\tA\\q\r\nend\t1\r\n", kSchemeFileBroken, L""},
        {"more after the end", whole + "scheme\tC\r\n", kSchemeFileBroken, L""},
        {"1,001 schemes", many(1001), kSchemeFileBroken, L""},
        {"the maker's scheme", Header() + "scheme\tQuelda\r\nend\t1\r\n", kSchemeNameRefused,
         L"Quelda"},
        {"the maker's stored name", Header() + "scheme\tA\r\nscheme\tquelda\r\nend\t2\r\n",
         kSchemeNameRefused, L"quelda"},
        {"a name with a comma", Header() + "scheme\t,b\r\nend\t1\r\n", kSchemeNameRefused, L",b"},
        {"a name the store reads back as ]", Header() + "scheme\t00000000x\r\nend\t1\r\n",
         kSchemeNameRefused, L"00000000x"},
        {"an empty name", Header() + "scheme\t\r\nend\t1\r\n", kSchemeNameRefused, L""},
        {"a name twice", Header() + "scheme\tWork\r\nscheme\tB\r\nscheme\tWORK\r\nend\t3\r\n",
         kSchemeNameTwice, L"WORK"},
    };
    for (const auto& c : cases) {
        std::vector<SchemeRecord> read;
        CString strName;
        EXPECT_EQ(ParseSchemeFile(c.bytes, read, strName), c.problem) << c.pszWhat;
        EXPECT_EQ(strName, c.pszName) << c.pszWhat;
    }
    std::vector<SchemeRecord> read;
    CString strName;
    EXPECT_EQ(ParseSchemeFile(many(1000), read, strName), kSchemeFileRead);
    // A byte order mark, bare line feeds and an id of nine digits are read all the same.
    EXPECT_EQ(ParseSchemeFile("\xEF\xBB\xBF" + Header() +
                                  "scheme\tA\nbutton\t123456789\ta\tb\tc\td\nend\t1\n",
                              read, strName),
              kSchemeFileRead);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, L"A");
    EXPECT_EQ(read[0].buttons.size(), 1u);
}

// A file of the largest size is read; a byte more is not read at all.
TEST(SchemeFileTest, AFileOfTheLargestSizeIsRead)
{
    auto file = [](size_t cbName) {
        return FormatSchemeFile(
            {{L"Big", {{L"101", CString(L'n', static_cast<int>(cbName)), L"", L"", L""}}}});
    };
    const std::string bytes = file(kMaxSchemeFileBytes - file(0).size());
    ASSERT_EQ(bytes.size(), kMaxSchemeFileBytes);
    CUndo undo;
    const std::wstring path = Expanded(L"$(TEMP)\\largest.kbschemes");
    undo.WriteFile(path, bytes);
    std::string read;
    std::vector<SchemeRecord> schemes;
    CString strName;
    ASSERT_TRUE(ReadSchemeFile(path.c_str(), read));
    EXPECT_EQ(ParseSchemeFile(read, schemes, strName), kSchemeFileRead);
    undo.WriteFile(path, bytes + "\n");
    EXPECT_FALSE(ReadSchemeFile(path.c_str(), read));
}
