// Target classification and icons, against real files and associations in the prefix.
#include "Session.h"
#include "StringPrinter.h"
#include "Undo.h"
#include "UserInput.h"
#include "res/Vocabulary.h"
#include "shell/TargetIcons.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const WCHAR kBrowser[] = L"\"C:\\Program Files\\Browser\\browser.exe\" ";

CString WindowsDir()
{
    return Expanded(L"$(windir)").c_str();
}

std::vector<DWORD> TargetIconPixels(const CString& strPath, const CString& strBrowser)
{
    return Pixels(GetTargetIcon(strPath, strBrowser));
}

} // namespace

TEST(TargetIconsTest, ProgramPathsOfCommandLines)
{
    const struct
    {
        LPCWSTR pszCommand, pszProgram;
    } cases[] = {
        {L"\"C:\\Program Files\\App\\app.exe\" /x \"%1\"", L"\"C:\\PROGRAM FILES\\APP\\APP.EXE\""},
        {L"C:\\My App\\app.exe %1", L"\"C:\\MY APP\\APP.EXE\""},
        {L"\"C:\\App\\app.exe\" \"%1\"", L"C:\\APP\\APP.EXE"},
        {L"C:\\App\\app.exe", L"C:\\APP\\APP.EXE"},
        {L" C:\\app.exe", L" C:\\APP.EXE"}, // a leading blank is not a blank in the path
        {L"a b.exe", L"\"A B.EXE\""},
        {L"notepad %1", L"NOTEPAD %1"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractProgramPath(c.pszCommand), c.pszProgram) << c.pszCommand;
}

TEST(TargetIconsTest, EnvironmentTokens)
{
    ::SetEnvironmentVariableW(L"KV_LONG", L"C:\\a folder longer than nineteen");
    ::SetEnvironmentVariableW(L"KV_SELF", L"%KV_SELF%x");
    ::SetEnvironmentVariableW(L"KV_19", L"C:\\abcdefghijklmnop");
    ::SetEnvironmentVariableW(L"KV_20", L"C:\\abcdefghijklmnopq");
    const CString strSystemRoot = WindowsDir();
    const struct
    {
        LPCWSTR pszText, pszBrowser;
        CString strExpected;
    } cases[] = {
        {L"%SystemRoot%\\notepad.exe", kBrowser, strSystemRoot + L"\\notepad.exe"},
        {L"%KV_UNDEFINED%\\a.exe", kBrowser, L"%KV_UNDEFINED%\\a.exe"},
        {L"50% off", kBrowser, L"50% off"},
        {L"%KV_LONG%\\x.exe %KV_LONG%", kBrowser,
         L"\"C:\\Program Files\\x.exe \"C:\\Program Files"},
        {L"%KV_LONG%\\x.exe", L"browser.exe", L"\\x.exe"},
        {L"%KV_19%\\x.exe", kBrowser, L"C:\\abcdefghijklmnop\\x.exe"}, // 19 characters fit
        {L"%SystemRoot%\\%KV_19%", kBrowser, strSystemRoot + L"\\C:\\abcdefghijklmnop"},
        {L"%KV_20%\\x.exe", kBrowser, L"\"C:\\Program Files\\x.exe"},
        {L"", kBrowser, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandEnvironmentTokens(c.pszText, c.pszBrowser), c.strExpected) << c.pszText;
    // A value that holds its own token ends all the same.
    EXPECT_EQ(ExpandEnvironmentTokens(L"%KV_SELF%", kBrowser).Left(9), L"%KV_SELF%");
    ::SetEnvironmentVariableW(L"KV_LONG", nullptr);
    for (LPCWSTR pszName : {L"KV_SELF", L"KV_19", L"KV_20"})
        ::SetEnvironmentVariableW(pszName, nullptr);
}

TEST(TargetIconsTest, WhichFileStandsForATarget)
{
    CUndo undo;
    undo.SetDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.kvd", L"KvTest.Document");
    undo.SetDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KvTest.Document\\Shell\\Open\\Command",
                    L"\"C:\\Program Files\\Kv Viewer\\viewer.exe\" /open \"%1\"");
    const CIconContext context = {kBrowser, L".htm .Html .PHP"};
    const CString strBrowser = kBrowser; // it names no environment token
    const struct
    {
        LPCWSTR pszTarget;
        CString strPath;
    } cases[] = {
        {L"", strBrowser}, // the empty extension is in every list
        {L"http://www.quelda.example/", strBrowser},
        {L"www.quelda.example", strBrowser},
        {L"C:\\HTTP Tools\\tool.exe", strBrowser},
        {L"C:\\WWWRoot\\tool.exe", L"C:\\WWWROOT\\TOOL.EXE"},
        {L"C:\\Pages\\index.html", strBrowser},
        {L"C:\\Pages\\index.htm", strBrowser},
        {L"c:\\links\\site.url", L"C:\\LINKS\\SITE.URL"},
        {L"C:\\Links.URL\\app.lnk", L"C:\\LINKS.URL\\APP.LNK"},
        {L"C:\\Dos\\app.pif", L"C:\\DOS\\APP.PIF"},
        {L"%SystemRoot%\\notepad.exe", WindowsDir() + L"\\NOTEPAD.EXE"},
        {L"C:\\Docs\\report.kvd", L"C:\\PROGRAM FILES\\KV VIEWER\\VIEWER.EXE"},
        {L"C:\\Docs\\report.none", L""},
        {L"\"C:\\Docs\\report.kvd\" /p", L"C:\\PROGRAM FILES\\KV VIEWER\\VIEWER.EXE"},
        {L"volume_up", L""},
        {L":", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetIconSourcePath(c.pszTarget, context), c.strPath) << c.pszTarget;
}

TEST(TargetIconsTest, BrowserFromTheHtmlAssociation)
{
    CUndo undo;
    undo.SetDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.html", L"KvTest.Page");
    undo.SetDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KvTest.Page\\shell\\open\\command",
                    L"\"C:\\Program Files\\Browser\\browser.exe\" -url \"%1\"");
    EXPECT_EQ(GetBrowserCommand(), L"\"C:\\Program Files\\Browser\\browser.exe\"");
    undo.SetDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KvTest.Page\\shell\\open\\command",
                    L"browse %1");
    EXPECT_EQ(GetBrowserCommand(), L"brow") << "no .exe: the first four characters";
}

