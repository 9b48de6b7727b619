// The string tables of every language the program ships in, read block by block so that the
// loader's fallback to another language cannot hide a gap, and measured against the controls
// that show them.
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const LANGID kLanguages[] = {10,   1028, 1029, 1030, 1031, 1032, 1033, 1035, 1036, 1037, 1038,
                             1040, 1041, 1042, 1043, 1044, 1045, 1046, 1049, 1051, 1053, 1055,
                             1060, 2052, 2055, 2057, 2058, 2060, 2064, 2068, 2070, 3076, 3079,
                             3081, 3082, 3084, 4097, 4100, 4108, 5129, 6153};
const LANGID kEnglish = 1033;

// The text of string nID in that language's own table; false when the table lacks it.
bool TextOf(LANGID lang, UINT nID, std::wstring& str)
{
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(nID / 16 + 1), lang);
    if (!hRes) return false;
    auto p = static_cast<const WCHAR*>(::LockResource(::LoadResource(hModule, hRes)));
    for (UINT n = 0; n < nID % 16; n++)
        p += 1 + *p;
    str.assign(p + 1, *p);
    return *p != 0;
}

std::wstring TextOf(LANGID lang, UINT nID)
{
    std::wstring str;
    TextOf(lang, nID, str);
    return str;
}

BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR pszName, LONG_PTR lParam)
{
    reinterpret_cast<std::vector<UINT>*>(lParam)->push_back(
        static_cast<UINT>(reinterpret_cast<ULONG_PTR>(pszName)));
    return TRUE;
}

// Every id of the English table.
std::vector<UINT> EnglishIDs()
{
    std::vector<UINT> blocks, ids;
    ::EnumResourceNamesW(nullptr, RT_STRING, AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::wstring str;
    for (UINT nBlock : blocks)
        for (UINT nID = (nBlock - 1) * 16; nID < nBlock * 16; nID++)
            if (TextOf(kEnglish, nID, str)) ids.push_back(nID);
    return ids;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLang, LONG_PTR lParam)
{
    reinterpret_cast<std::vector<LANGID>*>(lParam)->push_back(wLang);
    return TRUE;
}

size_t Count(const std::wstring& str, WCHAR ch)
{
    return static_cast<size_t>(std::count(str.begin(), str.end(), ch));
}

bool EndsWith(const std::wstring& str, const std::wstring& strEnd)
{
    return str.size() >= strEnd.size() &&
           str.compare(str.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
}

// The question mark as each script writes it: Latin, full-width, Arabic, and Greek (";").
bool EndsWithQuestion(const std::wstring& str)
{
    return !str.empty() && std::wstring(L"?\xFF1F\x061F;").find(str.back()) != std::wstring::npos;
}

} // namespace

TEST(StringTableTest, EveryLanguageHoldsEveryTextWithTheEnglishMarks)
{
    std::vector<LANGID> shipped;
    ::EnumResourceLanguagesW(nullptr, RT_STRING, MAKEINTRESOURCEW(IDS_BUTTON_NAME / 16 + 1),
                             AddLanguage, reinterpret_cast<LONG_PTR>(&shipped));
    std::sort(shipped.begin(), shipped.end());
    EXPECT_EQ(shipped, std::vector<LANGID>(std::begin(kLanguages), std::end(kLanguages)));

    const std::vector<UINT> ids = EnglishIDs();
    ASSERT_EQ(ids.size(), 55u);
    for (LANGID lang : kLanguages) {
        for (UINT nID : ids) {
            SCOPED_TRACE(testing::Message() << "language " << lang << ", string " << nID);
            std::wstring str;
            const std::wstring strEnglish = TextOf(kEnglish, nID);
            ASSERT_TRUE(TextOf(lang, nID, str));
            for (WCHAR ch : {L'&', L'%', L'\n', L'\t'})
                EXPECT_EQ(Count(str, ch), Count(strEnglish, ch)) << int(ch);
            EXPECT_EQ(EndsWith(str, L"..."), EndsWith(strEnglish, L"..."));
            EXPECT_EQ(EndsWith(str, L": "), EndsWith(strEnglish, L": "));
            EXPECT_EQ(EndsWithQuestion(str), EndsWithQuestion(strEnglish));
        }
    }
    // The names of the product and of the maker's scheme are the same everywhere.
    for (LANGID lang : kLanguages)
        for (UINT nID : {IDS_PRODUCT_NAME, IDS_DIALOG_TITLE, IDS_MAKER_SCHEME, IDS_ABOUT_PRODUCT})
            EXPECT_EQ(TextOf(lang, nID), TextOf(kEnglish, nID)) << lang << " " << nID;
}

namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Room a control leaves its text: push buttons draw a frame around it, check boxes their box.
enum Kind { kStatic, kPushButton, kCheckBox };

int Room(HWND hDlg, int nID, Kind kind)
{
    RECT rc = {};
    ::GetClientRect(::GetDlgItem(hDlg, nID), &rc);
    const int nFrame = kind == kPushButton ? 8 : kind == kCheckBox ? 18 : 0;
    return rc.right - nFrame;
}

BOOL CALLBACK AddFace(const LOGFONTW* plf, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(plf->lfFaceName);
    return TRUE;
}

// Whether the font has a glyph for each character.
bool Shows(HDC hDC, HFONT hFont, const std::wstring& str)
{
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    std::vector<WORD> glyphs(str.size());
    ::GetGlyphIndicesW(hDC, str.c_str(), static_cast<int>(str.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(hDC, hOld);
    return std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

// The font a window of that language shows its text in: the window's font in the character set of
// the language's code page. Where the face the system maps that to lacks the language's letters or
// the Latin ones (the product names), the first face of that character set that has both.
HFONT FontFor(HWND hWnd, LANGID lang)
{
    LOGFONTW lf = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    DWORD dwCodePage = 0;
    ::GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT),
                     LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&dwCodePage), sizeof(dwCodePage) / sizeof(WCHAR));
    CHARSETINFO csi = {};
    if (::TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<ULONG_PTR>(dwCodePage)), &csi,
                               TCI_SRCCODEPAGE))
        lf.lfCharSet = static_cast<BYTE>(csi.ciCharset);
    HFONT hFont = ::CreateFontIndirectW(&lf);
    const std::wstring strSample = TextOf(lang, IDS_BUTTON_NAME) + L"Market Monitor";
    HDC hDC = ::GetDC(hWnd);
    if (!Shows(hDC, hFont, strSample)) {
        std::vector<std::wstring> faces;
        LOGFONTW lfAll = {};
        lfAll.lfCharSet = lf.lfCharSet;
        ::EnumFontFamiliesExW(hDC, &lfAll, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
        for (const std::wstring& strFace : faces) {
            wcsncpy(lf.lfFaceName, strFace.c_str(), LF_FACESIZE - 1);
            HFONT hOther = ::CreateFontIndirectW(&lf);
            if (Shows(hDC, hOther, strSample)) {
                ::DeleteObject(hFont);
                hFont = hOther;
                break;
            }
            ::DeleteObject(hOther);
        }
    }
    ::ReleaseDC(hWnd, hDC);
    return hFont;
}

