// The settings dialog as a user meets it: sessions on the dialog made on a thread of the test, with
// its real controls, over the real configuration service stand-in and a registry put back after
// each row.
#include "ConfigServiceStore.h"
#include "SettingsDialog.h"
#include "Undo.h"
#include "UserInput.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <string>

namespace {

using std::string;
using std::wstring;

const HKEY HKLM = HKEY_LOCAL_MACHINE, HKCU = HKEY_CURRENT_USER;
const WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
const WCHAR kLockKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM";
const WCHAR kShellFolders[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char kDefaults[] = "buttons=101,102,103,104,105,106,107,108,201,202,203\n"
                         "101|Information|InformationVal|http://info.example/|UNLOCKED\n"
                         "102|Home|HomeVal|http://home.example/|UNLOCKED\n"
                         "104|Mail|eMailVal|KVKMail|UNLOCKED\n"
                         "201|VolumeUp|VolumeUpVal|VOLUME_UP|LOCK\n";

// Two stored schemes besides the default one, "Lab]" stored as "Lab00000000", each with its own
// first button; the default scheme current.
const string kSchemes = "set schemes \"QUELDA|Work|Lab00000000\"; "
                        "set Work 101 Name \"Work name\"; "
                        "set Work 101 Title \"http://Work.example/\"; "
                        "set Work 101 Target \"http://Work.example/\"; "
                        "set Work 101 Lock \"UNLOCKED\"; "
                        "set Lab00000000 101 Name \"Lab00000000 name\"; "
                        "set Lab00000000 101 Lock \"UNLOCKED\"; ";

const string kMenu = "Information URL|Home URL|Search URL|Launch eMail|Community URL|"
                     "Market Monitor URL|Meeting Center URL|News URL|";

// A path as a row quotes it.
string Quoted(const wstring& path)
{
    string text = "\"";
    for (char ch : Utf8(path))
        text += ch == '\\' || ch == '"' ? string("\\") + ch : string(1, ch);
    return text + "\"";
}

wstring Favorites()
{
    WCHAR szFolder[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_FAVORITES | CSIDL_FLAG_CREATE, nullptr, 0, szFolder);
    return szFolder;
}

wstring TempFolder()
{
    WCHAR szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    return szTemp;
}

struct Row
{
    string row;
    std::function<void(CUndo&)> arrange = nullptr;
    const char* pszDefaults = kDefaults;
};

std::vector<Row> Rows()
{
    const wstring news = Favorites() + L"\\News.url",
                  tool = TempFolder() + L"browse test\\tool.exe";
    auto setTray = [](DWORD dw) {
        return [dw](CUndo& u) { u.SetDword(HKLM, kTrayKey, L"SystrayatBoot", dw); };
    };
    auto setLock = [](DWORD dw) {
        return [dw](CUndo& u) { u.SetDword(HKLM, kLockKey, L"SetLock", dw); };
    };
    auto setFavorites = [](DWORD dwType, const string& data) {
        return [dwType, data](CUndo& u) {
            u.SetValue(HKCU, kShellFolders, L"Favorites", dwType, data);
        };
    };
    auto browseFiles = [news, tool](CUndo& u) {
        u.SetValue(HKCU, kShellFolders, L"Favorites", REG_SZ, Bytes(Favorites()));
        u.WriteFile(news, "[InternetShortcut]\r\nURL=http://example.com/\r\n");
        u.Hide(TempFolder() + L"browse test");
        ::CreateDirectoryW((TempFolder() + L"browse test").c_str(), nullptr);
        u.Then([] { ::RemoveDirectoryW((TempFolder() + L"browse test").c_str()); });
        u.WriteFile(tool, "not a program");
    };
    return {
        // What the store holds shows in the rows, an empty field taking the default set's; the
        // help centre's old target is mended; loading leaves the current scheme as it was.
        {"set schemes \"QUELDA|Work\"; set current \"Work\"; set Work 102 Name \"My Home\"; "
         "set Work 102 Title \"http://mine.example/\"; set Work 102 Target "
         "\"http://mine.example/\"; "
         "set Work 103 Title \"Help centre\"; set Work 103 Target \"C:\\\\Nowhere\\\\helpctr.exe "
         "-mode "
         "x\"; set Work 103 Lock \"lock\"; expect row 1 0 \"My Home\"; "
         "expect row 1 1 \"http://mine.example/\"; expect row 0 0 \"Information\"; "
         "expect row 0 1 \"Information URL\"; expect row 3 1 \"Launch eMail\"; expect selected 0; "
         "expect enabled Delete Apply Name; expect current \"Work\"; row 2; expect disabled Name; "
         "press Apply; "
         "expect stored Work 103 Target \"C:\\\\windows\\\\Help\\\\windows.chm\"; "
         "expect stored Work 103 Lock \"LOCK\"",
         setLock(0)},

        // The box shows the stored names, "]" for "00000000", and selects the current scheme the
        // way the box searches: by prefix, after the default scheme's item.
        {"set schemes \"QUELDA|Work00000000|Homework|Home\"; set current \"Home\"; "
         "expect items \"Quelda|Work]|Homework|Home\"; expect box \"Homework\"; expect enabled "
         "Delete"},
        {"set schemes \"QUELDA|Work00000000|Home\"; set current \"Work00000000\"; "
         "expect box \"Work]\"; expect enabled Delete"},
        {"set schemes \"QUELDA|Home\"; expect box \"Quelda\"; expect disabled Delete"},
        {"set schemes \"QUELDA|Home\"; set current \"Elsewhere\"; expect box \"\"; "
         "expect enabled Delete"},

        // The tray flag checks the box; a locked first button locks its fields and Apply.
        {"expect checked Tray; expect disabled Name Target Browse Apply Delete", setTray(1),
         "buttons=201,101\n201|VolumeUp|VolumeUpVal|VOLUME_UP|lock\n"},

        // Apply and OK store the tray choice and start or end the tray program; OK ends the
        // dialog.
        {"press Tray; press Apply; expect tray 1 running; press Apply; expect tray 1 running; "
         "press Tray; press OK; expect closed; expect tray 0 stopped",
         setTray(0)},
        // Without the tray key nothing is written or started, but the scheme is still saved.
        {"box \"Saved here\"; press Add; press Tray; press Apply; expect tray none stopped; "
         "expect current \"Saved here\"",
         [](CUndo& u) { u.DeleteKey(HKLM, kTrayKey); }},
        // OK on the default scheme stores only the tray choice.
        {"scheme \"Quelda\"; target \"http://changed.example/\"; press Tray; press OK; "
         "expect closed; expect tray 0 stopped; "
         "expect stored QUELDA 101 Target \"http://info.example/\"; expect current \"QUELDA\"",
         setTray(1)},

        // A row picked, renamed and given a website, applied, then changed and dropped with
        // Escape. A new name alone shows in the list only at the next rebuild; the first Apply
        // writes every position into the current scheme as the dialog shows it.
        {"row 1; expect name \"Home\"; name \"Find, 100%\"; expect row 1 0 \"Home\"; "
         "target \"http://find.example/\"; expect row 1 0 \"Find, 100%\"; "
         "expect row 1 1 \"http://find.example/\"; press Apply; "
         "expect stored QUELDA 102 Target \"http://find.example/\"; "
         "expect stored QUELDA 102 Name \"Find, 100%\"; "
         "expect stored QUELDA 101 Title \"Information URL\"; "
         "target \"C:\\\\discarded.exe\"; key Escape; expect closed; "
         "expect stored QUELDA 102 Target \"http://find.example/\""},

        // A click locks a button with an empty lock only in set-lock mode, which on the default
        // scheme also disables Apply; LOCK is locked in both modes. Down on the last row keeps
        // it, Up goes back (passing the dialog's own, empty, scheme name: Apply comes back on),
        // any other key loads the first button.
        {"row 1; expect enabled Target Apply; row 2; expect disabled Name Browse; key Down; "
         "expect name \"Search\"; key Up; expect name \"Home\"; expect enabled Apply Target; "
         "key S; expect name \"Information\"; expect enabled Target",
         setLock(0),
         "buttons=101,102,103\n101|Information|InformationVal|http://i.example/|UNLOCKED\n"
         "102|Home|HomeVal|http://h.example/|\n103|Search|SearchVal|http://s.example/|LOCK\n"},
        {"row 1; expect disabled Target Apply; row 2; expect disabled Name Browse; key Down; "
         "expect name \"Search\"; key Up; expect name \"Home\"; expect enabled Apply; "
         "expect disabled Target; key S; expect name \"Information\"; expect enabled Target",
         setLock(1),
         "buttons=101,102,103\n101|Information|InformationVal|http://i.example/|UNLOCKED\n"
         "102|Home|HomeVal|http://h.example/|\n103|Search|SearchVal|http://s.example/|LOCK\n"},

        // Tab visits every enabled control in the template's order (Delete is off on the default
        // scheme).
        {"row 0; expect focus List; key Tab; expect focus Name; key Tab; expect focus Target; "
         "key Tab; expect focus Browse; key Tab; expect focus Tray; key Tab; expect focus About; "
         "key Tab; expect focus Help; key Tab; expect focus OK; key Tab; expect focus Cancel; "
         "key Tab; expect focus Apply; key Tab; expect focus Box; key Tab; expect focus Add; "
         "key Tab; expect focus List"},

        // The assignment menu: the mail client keeps its own target on any row; Escape picks
        // nothing. A default set naming position 1 "Help" and 4 "Community" has the help layout.
        {"row 7; menu \"Launch eMail\"; expect menu \"" + kMenu +
         "Volume Up|Volume Down|Mute|-|Browse...\"; expect target \"Launch eMail\"; "
         "expect focus Target; expect row 7 1 \"Launch eMail\"; menu \"-\"; "
         "expect target \"Launch eMail\"; press Apply; expect stored QUELDA 108 Target "
         "\"KVKMail\"; "
         "expect stored QUELDA 108 Title \"Launch eMail\""},
        {"menu \"-\"; expect menu \"Information URL|Help|Search URL|Launch eMail|Community|Media|"
         "Q|Shopping Cart|Volume Up|Volume Down|Mute|-|Browse...\"",
         nullptr,
         "buttons=101,102,103,104,105,106,107,108,201,202,203\n102|Help|Help|http://h.example/|\n"
         "105|Community|Community|http://c.example/|\n"},

        // "Browse..." opens the Favorites folder; the file chosen goes into the assignment field,
        // quoted when it has blanks; leaving the field makes it the target. Cancel keeps the text
        // but counts as a change.
        {"row 2; open " + Quoted(news) + "; menu \"Browse...\"; expect target " + Quoted(news) +
             "; expect focus Target; row 1; expect row 2 1 " + Quoted(news) +
             "; press Apply; expect stored QUELDA 103 Target " + Quoted(news),
         browseFiles},
        {"row 1; open " + Quoted(tool) + "; menu \"Browse...\"; expect target " +
             Quoted(L"\"" + tool + L"\"") + "; row 0; expect row 1 1 " +
             Quoted(L"\"" + tool + L"\"") + "; press Apply; expect stored QUELDA 102 Target " +
             Quoted(L"\"" + tool + L"\""),
         browseFiles},
        {kSchemes + "open \"\"; menu \"Browse...\"; expect target \"Information URL\"; "
                    "expect focus Target; answer No; scheme \"Work\"; "
                    "expect asked \"Button Assignment: Apply ?\"",
         setFavorites(REG_SZ, Bytes(L"C:\\no such folder\\Favorites"))},
        {"open \"\"; menu \"Browse...\"; expect target \"Information URL\"",
         setFavorites(REG_DWORD, Dword(7))},

        // Drops: a file shows its name and becomes the target once; of several files the last
        // stays; a drive root shows as its drive; a drag that only passes leaves typed text to be
        // taken as it is.
        {"drop files \"C:\\\\Tools\\\\App.exe\"; expect target \"App.exe\"; expect focus Target; "
         "row 1; expect row 0 1 \"App.exe\"; press Apply; "
         "expect stored QUELDA 101 Target \"C:\\\\Tools\\\\App.exe\"; "
         "expect stored QUELDA 101 Title \"App.exe\"; row 0; target \"http://typed.example/\"; "
         "press Apply; expect stored QUELDA 101 Target \"http://typed.example/\""},
        {"drop files \"C:\\\\a.txt|C:\\\\b.txt|D:\\\\last.doc\"; expect target \"last.doc\"; "
         "drop files \"C:\\\\\"; expect target \"C:\"; pass files \"C:\\\\passing.exe\"; "
         "target \"http://typed.example/\"; press Apply; "
         "expect stored QUELDA 101 Target \"http://typed.example/\""},
        // Text in both forms, and what is neither, which empties the field.
        {"drop wide \"http://grüße.example/\"; expect target \"http://grüße.example/\"; "
         "drop ansi \"http://日本.example/\"; expect target \"http://日本.example/\"; drop junk "
         "\"\"; "
         "expect target \"\""},

        // Scheme picks: with nothing changed nothing is asked and the scheme loads, an empty
        // field taking the default set's, its first row in the edits but no row selected; a shown
        // "]" is asked for in its stored form; the default scheme is the default set, and the
        // service is not told.
        {kSchemes +
         "expect items \"Quelda|Work|Lab]\"; scheme \"Work\"; expect name \"Work name\"; "
         "expect target \"http://Work.example/\"; expect current \"Work\"; expect selected -1; "
         "expect row 0 1 \"http://Work.example/\"; expect enabled Delete Apply; key Down; "
         "expect name \"Work name\"; expect selected 0; "
         "row 1; expect name \"Home\"; expect enabled Name Target; "
         "scheme \"Lab]\"; expect name \"Lab00000000 name\"; expect current \"Lab00000000\"; "
         "scheme \"Quelda\"; expect name \"Information\"; expect target \"Information URL\"; "
         "expect current \"Lab00000000\"; expect disabled Delete"},
        // Unsaved changes when another scheme is picked: Cancel keeps them while the box shows
        // the new name, No drops them, Yes stores them under the old scheme first.
        {kSchemes +
         "scheme \"Work\"; target \"http://changed.example/\"; answer Cancel; scheme \"Quelda\"; "
         "expect asked \"Button Assignment: Apply ?\"; expect box \"Quelda\"; "
         "expect target \"http://changed.example/\"; expect selected -1; "
         "answer No; scheme \"Quelda\"; expect asked \"Button Assignment: Apply ?\"; "
         "expect target \"Information URL\"; expect stored Work 101 Target "
         "\"http://Work.example/\"; "
         "scheme \"Work\"; target \"http://kept.example/\"; answer Yes; scheme \"Lab]\"; "
         "expect stored Work 101 Target \"http://kept.example/\"; expect name \"Lab00000000 "
         "name\"; "
         "restart; scheme \"Work\"; expect target \"http://kept.example/\""},
        // Add: a name the box has in other letters does nothing; a new one starts a copy of the
        // default set that only saving stores, the edits keeping what they showed; an empty name
        // resets the set and adds nothing.
        {kSchemes +
         "scheme \"Work\"; box \"wORK\"; press Add; expect items \"Quelda|Work|Lab]\"; "
         "expect name \"Work name\"; box \"Trip]1\"; press Add; "
         "expect items \"Quelda|Work|Lab]|Trip]1\"; expect box \"Trip]1\"; "
         "expect name \"Work name\"; expect row 0 0 \"Information\"; expect enabled Delete Target; "
         "expect schemes \"QUELDA|Work|Lab00000000\"; row 8; expect enabled Name; "
         "row 0; target \"http://trip.example/\"; press Apply; "
         "expect schemes \"QUELDA|Work|Lab00000000|Trip000000001\"; "
         "expect stored Trip000000001 101 Target \"http://trip.example/\"; "
         "box \"\"; press Add; expect items \"Quelda|Work|Lab]|Trip]1\"; "
         "expect row 0 1 \"Information URL\"; restart; expect items \"Quelda|Work|Lab]|Trip]1\""},
        // A comma in a name: stored whole, listed by the service as two names.
        {kSchemes + "box \"Home, away\"; press Add; expect items \"Quelda|Work|Lab]|Home, away\"; "
                    "press Apply; restart; expect items \"Quelda|Work|Lab]|Home| away\"; "
                    "expect stored \"Home, away\" 101 Name \"Information\""},
        // A stored scheme the box does not show comes back with its settings when it is added.
        {"expect items \"Quelda\"; set schemes \"QUELDA|Late\"; set Late 102 Name \"Late home\"; "
         "box \"late\"; press Add; expect items \"Quelda|late\"; "
         "expect row 1 0 \"Late home\"; restart; expect items \"Quelda|Late\""},
        // Delete: a name the box lacks is not asked about; No keeps the scheme; Yes removes it
        // and shows the default scheme, locked; the default scheme typed over a picked one
        // removes the picked item from the box and keeps the default scheme stored; "]" removes
        // "00000000".
        {kSchemes +
         "scheme \"Work\"; box \"Nowhere\"; press Delete; expect items \"Quelda|Work|Lab]\"; "
         "scheme \"Work\"; answer No; press Delete; "
         "expect asked \"Quelda Kivora Button Software: Are you sure you want to remove the "
         "Scheme?\"; expect items \"Quelda|Work|Lab]\"; "
         "expect schemes \"QUELDA|Work|Lab00000000\"; expect name \"Work name\"; answer Yes; "
         "press Delete; expect items \"Quelda|Lab]\"; expect schemes \"QUELDA|Lab00000000\"; "
         "expect current \"QUELDA\"; expect stored Work 101 Name \"<none>\"; "
         "expect box \"Quelda\"; expect name \"Information\"; "
         "expect disabled Name Target Browse Delete; "
         "scheme \"Lab]\"; expect enabled Delete; box \"Quelda\"; answer Yes; press Delete; "
         "expect items \"Quelda\"; expect schemes \"QUELDA|Lab00000000\"; "
         "expect stored QUELDA 101 Name \"Information\"; "
         "restart; scheme \"Lab]\"; answer Yes; press Delete; expect schemes \"QUELDA\"; "
         "expect stored Lab00000000 101 Name \"<none>\"; restart; expect items \"Quelda\""},
    };
}

// An Apply with the tray box checked starts the tray program; it goes with the row.
void StopTrayProgram()
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

} // namespace

// SESSION_TRACE=<file> writes the configuration service's calls of each row there, to compare the
// calls before and after a change inside the dialog.
TEST(SettingsDialogTest, Sessions)
{
    ::CoInitialize(nullptr);
    const char* pszTrace = getenv("SESSION_TRACE");
    std::ofstream trace;
    if (pszTrace) trace.open(pszTrace, std::ios::binary);
    for (const Row& r : Rows()) {
        CUndo undo;
        undo.Value(HKLM, kTrayKey, L"SystrayatBoot");
        if (r.arrange) r.arrange(undo);
        CConfigServiceStore store(r.pszDefaults);
        if (pszTrace) store.SetFaults(L"log");
        {
            CSettingsDialog dlg;
            RunSession(dlg, r.row);
        }
        if (pszTrace) trace << "# " << r.row << "\n" << Utf8(store.TakeCalls());
        StopTrayProgram();
    }
    ::CoUninitialize();
}

// Help and F1 open the program's help page with the handler of web pages, here a recorder.
TEST(SettingsDialogTest, HelpButtonAndF1OpenTheHelpPage)
{
    ::CoInitialize(nullptr);
    const wstring record = TempFolder() + L"help-opened.txt";
    const wstring command =
        L"\"" + wstring(WinePath(RECORDER_PATH)) + L"\" \"" + record + L"\" \"%1\"";
    CUndo undo;
    undo.SetValue(HKLM, L"Software\\Classes\\.html", L"", REG_SZ, Bytes(L"KvTest.Help"));
    undo.Key(HKLM, L"Software\\Classes\\KvTest.Help");
    undo.SetValue(HKLM, L"Software\\Classes\\KvTest.Help\\shell\\open\\command", L"", REG_SZ,
                  Bytes(command));
    CWinApp app; // the program's, whose help page the dialog opens
    const wstring helpPage = app.m_pszHelpFilePath;
    undo.WriteFile(helpPage, "<p>help</p>"); // the program has its page beside it
    auto opened = [&] {
        std::string line;
        EXPECT_TRUE(WaitUntil([&] {
            std::getline(std::ifstream(record.c_str()), line);
            return !line.empty();
        })) << "nothing opened";
        ::DeleteFileW(record.c_str());
        return line;
    };
    CConfigServiceStore store(kDefaults);
    CSettingsDialog dlg;
    RunSession(dlg, "press Help");
    EXPECT_NE(opened().find(Utf8(helpPage)), string::npos) << "the Help button";
    // F1 reaches the dialog as WM_HELP from the focused control.
    HELPINFO info = {sizeof(info), HELPINFO_WINDOW, 1001, ::GetDlgItem(dlg.m_hDlg, 1001), 0, {}};
    EXPECT_EQ(::SendMessageW(dlg.m_hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
    EXPECT_NE(opened().find(Utf8(helpPage)), string::npos) << "F1";
    ::CoUninitialize();
}

TEST(SettingsDialogTest, DISABLED_MenuWithoutVolumeEntries)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CSettingsDialog dlg;
    RunSession(dlg, "menu \"-\"; expect menu \"" + kMenu + "-|Browse...\"");
    ::CoUninitialize();
}

// Windows before 2000 (and the 9x family, for 32-bit programs) have no volume entries.
TEST(SettingsDialogTest, OlderWindowsHaveNoVolumeEntries)
{
    std::vector<LPCWSTR> versions = {L"nt40"};
    if (sizeof(void*) == 4) versions.push_back(L"win98");
    for (LPCWSTR pszVersion : versions) {
        CUndo undo;
        undo.SetValue(HKCU, L"Software\\Wine\\AppDefaults\\dialog_tests.exe", L"Version", REG_SZ,
                      Bytes(pszVersion));
        EXPECT_EQ(RunOwnTest(L"SettingsDialogTest.DISABLED_MenuWithoutVolumeEntries"), 0u)
            << Utf8(pszVersion);
    }
}

namespace {

// Keeps the text dropped on its window: CF_TEXT read as UTF-16, as the field writes it.
class CRecordingTarget : public COleDropTarget
{
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD dwKeyState, POINT) override
    {
        return dwKeyState & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, POINT pt) override
    {
        return OnDragEnter(pWnd, pData, dwKeyState, pt);
    }
    BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT, POINT) override
    {
        if (const HGLOBAL hGlobal = pData->GetGlobalData(CF_TEXT)) {
            m_text = static_cast<LPCWSTR>(::GlobalLock(hGlobal));
            ::GlobalUnlock(hGlobal);
            ::GlobalFree(hGlobal);
        }
        m_nDrops++;
        return TRUE;
    }

    wstring m_text;
    std::atomic<int> m_nDrops{0};
};

POINT Centre(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

// The field's text dragged out with the mouse: its first 24 characters, moved (the field emptied)
// or with Ctrl copied; dragged onto the field itself it is set and then moved away.
TEST(SettingsDialogTest, TheFieldsTextDraggedOut)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CSettingsDialog dlg;
    RunSession(dlg, "target \"http://a-rather-long-address.example/\"");
    const HWND hField = ::GetDlgItem(dlg.m_hDlg, 1005);
    // A drop target beside the dialog, on the dialog's thread as the drag loop runs there.
    CWnd pad;
    CRecordingTarget recorder;
    CDialogOnThread::Invoke([&] {
        RECT rc = {};
        ::GetWindowRect(dlg.m_hDlg, &rc);
        pad.CreateEx(0, L"Edit", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, rc.right + 20, rc.top, 120,
                     120, nullptr, nullptr);
        recorder.Register(&pad);
    });
    auto dragTo = [&](HWND hTo, bool bControl, const std::function<bool()>& done) {
        CDialogOnThread::Invoke([bControl] {
            BYTE keys[256] = {};
            ::GetKeyboardState(keys);
            keys[VK_CONTROL] = bControl ? 0x80 : 0;
            ::SetKeyboardState(keys);
        });
        DragMouse(Centre(hField), Centre(hTo));
        EXPECT_TRUE(WaitUntil(done)) << "the drag did not end";
    };
    auto field = [&] { return WindowText(hField); };

    dragTo(pad.m_hWnd, false, [&] { return recorder.m_nDrops == 1; });
    EXPECT_EQ(recorder.m_text, L"http://a-rather-long-add");
    EXPECT_EQ(field(), L"") << "a move empties the field";
    ::SendMessageW(hField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"http://kept.example/"));
    dragTo(pad.m_hWnd, true, [&] { return recorder.m_nDrops == 2; });
    EXPECT_EQ(recorder.m_text, L"http://kept.example/");
    EXPECT_EQ(field(), L"http://kept.example/") << "a copy keeps it";
    dragTo(hField, false, [&] { return field().empty(); });
    CDialogOnThread::Invoke([&] {
        recorder.Revoke();
        pad.DestroyWindow();
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    });
    ::CoUninitialize();
}