TEST(TargetIconsTest, IconsOfRealFilesAndTheFallback)
{
    const std::vector<DWORD> unknown = ProgramIcon(IDI_UNKNOWN_TARGET);
    const CString strPlain = Expanded(L"$(TEMP)\\plain.kvnone").c_str();
    ::CloseHandle(::CreateFileW(strPlain, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const CString strNotepad = WindowsDir() + L"\\notepad.exe";

    EXPECT_EQ(GetTargetIcon(L"", strNotepad), nullptr);
    EXPECT_NE(TargetIconPixels(strNotepad, L""), unknown) << "a program with an icon";
    EXPECT_EQ(TargetIconPixels(L"C:\\Nowhere\\missing.exe", strNotepad), unknown);
    EXPECT_EQ(TargetIconPixels(strPlain, strNotepad), unknown) << "no icon of its own";
    EXPECT_EQ(TargetIconPixels(WindowsDir() + L"\\system32\\shell32.dll", strNotepad), unknown)
        << "only the shell's generic icon";
    ::DeleteFileW(strPlain);
    EXPECT_EQ(TargetIconPixels(CString(L'x', 2000), strNotepad), unknown);
    // An Internet shortcut shows the browser's icon, quoted or not, whether or not it exists.
    for (LPCWSTR pszShortcut : {L"C:\\NOWHERE\\SITE.URL", L"\"C:\\NOWHERE\\SITE.URL\""})
        EXPECT_EQ(TargetIconPixels(pszShortcut, strNotepad), TargetIconPixels(strNotepad, L""))
            << pszShortcut;
    EXPECT_EQ(TargetIconPixels(L"C:\\NOWHERE\\SITE.URL", L""), unknown);
}

TEST(TargetIconsTest, ButtonImagesInTheList)
{
    WCHAR szStart[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szStart);
    const CString strIcons = Expanded(L"$(TEMP)\\kv-icons").c_str();
    ::CreateDirectoryW(strIcons, nullptr);
    // Button icons of their own: an icon file, and a file that is no icon.
    const CString strArtwork = WinePath(ICONS_DIR "/mute.ico");
    ASSERT_TRUE(::CopyFileW(strArtwork, strIcons + L"\\mine.ico", FALSE));
    ASSERT_TRUE(::CopyFileW(strArtwork.Left(strArtwork.GetLength() - 8) + L"..\\app.rc",
                            strIcons + L"\\broken.ico", FALSE));

    HIMAGELIST hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 24);
    const CIconContext context = {L"", L""};
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_MAIL, 6, L"VOLUME_MUTE", 7, context);
    EXPECT_EQ(ImageList_GetImageCount(hImages), 30);
    auto image = [&](int n) { return Pixels(ImageList_GetIcon(hImages, n, ILD_NORMAL)); };
    EXPECT_EQ(image(6), ProgramIcon(IDI_BUTTON_MAIL));
    EXPECT_EQ(image(7), ProgramIcon(IDI_MUTE));
    UpdateButtonIcons(hImages, strIcons, L"..\\..\\missing.ico", IDI_BUTTON_NEWS, 16, L"VOLUME_UP",
                      17, context);
    EXPECT_EQ(image(16), ProgramIcon(IDI_BUTTON_NEWS));
    EXPECT_EQ(image(17), ProgramIcon(IDI_VOLUME));
    // The same words in lower case are ordinary targets; without an icon the image stays.
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"volume_down", 17, context);
    EXPECT_EQ(image(17), ProgramIcon(IDI_VOLUME));
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"C:\\missing.exe", 17, context);
    EXPECT_EQ(image(17), ProgramIcon(IDI_UNKNOWN_TARGET));
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"VOLUME_DOWN", 17, context);
    EXPECT_EQ(image(17), ProgramIcon(IDI_VOLUME));
    // The shell finds a bare program name on the search path; here it names no file.
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"notepad.exe", 17, context);
    EXPECT_EQ(image(17), ProgramIcon(IDI_UNKNOWN_TARGET));
    // A quoted program with its arguments shows the program's icon.
    const CString strNotepad = WindowsDir() + L"\\notepad.exe";
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, strNotepad, 17, context);
    const std::vector<DWORD> notepad = image(17);
    // Another image in between, so that the quoted target must put its own.
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"C:\\missing.exe", 17, context);
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16,
                      L"\"" + strNotepad + L"\" /p \"C:\\a b.txt\"", 17, context);
    EXPECT_EQ(image(17), notepad);
    EXPECT_NE(notepad, ProgramIcon(IDI_UNKNOWN_TARGET));
    // Only a program loses its quotes: a quoted shortcut with arguments names no file.
    UpdateButtonIcons(hImages, strIcons, L"", IDI_BUTTON_NEWS, 16, L"\"C:\\NOWHERE\\SITE.URL\" /x",
                      17, {strNotepad, L""});
    EXPECT_EQ(image(17), ProgramIcon(IDI_UNKNOWN_TARGET));
    UpdateButtonIcons(hImages, strIcons, L"mine.ico", IDI_BUTTON_NEWS, 16, L"", 17, context);
    EXPECT_NE(image(16), ProgramIcon(IDI_BUTTON_NEWS)) << "the file's icon";
    UpdateButtonIcons(hImages, strIcons, strIcons + L"\\broken.ico", IDI_BUTTON_NEWS, 16, L"", 17,
                      context);
    EXPECT_EQ(ImageList_GetImageCount(hImages), 30);

    WCHAR szNow[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szNow);
    EXPECT_EQ(CString(szNow).MakeUpper(), CString(strIcons).MakeUpper())
        << "the icons folder stays current";
    ImageList_Destroy(hImages);
    ::SetCurrentDirectoryW(szStart);
    ::DeleteFileW(strIcons + L"\\mine.ico");
    ::DeleteFileW(strIcons + L"\\broken.ico");
    ::RemoveDirectoryW(strIcons);
}

