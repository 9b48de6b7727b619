// Scripted sessions with the settings dialog: one row of text says what a user does and what they
// or the store should see, e.g.
//
//   row 1; target "http://x.example/"; press Apply; expect stored QUELDA 102 Target
//   "http://x.example/"
//
// Steps are separated by ";". A word is plain (no blanks, taken as it stands) or quoted, with \n
// \r \t \0 \" \\ \xNN \uNNNN escapes; "ab"*3 repeats a text, "k#"#3 too with "#" numbered from 1;
// texts side by side make one word. $(NAME) in a word is the environment variable's value.
// Arrangements, done before the dialog opens; all but "set" undone when the session's undo goes:
//   set S ID F T               store T as field F (Name Title Target Lock) of button ID in scheme S
//   set schemes T | set current T   the stored scheme list ("|") and the current scheme
//   reg KEY NAME TYPE DATA      a value (HKLM\... or HKCU\...; "" the key's own) of a type: sz
//                              expand multi ("\0" between texts) unterminated dword qword binary
//                              (a byte a character)
//   reg KEY NAME delete | reg KEY delete   a value or a whole key removed
//   file PATH T | file16 PATH T   a file of those bytes (a character each) or of UTF-16 text
//   hide PATH                  moves the file aside, or each one a "*" finds (at least one)
//   folder PATH | copy FROM TO a folder made, a file copied
//   defaults T                 the configuration service's defaults, its store seeded from them
//   row N                      click row N of the button list
//   name T | target T          type T into the name or assignment field and leave it for the list
//   box T                      type T into the scheme box
//   scheme T                   pick T from the scheme box's list
//   key K                      a key to the button list (Down Up Home End Escape Tab, a letter)
//   press B                    click a button: Apply OK Cancel Add Delete About Help Browse Tray
//   answer B                   the next message box is answered with B: Yes No Cancel OK (one
//                              step for each box to come)
//   open T                     the next Open dialog opens T ("" cancels it)
//   menu T                     Browse..., then pick the menu item T ("-" leaves the menu)
//   system T                   the command of the dialog's system menu item T ("-" none); the
//                              items go to "expect menu", a greyed one marked " (grey)"
//   about T                    About: its version line must read T; then closed with OK
//   drop [K] T | pass [K] T    drop on the assignment field, or drag over it without dropping:
//                              K text (the default), files ("|" between paths), wide (CF_TEXT
//                              holding UTF-16), ansi (8-bit CF_TEXT, T plus "-8bit", beside T as
//                              CF_UNICODETEXT), junk (formats nobody knows)
//   hold Ctrl                  the next drag holds Ctrl down
//   restart                    close the dialog and open it again over the same store
//   expect name|target|box T   a field's text
//   expect text B T            a control's text, by its button name as for "press"
//   expect row N C T           the list's text in row N, column C
//   expect selected N          the selected row
//   expect enabled|disabled B  a control's state, by its button name or Name Target List Box
//   expect checked|unchecked Tray
//   expect focus B             the control with the keyboard focus
//   expect items T             the scheme box's items, joined with "|"
//   expect menu T              the last menu's items, joined with "|", a separator as "-"; "...T"
//                              the items it ends with
//   expect asked T             a message box answered by the last step that showed any:
//                              "Caption: text"
//   expect effect E            what the last drag's source was told: move, copy or none
//   expect open T              the last Open dialog as it came: "folder|name|filters", the
//                              filters joined with ";"
//   expect stored S ID F T     the store's field F of button ID in scheme S
//   expect schemes T           the stored scheme list, joined with "|"
//   expect current T           the stored current scheme
//   expect tray F R            the tray flag (a number, "none" without its key), the tray
//                              program running or stopped
//   expect closed              the dialog has gone
// The dialog opens at the first step that is not an arrangement. A step that waits
// (for a box, a menu, the dialog) fails within seconds when nothing comes; a message box nobody
// announced with "answer" is closed and fails the step.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Polls the condition until it holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeout = 10000);

// The dialog a session drives: the program in a process of its own, or the dialog on a thread of
// the test's own process. Either way the session reaches it only through its windows.
class CDialogUnderTest
{
public:
    virtual ~CDialogUnderTest() = default;
    // Opens the dialog; false when none came.
    virtual bool Open() = 0;
    // Closes it as the close box does, when it is still open, and waits for its end.
    virtual void Close() = 0;

    HWND m_hDlg = nullptr;
    DWORD m_dwThread = 0, m_dwProcess = 0;
};