// Three schemes over every button, with texts of quotes, bars, line breaks, other scripts and a
// 259-character path, go to a file from the system menu, are deleted, and come back from it
// exactly as they were; imported again they replace themselves only when the user says so.
TEST(SettingsDialogTest, SchemesGoToAFileAndComeBack)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CUndo undo;
    const wstring file = TempFolder() + L"kept.kbschemes";
    undo.File(file);
    const wstring key = L"Software\\Kivora Stand-ins\\Button Configuration";
    const WCHAR kSchemes[] = L"QUELDA\0One\0Two00000000\0Three\0";
    ::RegSetKeyValueW(HKCU, key.c_str(), L"Schemes", REG_MULTI_SZ, kSchemes, sizeof(kSchemes));
    for (const wstring scheme : {L"One", L"Two00000000", L"Three"})
        for (const wstring id : {L"101", L"102", L"103", L"104", L"105", L"106", L"107", L"108",
                                 L"201", L"202", L"203"}) {
            const wstring text = scheme + id + L" \"q\" | a,b\r\nc \x05D0\x65E5";
            const wstring values[][2] = {
                {L"Name", text},
                {L"Title", text + L" title"},
                {L"Target", id == L"103" ? L"C:\\" + wstring(252, L'p') + L".exe" : text},
                {L"Lock", id == L"102" ? L"LOCK" : L""}};
            for (const auto& v : values)
                ::RegSetKeyValueW(HKCU, (key + L"\\Settings\\" + id).c_str(),
                                  (scheme + L":" + v[0]).c_str(), REG_SZ, v[1].c_str(),
                                  static_cast<DWORD>((v[1].size() + 1) * sizeof(WCHAR)));
        }
    const string imported =
        "expect asked \"Quelda Kivora Button Software: Schemes imported: 3. Button settings "
        "skipped, for buttons this keyboard does not have: 0.\"";
    CSettingsDialog dlg;
    RunSession(dlg, "open " + Quoted(file) + "; system \"Export schemes...\"");
    const StoreMap before = ReadStore();
    RunSession(dlg, "scheme \"One\"; answer Yes; press Delete; scheme \"Two]\"; answer Yes; "
                    "press Delete; scheme \"Three\"; answer Yes; press Delete; "
                    "expect schemes \"QUELDA\"");
    RunSession(dlg, "open " + Quoted(file) + "; answer OK; system \"Import schemes...\"; " +
                        imported + "; expect items \"Quelda|One|Two]|Three\"");
    EXPECT_EQ(StoreDifference(before, ReadStore()), "");
    RunSession(dlg, "open " + Quoted(file) +
                        "; answer No; answer OK; system \"Import schemes...\"; "
                        "expect asked \"Quelda Kivora Button Software: Schemes imported: 0. Button "
                        "settings skipped, "
                        "for buttons this keyboard does not have: 0.\"");
    // An unsaved edit and the current scheme stay as they were.
    RunSession(dlg, "row 1; name \"Unsaved\"; open " + Quoted(file) +
                        "; answer Yes; answer OK; system \"Import schemes...\"; " + imported +
                        "; expect name \"Unsaved\"; "
                        "expect current \"QUELDA\"");
    EXPECT_EQ(StoreDifference(before, ReadStore()), "");
    ::CoUninitialize();
}