// Icons are kept between refreshes; a source replaced, deleted or changed shows at the next one,
// as it would in a new run.
TEST(TargetIconsTest, ImagesFollowChangedSourcesAtTheNextRefresh)
{
    CUndo undo;
    const std::wstring folder = Expanded(L"$(TEMP)\\kv-cache");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    undo.Then([folder] { ::RemoveDirectoryW(folder.c_str()); });
    const std::wstring own = folder + L"\\own.ico", tool = folder + L"\\tool.exe";
    undo.File(tool);
    undo.WriteFile(own, ReadAll(WinePath(ICONS_DIR "/news.ico").GetString()));
    undo.Key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail");

    WCHAR szStart[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szStart);
    HIMAGELIST hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 24);
    const CIconContext context = {L"", L""};
    // One button's own image and its target's, after a refresh with or without the kept icons.
    auto images = [&](const CString& strTarget, bool bForget = false) {
        if (bForget) ForgetIcons();
        UpdateButtonIcons(hImages, folder.c_str(), L"own.ico", IDI_BUTTON_NEWS, 0, strTarget, 1,
                          context);
        return std::make_pair(Pixels(ImageList_GetIcon(hImages, 0, ILD_NORMAL)),
                              Pixels(ImageList_GetIcon(hImages, 1, ILD_NORMAL)));
    };
    auto setMailClient = [&](const CString& strProgram) {
        undo.SetDefault(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail", L"K");
        undo.SetDefault(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail\\K\\shell\\open\\command",
                        strProgram.GetString());
    };
    const CString strTool = tool.c_str();

    const auto first = images(strTool); // no such program yet: the unknown target's icon
    EXPECT_EQ(first.second, ProgramIcon(IDI_UNKNOWN_TARGET));
    EXPECT_EQ(images(strTool), first) << "the kept icons are the same";
    // The button's icon file rewritten with another icon, stamped that many seconds after the
    // first was written.
    WIN32_FILE_ATTRIBUTE_DATA was = {};
    ::GetFileAttributesExW(own.c_str(), GetFileExInfoStandard, &was);
    auto rewrite = [&](const char* pszIcon, int nSeconds) {
        undo.WriteFile(own, ReadAll(WinePath(pszIcon).GetString()) + "tail");
        ULARGE_INTEGER time = {
            {was.ftLastWriteTime.dwLowDateTime, was.ftLastWriteTime.dwHighDateTime}};
        time.QuadPart += nSeconds * 10000000ULL;
        const FILETIME ft = {time.LowPart, time.HighPart};
        const HANDLE hOwn = ::CreateFileW(own.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(::SetFileTime(hOwn, nullptr, nullptr, &ft));
        ::CloseHandle(hOwn);
        return images(strTool).first;
    };
    // Within the file system's time granularity (two seconds on FAT) its size tells; icons of
    // one size are files of one size, and there the time tells.
    const std::vector<DWORD> volume = rewrite(ICONS_DIR "/volume.ico", 0);
    EXPECT_NE(volume, first.first) << "the button's icon file replaced";
    EXPECT_NE(rewrite(ICONS_DIR "/mute.ico", 10), volume) << "replaced by one of the same size";
    ASSERT_TRUE(::CopyFileW(WindowsDir() + L"\\notepad.exe", strTool, FALSE));
    const auto created = images(strTool);
    EXPECT_NE(created.second, first.second) << "the target there";
    EXPECT_EQ(created, images(strTool, true)) << "as a new run sees them";
    ::DeleteFileW(strTool);
    EXPECT_EQ(images(strTool).second, first.second) << "the target deleted";

    setMailClient(WindowsDir() + L"\\notepad.exe");
    const auto mail = images(kTargetMail);
    setMailClient(WindowsDir() + L"\\regedit.exe");
    EXPECT_NE(images(kTargetMail).second, mail.second) << "another mail client";
    EXPECT_EQ(images(kTargetMail), images(kTargetMail, true));

    ImageList_Destroy(hImages);
    ::SetCurrentDirectoryW(szStart);
    ForgetIcons();
}