// A program (ButtonConfig.exe, or another) with those parameters, named by its Windows path or a
// Unix path of the build. Its exit code is kept when it ends (99: ended by force).
class CProgramUnderTest : public CDialogUnderTest
{
public:
    CProgramUnderTest(std::wstring path, std::wstring params = std::wstring())
        : m_path(std::move(path)), m_params(std::move(params))
    {
    }
    CProgramUnderTest(const char* pszUnixPath, std::wstring params = std::wstring());
    ~CProgramUnderTest() override { Close(); }
    bool Open() override;
    void Close() override;
    // Starts the program without waiting for a dialog (one that refuses to start, say).
    bool Start();
    // Waits for its end; its exit code.
    DWORD WaitForEnd(DWORD dwWait = 20000);

    DWORD m_dwExitCode = 0;
    HANDLE m_hProcess = nullptr;

private:
    std::wstring m_path, m_params;
};

// The dialog created modeless on a thread of this process (one for all of them), with OLE started
// there as the program starts it. MakeDialog runs on that thread and returns the dialog's window
// (its object must outlive it); DestroyDialog deletes the object there.
class CDialogOnThread : public CDialogUnderTest
{
public:
    CDialogOnThread(std::function<HWND()> makeDialog, std::function<void()> destroyDialog)
        : m_make(std::move(makeDialog)), m_destroy(std::move(destroyDialog))
    {
    }
    ~CDialogOnThread() override { Close(); }
    bool Open() override;
    void Close() override;
    // Runs the function on the dialog's thread and waits for it.
    static void Invoke(const std::function<void()>& fn);

private:
    std::function<HWND()> m_make;
    std::function<void()> m_destroy;
    bool m_bOpen = false;
};

class CUndo;

// Steps of a test's own, by their first word: run with the dialog (opened first when bDialog) and
// the session's undo object.
struct CustomStep
{
    bool bDialog;
    std::function<void(CDialogUnderTest&, CUndo&, const std::vector<std::wstring>& words)> run;
};
using CustomSteps = std::map<std::string, CustomStep>;

// Runs the steps of the row on the dialog (opened first when it is not); each failure names the
// row and the step. Arrangements are undone with pUndo, or at the end of the row without one.
void RunSession(CDialogUnderTest& dlg, const std::string& row, CUndo* pUndo = nullptr,
                const CustomSteps& custom = CustomSteps());
// Only the arrangements and the test's own steps that need no dialog.
void Arrange(const std::string& steps, CUndo& undo, const CustomSteps& custom = CustomSteps());
// The text with each $(NAME) replaced by the environment variable's value.
std::wstring Expanded(const std::wstring& text);
// The words of a step, as a session reads them.
std::vector<std::wstring> Words(const std::string& step);
// The rows of a table file of the source tree: "#" starts a comment line; a line that starts with
// a blank continues the row, whose line before must end with ";" or "|"; "@name = text" defines a
// name that the rows after it stand for text.
std::vector<std::string> TableRows(const char* pszUnixPath);
// The parts of a row between "|" outside quotes, their blanks trimmed.
std::vector<std::string> Columns(const std::string& row);
// The configuration service's store emptied and seeded by the service from those defaults (the
// installed ones when null), the defaults file put back by the undo object.
void SeedStore(CUndo& undo, const char* pszDefaults);

// A registry key as a whole: "Settings\101\QUELDA:Target" and the like to their data (texts as
// text, lists joined with "|", other types as their bytes after the type's number); "\Current"
// for a value of the key itself, "Settings\101\" for a key.
using StoreMap = std::map<std::wstring, std::wstring>;
// The stand-in's store (HKCU); the product's tray and lock keys (HKLM).
inline constexpr WCHAR kStoreKey[] = L"Software\\Kivora Stand-ins\\Button Configuration";
inline constexpr WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
inline constexpr WCHAR kLockKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM";
StoreMap ReadRegistry(HKEY hRoot, const std::wstring& path);
// The configuration service stand-in's store.
StoreMap ReadStore();
// The store values a row checks with "expect stored", "expect schemes" and "expect current".
std::vector<std::wstring> StoreKeysChecked(const std::string& row);
// What one store holds that the other does not, one entry a line, for a failure message.
std::string StoreDifference(const StoreMap& a, const StoreMap& b);
std::string Utf8(const std::wstring& str);
// A window's text, in this process or another.
std::wstring WindowText(HWND hWnd);
// The ids of the running processes of that file name.
std::vector<DWORD> ProcessesNamed(LPCWSTR pszExe);
