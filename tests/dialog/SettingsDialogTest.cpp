// The settings dialog as a user meets it: sessions on the dialog made on a thread of the test, with
// its real controls, over the real configuration service stand-in and a registry put back after
// each row.
#include "ConfigServiceStore.h"
#include "SettingsDialog.h"
#include "Undo.h"
#include "UserInput.h"
#include "framework/WinApp.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <string>

namespace {

using std::string;
using std::wstring;

const HKEY HKLM = HKEY_LOCAL_MACHINE, HKCU = HKEY_CURRENT_USER;

const char kDefaults[] = "buttons=101,102,103,104,105,106,107,108,201,202,203\n"
                         "101|Information|InformationVal|http://info.example/|UNLOCKED\n"
                         "102|Home|HomeVal|http://home.example/|UNLOCKED\n"
                         "104|Mail|eMailVal|KVKMail|UNLOCKED\n"
                         "201|VolumeUp|VolumeUpVal|VOLUME_UP|LOCK\n";

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

// icon ROW COLUMN ID: the list shows this program's icon resource ID in that row and column, or
// with "!ID" another picture. The dialog is in this process, so its image list can be read.
const CustomSteps kTableSteps = {
    {"icon", {true, [](CDialogUnderTest& dlg, CUndo&, const std::vector<wstring>& w) {
                  const HWND hList = ::GetDlgItem(dlg.m_hDlg, 1000);
                  LVITEMW item = {};
                  item.mask = LVIF_IMAGE;
                  item.iItem = _wtoi(w[1].c_str());
                  item.iSubItem = _wtoi(w[2].c_str());
                  ::SendMessageW(hList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
                  const auto hImages = reinterpret_cast<HIMAGELIST>(
                      ::SendMessageW(hList, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
                  const bool bNot = w[3][0] == L'!';
                  EXPECT_EQ(Pixels(ImageList_GetIcon(hImages, item.iImage, ILD_NORMAL)) ==
                                ProgramIcon(static_cast<UINT>(_wtoi(w[3].c_str() + bNot))),
                            !bNot)
                      << "icon " << Utf8(w[3]);
              }}}};

} // namespace

// The sessions of the table, each on a dialog of its own. SESSION_TRACE=<file> writes the
// configuration service's calls of each row there, to compare the calls before and after a change
// inside the dialog.
TEST(SettingsDialogTest, Sessions)
{
    ::CoInitialize(nullptr);
    ::SetEnvironmentVariableW(L"KV_FAVORITES", Favorites().c_str());
    const char* pszTrace = getenv("SESSION_TRACE");
    std::ofstream trace;
    if (pszTrace) trace.open(pszTrace, std::ios::binary);
    const testing::TestResult* pResult =
        testing::UnitTest::GetInstance()->current_test_info()->result();
    int nFailedRows = 0;
    for (const string& row : TableRows(SESSIONS_TABLE)) {
        const int nFailuresBefore = pResult->total_part_count();
        CConfigServiceStore store(kDefaults);
        CUndo undo;
        undo.Value(HKLM, kTrayKey, L"SystrayatBoot");
        if (pszTrace) store.SetFaults(L"log");
        {
            CSettingsDialog dlg;
            RunSession(dlg, row, &undo, kTableSteps);
        }
        if (pszTrace) trace << "# " << row << "\n" << Utf8(store.TakeCalls());
        StopTrayProgram();
        // A dialog broken throughout would make every row wait out its timeouts.
        if (pResult->total_part_count() > nFailuresBefore && ++nFailedRows == 5) {
            ADD_FAILURE() << "five rows failed: the rest were not run";
            break;
        }
    }
    ::CoUninitialize();
}

// Help and F1 open the program's help page with the handler of web pages, here a recorder.
TEST(SettingsDialogTest, HelpButtonAndF1OpenTheHelpPage)
{
    ::CoInitialize(nullptr);
    const wstring record = Expanded(L"$(TEMP)\\help-opened.txt");
    const wstring command =
        L"\"" + wstring(WinePath(RECORDER_PATH)) + L"\" \"" + record + L"\" \"%1\"";
    CUndo undo;
    undo.SetDefault(HKLM, L"Software\\Classes\\.html", L"KvTest.Help");
    undo.Key(HKLM, L"Software\\Classes\\KvTest.Help");
    undo.SetDefault(HKLM, L"Software\\Classes\\KvTest.Help\\shell\\open\\command", command);
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

// The assignment menu, ending as KV_MENU_END says: run in a process of its own by the test below.
TEST(SettingsDialogTest, DISABLED_MenuOfTheVersion)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CSettingsDialog dlg;
    RunSession(dlg, "menu \"-\"; expect menu \"...$(KV_MENU_END)\"");
    ::CoUninitialize();
}

// The Windows version Wine shows the program decides: before 2000, and in the 9x family before Me
// (which Wine shows 32-bit programs only), the menu has no volume entries.
TEST(SettingsDialogTest, VolumeEntriesFromWindows2000AndMe)
{
    const struct
    {
        LPCWSTR pszVersion;
        bool bVolume, b9x;
    } versions[] = {{L"win95", false, true},  {L"win98", false, true}, {L"winme", true, true},
                    {L"nt351", false, false}, {L"nt40", false, false}, {L"win2k", true, false},
                    {L"win10", true, false}};
    for (const auto& v : versions) {
        if (v.b9x && sizeof(void*) == 8) continue;
        CUndo undo;
        undo.SetValue(HKCU, L"Software\\Wine\\AppDefaults\\dialog_tests.exe", L"Version", REG_SZ,
                      Bytes(v.pszVersion));
        ::SetEnvironmentVariableW(L"KV_MENU_END",
                                  v.bVolume ? L"News URL|Volume Up|Volume Down|Mute|-|Browse..."
                                            : L"News URL|-|Browse...");
        EXPECT_EQ(RunOwnTest(L"SettingsDialogTest.DISABLED_MenuOfTheVersion"), 0u)
            << Utf8(v.pszVersion);
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
    // What another program may ask first: the formats on offer, and whether one is there.
    STDMETHODIMP Drop(IDataObject* pData, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override
    {
        IEnumFORMATETC* pFormats = nullptr;
        FORMATETC format = {};
        m_offered.clear();
        if (SUCCEEDED(pData->EnumFormatEtc(DATADIR_GET, &pFormats))) {
            while (pFormats->Next(1, &format, nullptr) == S_OK)
                m_offered += std::to_wstring(format.cfFormat) + L" ";
            pFormats->Release();
        }
        return COleDropTarget::Drop(pData, grfKeyState, pt, pdwEffect);
    }
    BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT, POINT) override
    {
        if (pData->IsDataAvailable(CF_TEXT) && !pData->IsDataAvailable(CF_HDROP))
            m_offered += L"text";
        if (const HGLOBAL hGlobal = pData->GetGlobalData(CF_TEXT)) {
            m_text = static_cast<LPCWSTR>(::GlobalLock(hGlobal));
            ::GlobalUnlock(hGlobal);
            ::GlobalFree(hGlobal);
        }
        m_nDrops++;
        return TRUE;
    }

    wstring m_text, m_offered;
    std::atomic<int> m_nDrops{0};
};

POINT Centre(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

// A click in the field, though it moves a pixel, drags nothing. The field's text dragged out with
// the mouse, offered as CF_TEXT alone: its first 24 characters, or its only one, moved (the field
// emptied, which then drags nothing) or with Ctrl copied, or with Escape not at all; dragged onto
// the field itself it is set and then moved away.
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

    ClickMouse(Centre(hField));
    EXPECT_FALSE(WaitUntil([&] { return field().empty(); }, 1000)) << "a click is not a drag";
    dragTo(pad.m_hWnd, false, [&] { return recorder.m_nDrops == 1; });
    EXPECT_EQ(recorder.m_text, L"http://a-rather-long-add");
    EXPECT_EQ(recorder.m_offered, L"1 text") << "CF_TEXT alone";
    EXPECT_EQ(field(), L"") << "a move empties the field";
    DragMouse(Centre(hField), Centre(pad.m_hWnd));
    EXPECT_FALSE(WaitUntil([&] { return recorder.m_nDrops > 1; }, 1000)) << "nothing to drag";
    ::SendMessageW(hField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"k"));
    dragTo(pad.m_hWnd, true, [&] { return recorder.m_nDrops == 2; });
    EXPECT_EQ(recorder.m_text, L"k");
    EXPECT_EQ(field(), L"k") << "a copy keeps it";
    DragMouse(Centre(hField), Centre(pad.m_hWnd), hField);
    dragTo(hField, false, [&] { return field().empty(); });
    EXPECT_EQ(recorder.m_nDrops, 2) << "Escape cancels a drag";
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
// exactly as they were; imported again they replace themselves only when the user says so. The
// export, its file named without the extension, replaces the file that was there when the user
// agrees.
TEST(SettingsDialogTest, SchemesGoToAFileAndComeBack)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CUndo undo;
    const wstring file = Expanded(L"$(TEMP)\\kept.kbschemes");
    undo.WriteFile(file, "an older file");
    const wstring key = kStoreKey;
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
    RunSession(dlg, "open " + Quoted(file.substr(0, file.rfind(L'.'))) +
                        "; answer Yes; system \"Export schemes...\"");
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
                        "for buttons this keyboard does not have: 0.\"; "
                        "expect items \"Quelda|One|Two]|Three\"");
    // An unsaved edit and the current scheme stay as they were.
    RunSession(dlg, "row 1; name \"Unsaved\"; open " + Quoted(file) +
                        "; answer Yes; answer OK; system \"Import schemes...\"; " + imported +
                        "; expect name \"Unsaved\"; "
                        "expect current \"QUELDA\"");
    EXPECT_EQ(StoreDifference(before, ReadStore()), "");
    ::CoUninitialize();
}