// How wide the text shows in that font, "&" taken as the underline it is.
int TextWidth(HWND hWnd, const std::wstring& str, HFONT hFont)
{
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    RECT rc = {};
    ::DrawTextW(hDC, str.c_str(), static_cast<int>(str.size()), &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return rc.right - rc.left;
}

struct Shown
{
    int nControl;
    UINT nString;
    Kind kind;
};

} // namespace

TEST(StringTableTest, EachTextFitsTheControlThatShowsIt)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    HWND hSettings = ::CreateDialogParamW(hInstance, MAKEINTRESOURCEW(IDD_BUTTON_SETTINGS), nullptr,
                                          QuietDialogProc, 0);
    HWND hAbout = ::CreateDialogParamW(hInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), nullptr,
                                       QuietDialogProc, 0);
    ASSERT_TRUE(hSettings && hAbout);
    const Shown settings[] = {
        {IDC_LABEL_SCHEME, IDS_SCHEME, kStatic},
        {IDC_LABEL_NAME, IDS_BUTTON_NAME, kStatic},
        {IDC_LABEL_ASSIGNMENT, IDS_BUTTON_ASSIGNMENT, kStatic},
        {IDC_ADD_SCHEME, IDS_ADD, kPushButton},
        {IDC_DELETE_SCHEME, IDS_DELETE, kPushButton},
        {IDC_BROWSE, IDS_BROWSE, kPushButton},
        {IDC_ABOUT, IDS_ABOUT, kPushButton},
        {IDC_HELP_BUTTON, IDS_HELP, kPushButton},
        {IDC_OK_BUTTON, IDS_OK, kPushButton},
        {IDC_CANCEL_BUTTON, IDS_CANCEL, kPushButton},
        {IDC_APPLY, IDS_APPLY, kPushButton},
        {IDC_TRAY_CHECK, IDS_SHOW_TRAY_ICON, kCheckBox},
    };
    const Shown about[] = {
        {IDOK, IDS_OK, kPushButton},
        {IDC_ABOUT_PRODUCT, IDS_ABOUT_PRODUCT, kStatic},
        {IDC_ABOUT_COPYRIGHT, IDS_ABOUT_COPYRIGHT, kStatic},
        {IDC_ABOUT_VERSION, IDS_ABOUT_VERSION, kStatic},
    };
    // The list's columns share its width a third and two thirds; a row shows a 16-pixel icon.
    HWND hList = ::GetDlgItem(hSettings, IDC_BUTTON_LIST);
    RECT rcList = {};
    ::GetWindowRect(hList, &rcList);
    const int nColumn[2] = {(rcList.right - rcList.left) / 3, (rcList.right - rcList.left) * 2 / 3 -
                                                                  ::GetSystemMetrics(SM_CXVSCROLL)};
    const UINT names[] = {IDS_NAME_INFORMATION, IDS_NAME_HOME,           IDS_NAME_SEARCH,
                          IDS_NAME_MAIL,        IDS_NAME_NEWS,           IDS_NAME_VOLUME_UP,
                          IDS_NAME_VOLUME_DOWN, IDS_NAME_MUTE,           IDS_HELP,
                          IDS_COMMUNITY,        IDS_SMART_CARD,          IDS_MEDIA,
                          IDS_SHOPPING_CART,    IDS_NAME_MARKET_MONITOR, IDS_NAME_MEETING_CENTER};
    const UINT titles[] = {IDS_INFORMATION_URL,
                           IDS_HOME_URL,
                           IDS_SEARCH_URL,
                           IDS_LAUNCH_EMAIL,
                           IDS_COMMUNITY_URL,
                           IDS_MARKET_MONITOR_URL,
                           IDS_MEETING_CENTER_URL,
                           IDS_NEWS_URL,
                           IDS_VOLUME_UP,
                           IDS_VOLUME_DOWN,
                           IDS_MUTE,
                           IDS_SMART_CARD,
                           IDS_MEDIA,
                           IDS_SHOPPING_CART,
                           IDS_COMMUNITY};
    // The assignment menu shows the titles and "Browse...": no wider than the dialog it opens on.
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    HFONT hMenuFont = ::CreateFontIndirectW(&ncm.lfMenuFont);
    RECT rcDialog = {};
    ::GetWindowRect(hSettings, &rcDialog);

    for (LANGID lang : kLanguages) {
        SCOPED_TRACE(testing::Message() << "language " << lang);
        HFONT hFont = FontFor(hSettings, lang), hAboutFont = FontFor(hAbout, lang);
        for (const Shown& s : settings)
            EXPECT_LE(TextWidth(hSettings, TextOf(lang, s.nString), hFont),
                      Room(hSettings, s.nControl, s.kind))
                << "control " << s.nControl;
        for (const Shown& s : about) {
            std::wstring str = TextOf(lang, s.nString);
            if (s.nString == IDS_ABOUT_VERSION) str += L"5.2.0.117";
            EXPECT_LE(TextWidth(hAbout, str, hAboutFont), Room(hAbout, s.nControl, s.kind))
                << "control " << s.nControl;
        }
        for (UINT n : {IDS_BUTTON_NAME, IDS_BUTTON_ASSIGNMENT})
            EXPECT_LE(TextWidth(hSettings, TextOf(lang, n), hFont),
                      nColumn[n == IDS_BUTTON_ASSIGNMENT] - 12)
                << "column header " << n;
        for (UINT n : names)
            EXPECT_LE(TextWidth(hSettings, TextOf(lang, n), hFont), nColumn[0] - 16 - 12)
                << "name " << n;
        for (UINT n : titles) {
            EXPECT_LE(TextWidth(hSettings, TextOf(lang, n), hFont), nColumn[1] - 16 - 12)
                << "title " << n;
            EXPECT_LE(TextWidth(hSettings, TextOf(lang, n), hMenuFont),
                      rcDialog.right - rcDialog.left)
                << "menu " << n;
        }
        ::DeleteObject(hFont);
        ::DeleteObject(hAboutFont);
    }
    ::DeleteObject(hMenuFont);
    ::DestroyWindow(hAbout);
    ::DestroyWindow(hSettings);
}
