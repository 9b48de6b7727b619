// The whole program against bad input and failing neighbours: one table of cases, each starting
// the real program with one fault or one odd input and acting as a user would. For every case the
// program must end in time with the exit code it gives for that case, and the configuration
// service's store must hold exactly what the case's actions leave there.
#include "ConfigServiceStore.h"
#include "DragData.h"
#include "EventServerProbe.h"
#include "StringPrinter.h"
#include "UserInput.h"
#include "config/ButtonConfig.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using std::wstring;

const WCHAR kStoreKey[] = L"Software\\Kivora Stand-ins\\Button Configuration";
const WCHAR kServiceFaultsKey[] = L"Software\\Kivora Stand-ins\\Button Configuration Faults";
const WCHAR kVersionKey[] = L"Software\\Kivora Stand-ins\\Version Library";
const WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
const WCHAR kLockKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM";
const WCHAR kWindowsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const WCHAR kServiceClassKey[] =
    L"Software\\Classes\\CLSID\\{BE65CB0E-7D55-11D2-A8A9-444553540000}";
const WCHAR kTrayTitle[] = L"Quelda Kivora System Tray Window";
const WCHAR kTooMany[] = L"Initialization file has too many buttons in button list";

// A registry tree as bytes: every key and value below the root, in enumeration order.
const DWORD kKey = 0xFFFFFFFF; // an entry for the key itself, which may hold no value

struct Entry
{
    wstring path, name;
    DWORD type;
    std::string data;
    bool operator==(const Entry& o) const
    {
        return path == o.path && name == o.name && type == o.type && data == o.data;
    }
};
using Tree = std::vector<Entry>;

void ReadTree(HKEY hRoot, const wstring& path, const wstring& relative, Tree& tree)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return;
    tree.push_back({relative, L"", kKey, ""}); // the key itself
    std::vector<WCHAR> name(16384);
    std::vector<BYTE> data(4 << 20);
    for (DWORD i = 0;; i++) {
        DWORD cchName = static_cast<DWORD>(name.size()), cb = static_cast<DWORD>(data.size()),
              dwType = 0;
        if (::RegEnumValueW(hKey, i, name.data(), &cchName, nullptr, &dwType, data.data(), &cb) !=
            ERROR_SUCCESS)
            break;
        tree.push_back({relative, wstring(name.data(), cchName), dwType,
                        std::string(reinterpret_cast<char*>(data.data()), cb)});
    }
    std::vector<wstring> subkeys;
    for (DWORD i = 0;; i++) {
        DWORD cchName = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(hKey, i, name.data(), &cchName, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name.data(), cchName);
    }
    ::RegCloseKey(hKey);
    for (const wstring& sub : subkeys)
        ReadTree(hRoot, path + L"\\" + sub, relative + L"\\" + sub, tree);
}

Tree ReadTree(HKEY hRoot, const wstring& path)
{
    Tree tree;
    ReadTree(hRoot, path, L"", tree);
    return tree;
}

void WriteTree(HKEY hRoot, const wstring& path, const Tree& tree)
{
    ::RegDeleteTreeW(hRoot, path.c_str());
    ::RegDeleteKeyW(hRoot, path.c_str());
    for (const Entry& e : tree) {
        HKEY hKey = nullptr;
        if (::RegCreateKeyExW(hRoot, (path + e.path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &hKey, nullptr) != ERROR_SUCCESS)
            continue;
        if (e.type != kKey)
            ::RegSetValueExW(hKey, e.name.c_str(), 0, e.type,
                             reinterpret_cast<const BYTE*>(e.data.data()),
                             static_cast<DWORD>(e.data.size()));
        ::RegCloseKey(hKey);
    }
}

std::string Bytes(const wstring& str, bool bTerminated = true)
{
    return std::string(reinterpret_cast<const char*>(str.c_str()),
                       (str.size() + (bTerminated ? 1 : 0)) * sizeof(WCHAR));
}

std::string Dword(DWORD dw)
{
    return std::string(reinterpret_cast<const char*>(&dw), 4);
}

wstring WindowsFile(LPCWSTR pszName)
{
    WCHAR szDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szDir, MAX_PATH);
    return wstring(szDir) + L"\\" + pszName;
}

wstring ProgramFilesDir()
{
    WCHAR sz[MAX_PATH] = {};
    DWORD cb = sizeof(sz) - sizeof(WCHAR);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kWindowsKey, L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, sz,
                   &cb);
    return sz;
}

wstring IconsFolder()
{
    return ProgramFilesDir() + L"\\QUELDA\\Kivora Button Support\\Icons";
}

// What a case changes, put back in reverse order when the case is over.
class CUndo
{
public:
    ~CUndo()
    {
        for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it)
            (*it)();
    }
    void Key(HKEY hRoot, const wstring& path)
    {
        HKEY hKey = nullptr;
        const bool bExists = ::RegOpenKeyExW(hRoot, path.c_str(), 0, KEY_READ, &hKey) == 0;
        if (hKey) ::RegCloseKey(hKey);
        const Tree tree = ReadTree(hRoot, path);
        Then([=] {
            ::RegDeleteTreeW(hRoot, path.c_str());
            ::RegDeleteKeyW(hRoot, path.c_str());
            if (bExists) WriteTree(hRoot, path, tree);
        });
    }
    // One value, put back as it was or deleted when there was none.
    void Value(HKEY hRoot, const wstring& key, LPCWSTR pszName)
    {
        const wstring name = pszName;
        DWORD dwType = 0, cb = 0;
        std::string data;
        bool bExists = false;
        HKEY hKey = nullptr;
        if (::RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            bExists = ::RegQueryValueExW(hKey, pszName, nullptr, &dwType, nullptr, &cb) == 0;
            data.resize(cb);
            if (bExists)
                ::RegQueryValueExW(hKey, pszName, nullptr, &dwType,
                                   reinterpret_cast<BYTE*>(&data[0]), &cb);
            ::RegCloseKey(hKey);
        }
        Then([=] {
            if (bExists)
                ::RegSetKeyValueW(hRoot, key.c_str(), name.c_str(), dwType, data.data(),
                                  static_cast<DWORD>(data.size()));
            else
                ::RegDeleteKeyValueW(hRoot, key.c_str(), name.c_str());
        });
    }
    void File(const wstring& path)
    {
        const DWORD dwAttributes = ::GetFileAttributesW(path.c_str());
        std::string bytes;
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bytes = ReadAll(path);
        Then([=] {
            if (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(path.c_str());
            else
                ::DeleteFileW(path.c_str());
            if (dwAttributes != INVALID_FILE_ATTRIBUTES &&
                !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
                WriteAll(path, bytes);
        });
    }
    void Then(std::function<void()> step) { m_steps.push_back(std::move(step)); }

    static std::string ReadAll(const wstring& path)
    {
        std::string bytes;
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return bytes;
        char chunk[65536];
        DWORD cb = 0;
        while (::ReadFile(h, chunk, sizeof(chunk), &cb, nullptr) && cb)
            bytes.append(chunk, cb);
        ::CloseHandle(h);
        return bytes;
    }
    static void WriteAll(const wstring& path, const std::string& bytes)
    {
        HANDLE h =
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD cb = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &cb, nullptr);
        ::CloseHandle(h);
    }

private:
    std::vector<std::function<void()>> m_steps;
};

// The changes a case makes before the program starts, each undone afterwards.
void SetValue(CUndo& undo, HKEY hRoot, const wstring& key, LPCWSTR pszName, DWORD dwType,
              const std::string& data)
{
    undo.Value(hRoot, key, pszName);
    HKEY hKey = nullptr;
    ::RegCreateKeyExW(hRoot, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegSetValueExW(hKey, pszName, 0, dwType, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
    ::RegCloseKey(hKey);
}

// A value of the store, after the store was seeded (the store goes with the case).
void WriteStore(LPCWSTR pszName, DWORD dwType, const std::string& data)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStoreKey, pszName, dwType, data.data(),
                      static_cast<DWORD>(data.size()));
}

void DeleteKey(CUndo& undo, HKEY hRoot, const wstring& key)
{
    undo.Key(hRoot, key);
    ::RegDeleteTreeW(hRoot, key.c_str());
    ::RegDeleteKeyW(hRoot, key.c_str());
}

void Ini(CUndo& undo, const std::string& bytes)
{
    undo.File(WindowsFile(L"radi.ini"));
    CUndo::WriteAll(WindowsFile(L"radi.ini"), bytes);
}

void ServiceFaults(CUndo& undo, LPCWSTR pszFaults)
{
    SetValue(undo, HKEY_CURRENT_USER, kServiceFaultsKey, L"Faults", REG_SZ, Bytes(pszFaults));
}

void EventFaults(CUndo& undo, LPCWSTR pszFaults)
{
    SetValue(undo, HKEY_CURRENT_USER, L"Software\\Kivora Stand-ins\\Event Server", L"Faults",
             REG_SZ, Bytes(pszFaults));
}

// Moves a file or folder away for the case.
void Hide(CUndo& undo, const wstring& path)
{
    const wstring hidden = path + L".hidden";
    if (::MoveFileW(path.c_str(), hidden.c_str()))
        undo.Then([=] { ::MoveFileW(hidden.c_str(), path.c_str()); });
}

wstring ProgramFolder()
{
    const CString strPath = WinePath(PROGRAM_PATH);
    return wstring(strPath.GetString()).substr(0, wstring(strPath.GetString()).rfind(L'\\'));
}

bool KillProcess(LPCWSTR pszExe)
{
    bool bKilled = false;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL b = ::Process32FirstW(hSnap, &pe); b; b = ::Process32NextW(hSnap, &pe))
        if (!_wcsicmp(pe.szExeFile, pszExe))
            if (HANDLE h = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pe.th32ProcessID)) {
                // Ended from inside, at once, as a crash handler would: ExitProcess on a thread of
                // its own. (Terminated from outside, its class stays registered with the system's
                // COM service, which then starts no new server for the rest of the session.)
                const auto pfnExit =
                    reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
                        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "ExitProcess")));
                HANDLE hThread = ::CreateRemoteThread(h, nullptr, 0, pfnExit,
                                                      reinterpret_cast<void*>(9), 0, nullptr);
                bKilled = hThread && ::WaitForSingleObject(h, 5000) == 0;
                if (hThread) ::CloseHandle(hThread);
                ::CloseHandle(h);
            }
    ::CloseHandle(hSnap);
    return bKilled;
}

// The program as the case runs it, with what the user does in its dialog.
struct CRun
{
    PROCESS_INFORMATION pi = {};
    HWND hDlg = nullptr;

    HWND Item(int nID) const { return ::GetDlgItem(hDlg, nID); }
    // A click on a button, or keys in a control, done when their handlers are: sent, so that
    // they come after what was sent before.
    void Click(int nID) const
    {
        ::SendMessageTimeoutW(Item(nID), BM_CLICK, 0, 0, SMTO_NORMAL, 120000, nullptr);
    }
    void Key(int nID, WORD wVk) const
    {
        ::SendMessageTimeoutW(Item(nID), WM_KEYDOWN, wVk, 1, SMTO_NORMAL, 20000, nullptr);
        ::SendMessageTimeoutW(Item(nID), WM_KEYUP, wVk, 0xC0000001, SMTO_NORMAL, 20000, nullptr);
    }
    void Focus(int nID) const
    {
        ::SendMessageW(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(nID)), TRUE);
    }
    // Text put into a field as a paste would, then the field left for the list.
    void Type(int nID, const wstring& text) const
    {
        Focus(nID);
        ::SendMessageW(Item(nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, EN_CHANGE),
                       reinterpret_cast<LPARAM>(Item(nID)));
        Focus(1000);
    }
    // Waits for the program to handle what was sent to it before.
    void Settle() const { ::SendMessageTimeoutW(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr); }
    // Answers the next box of the program with that caption; its text, or "" when none came.
    CString Answer(LPCWSTR pszCaption, int nButton, DWORD dwWait = 5000) const
    {
        for (const DWORD dwStart = ::GetTickCount(); ::GetTickCount() - dwStart < dwWait;
             ::Sleep(50))
            if (HWND hBox = FindDialogOf(pi.dwProcessId, pszCaption)) {
                const CString strText = ItemText(hBox, 0xFFFF);
                ::PostMessageW(hBox, WM_COMMAND, nButton, 0);
                return strText;
            }
        return L"";
    }
};

enum Outcome {
    kDialog,  // the dialog opens; the case acts in it and closes it; exit code 0
    kRefused, // the message about too many buttons, answered; exit code 1
};

struct Case
{
    std::string name;
    std::function<void(CUndo&)> arrange;
    wstring params;
    std::function<void(CRun&)> act;
    // What the store holds afterwards, given what it held before; null: exactly that.
    std::function<void(const Tree& before, const Tree& after)> check;
    Outcome outcome = kDialog;
    std::string defaults; // the service's defaults file for the case; empty: the installed one
};

const Entry* Find(const Tree& tree, const wstring& path, const wstring& name)
{
    for (const Entry& e : tree)
        if (!_wcsicmp(e.path.c_str(), path.c_str()) && !_wcsicmp(e.name.c_str(), name.c_str()))
            return &e;
    return nullptr;
}

std::string Utf8(const wstring& str)
{
    std::string utf8(str.size() * 3 + 1, '\0');
    utf8.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, str.c_str(), static_cast<int>(str.size()), &utf8[0],
                              static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

wstring ValueText(const Entry* e)
{
    if (!e) return L"<none>";
    wstring str(reinterpret_cast<const WCHAR*>(e->data.data()), e->data.size() / sizeof(WCHAR));
    while (!str.empty() && str.back() == L'\0')
        str.pop_back();
    return str;
}

// The store after an Apply of the unchanged dialog, read once: what every Apply case starts from.
Tree g_applied;

// An Apply leaves the plain Apply's store but for these values of these buttons of the default
// scheme, which must hold these texts.
void ExpectApplied(const Tree& after, const std::map<std::pair<wstring, wstring>, wstring>& changed)
{
    for (const Entry& e : g_applied) {
        auto it = changed.find({e.path, e.name});
        if (it == changed.end()) {
            EXPECT_TRUE(Find(after, e.path, e.name) && *Find(after, e.path, e.name) == e)
                << Utf8(e.path) << " " << Utf8(e.name);
        }
    }
    for (const auto& c : changed)
        EXPECT_EQ(Utf8(ValueText(Find(after, c.first.first, c.first.second))), Utf8(c.second))
            << Utf8(c.first.first) << " " << Utf8(c.first.second);
}

// The entries of one tree that the other lacks or holds otherwise, for the failure message.
std::string Difference(const Tree& a, const Tree& b)
{
    std::string text;
    for (const Entry& e : a) {
        const Entry* pOther = Find(b, e.path, e.name);
        if (!pOther || !(*pOther == e))
            text += Utf8(e.path) + " " + Utf8(e.name) + " (" + std::to_string(e.data.size()) +
                    " bytes: " + Utf8(ValueText(&e)).substr(0, 40) + " / " +
                    (pOther ? Utf8(ValueText(pOther)).substr(0, 40) : "none") + ")\n";
    }
    return text;
}

void Unchanged(const Tree& before, const Tree& after)
{
    EXPECT_TRUE(before == after) << Difference(before, after) << Difference(after, before);
}

void AppliedOnly(const Tree&, const Tree& after)
{
    ExpectApplied(after, {});
}

// Whatever was stored is still there as it was; what the case's actions add may be new.
void NothingLost(const Tree& before, const Tree& after)
{
    for (const Entry& e : before) {
        const Entry* pAfter = Find(after, e.path, e.name);
        EXPECT_TRUE(pAfter && *pAfter == e) << Utf8(e.path) << " " << Utf8(e.name);
    }
}

// Drops the formats on the assignment field from a thread of this process, through OLE.
void DropOnField(const CRun& run, const DragFormats& formats)
{
    RECT rc = {};
    ::GetWindowRect(run.Item(1005), &rc);
    ::SetForegroundWindow(run.hDlg);
    const POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    std::thread source([&] { DragFormatsTo(pt, formats, true); });
    source.join();
    run.Settle();
}

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    auto add = [&cases](std::string name, std::function<void(CUndo&)> arrange, wstring params,
                        std::function<void(CRun&)> act,
                        std::function<void(const Tree&, const Tree&)> check,
                        Outcome outcome = kDialog, std::string defaults = std::string()) {
        cases.push_back({std::move(name), std::move(arrange), std::move(params), std::move(act),
                         std::move(check), outcome, std::move(defaults)});
    };

    // The command line: the program takes none, and any it is given changes nothing.
    const wstring kQuotes = L"\"BUTTON=\"305\"\" \"\"\" \\\" \"";
    wstring strThousands, strHuge(32000, L'x'),
        strNonAscii = L"BUTTON=\x00DC\x65E5\x0639 \xD83D\xDE00";
    for (int i = 0; i < 3000; i++)
        strThousands += L" /p" + std::to_wstring(i);
    for (const auto& p : std::vector<std::pair<const char*, wstring>>{
             {"no parameters", L""},
             {"a button id", L"BUTTON=305"},
             {"32,000 characters", strHuge},
             {"3,000 parameters", strThousands},
             {"non-ASCII", strNonAscii},
             {"embedded quotes", kQuotes},
             {"an empty value", L"BUTTON="},
             {"a number too big", L"BUTTON=99999999999999999999999"},
             {"a negative number", L"BUTTON=-1"},
             {"a question", L"/? -h --help"},
             {"tabs and line breaks", L"\tBUTTON=1\r\n\x0001"},
             {"shell characters", L"%PATH% ^& | < > $HOME `x`"},
         })
        add(std::string("command line: ") + p.first, nullptr, p.second, nullptr, nullptr);

    // "radi.ini": whatever it holds, the dialog opens and nothing is stored.
    std::string strTenMegabytes;
    strTenMegabytes.reserve(10 << 20);
    while (strTenMegabytes.size() < (10u << 20))
        strTenMegabytes += "[icon]\r\nKey1=junk junk junk junk junk junk junk junk junk\r\n";
    std::string strBinary(65536, '\0');
    for (size_t i = 0; i < strBinary.size(); i++)
        strBinary[i] = static_cast<char>((i * 2654435761u) >> 13);
    const wstring iniUtf16 = L"[icon]\r\nKey1=Sample News.ico\r\n[Scan Codes]\r\nExtension "
                             L"Supported=.HTM.URL\r\n";
    std::string strManyKeys = "[icon]\r\n";
    for (int i = 0; i < 10000; i++)
        strManyKeys += "Key" + std::to_string(i) + "=x\r\n";
    for (const auto& ini : std::vector<std::pair<const char*, std::string>>{
             {"empty", ""},
             {"10 MB", strTenMegabytes},
             {"binary", strBinary},
             {"UTF-16 with BOM", "\xFF\xFE" + Bytes(iniUtf16, false)},
             {"UTF-16 without BOM", Bytes(iniUtf16, false)},
             {"UTF-8 with BOM", "\xEF\xBB\xBF[icon]\r\nKey1=Sample News.ico\r\n"},
             {"duplicate sections",
              "[icon]\r\nKey1=Sample News.ico\r\n[icon]\r\nKey1=Sample Information.ico\r\n"},
             {"a 300-character value", "[icon]\r\nKey1=" + std::string(300, 'a') + ".ico\r\n"},
             {"a 100,000-character value", "[icon]\r\nKey2=" + std::string(100000, 'b') + "\r\n"},
             {"entries outside the icons folder",
              "[icon]\r\nKey1=..\\..\\..\\windows\\system32\\notepad.exe\r\nKey2=C:\\windows\\win."
              "ini"
              "\r\nKey3=\\\\server\\share\\x.ico\r\n"},
             {"device names", "[icon]\r\nKey1=CON\r\nKey2=NUL\r\nKey3=COM1\r\nKey4=LPT1\r\nKey5="
                              "\\\\.\\PhysicalDrive0\r\nKey6=AUX.ico\r\n"},
             {"a huge extension list",
              "[Scan Codes]\r\nExtension Supported=" + std::string(100000, '.') + "\r\n"},
             {"odd extension list", "[Scan Codes]\r\nExtension Supported=*?;|<>\"\r\n"},
             {"broken lines",
              "[icon\r\nKey1\r\n=x\r\n]]]\r\n[Scan Codes\r\nExtension Supported\r\n"},
             {"10,000 keys", strManyKeys},
         })
        add(
            std::string("radi.ini: ") + ini.first,
            [bytes = ini.second](CUndo& u) { Ini(u, bytes); }, L"", nullptr, nullptr);
    add(
        "radi.ini: missing",
        [](CUndo& u) {
            u.File(WindowsFile(L"radi.ini"));
            ::DeleteFileW(WindowsFile(L"radi.ini").c_str());
        },
        L"", nullptr, nullptr);
    add(
        "radi.ini: a folder of that name",
        [](CUndo& u) {
            u.File(WindowsFile(L"radi.ini"));
            ::DeleteFileW(WindowsFile(L"radi.ini").c_str());
            ::CreateDirectoryW(WindowsFile(L"radi.ini").c_str(), nullptr);
        },
        L"", nullptr, nullptr);

    // The registry values the program reads, of the wrong type, huge or missing.
    const std::string strMegabyte(1 << 20, '\x01');
    for (const auto& v :
         std::vector<std::tuple<const char*, const WCHAR*, const WCHAR*, DWORD, std::string>>{
             {"SetLock as text", kLockKey, L"SetLock", REG_SZ, Bytes(L"1")},
             {"SetLock of one byte", kLockKey, L"SetLock", REG_BINARY, "\x01"},
             {"SetLock of eight bytes", kLockKey, L"SetLock", REG_QWORD,
              std::string("\x01\0\0\0\0\0\0\0", 8)},
             {"SetLock of a megabyte", kLockKey, L"SetLock", REG_BINARY, strMegabyte},
             {"SystrayatBoot as text", kTrayKey, L"SystrayatBoot", REG_SZ, Bytes(L"1")},
             {"SystrayatBoot all ones", kTrayKey, L"SystrayatBoot", REG_DWORD, Dword(0xFFFFFFFF)},
             {"SystrayatBoot of a megabyte", kTrayKey, L"SystrayatBoot", REG_BINARY, strMegabyte},
             {"ProgramFilesDir of 20,000 characters", kWindowsKey, L"ProgramFilesDir", REG_SZ,
              Bytes(wstring(20000, L'P'))},
             {"ProgramFilesDir as a number", kWindowsKey, L"ProgramFilesDir", REG_DWORD, Dword(7)},
             {"ProgramFilesDir unexpanded", kWindowsKey, L"ProgramFilesDir", REG_EXPAND_SZ,
              Bytes(L"%SystemDrive%\\Program Files")},
             {"ProgramFilesDir unterminated", kWindowsKey, L"ProgramFilesDir", REG_SZ,
              Bytes(L"C:\\Nowhere", false)},
             {"ProgramFilesDir a folder that is not there", kWindowsKey, L"ProgramFilesDir", REG_SZ,
              Bytes(L"C:\\Nowhere at all")},
             {"the browser's command of 10,000 characters",
              L"Software\\Classes\\htmlfile\\shell\\open\\command", L"", REG_SZ,
              Bytes(wstring(10000, L'b'))},
             {"the web page class as a number", L"Software\\Classes\\.html", L"", REG_DWORD,
              Dword(1)},
             {"the mail client's name of 5,000 characters", L"SOFTWARE\\Clients\\Mail", L"", REG_SZ,
              Bytes(wstring(5000, L'm'))},
             {"the mail client's name as bytes", L"SOFTWARE\\Clients\\Mail", L"", REG_BINARY,
              strMegabyte},
         })
        add(
            std::string("registry: ") + std::get<0>(v),
            [v](CUndo& u) {
                SetValue(u, HKEY_LOCAL_MACHINE, std::get<1>(v), std::get<2>(v), std::get<3>(v),
                         std::get<4>(v));
            },
            L"", nullptr, nullptr);
    for (const auto& k : std::vector<std::pair<const char*, const WCHAR*>>{
             {"the tray key missing", kTrayKey},
             {"the lock key missing", kLockKey},
             {"the web page association missing", L"Software\\Classes\\.html"},
             {"the mail clients missing", L"SOFTWARE\\Clients\\Mail"},
         })
        add(
            std::string("registry: ") + k.first,
            [key = k.second](CUndo& u) { DeleteKey(u, HKEY_LOCAL_MACHINE, key); }, L"", nullptr,
            nullptr);
    add(
        "registry: ProgramFilesDir missing",
        [](CUndo& u) {
            u.Value(HKEY_LOCAL_MACHINE, kWindowsKey, L"ProgramFilesDir");
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kWindowsKey, L"ProgramFilesDir");
        },
        L"", nullptr, nullptr);

    // The configuration service: absent, failing, slow, odd answers, odd stores.
    add(
        "service: not registered",
        [](CUndo& u) { DeleteKey(u, HKEY_LOCAL_MACHINE, kServiceClassKey); }, L"", nullptr,
        nullptr);
    add(
        "service: its library missing",
        [](CUndo& u) {
            SetValue(u, HKEY_LOCAL_MACHINE, wstring(kServiceClassKey) + L"\\InprocServer32", L"",
                     REG_SZ, Bytes(L"C:\\nowhere\\ButtonConfigService.dll"));
        },
        L"", nullptr, nullptr);
    add(
        "service: not a COM library",
        [](CUndo& u) {
            SetValue(u, HKEY_LOCAL_MACHINE, wstring(kServiceClassKey) + L"\\InprocServer32", L"",
                     REG_SZ, Bytes(WindowsFile(L"system32\\version.dll")));
        },
        L"", nullptr, nullptr);
    for (const auto& f : std::vector<std::pair<const char*, const WCHAR*>>{
             {"failing every call", L"fail"},
             {"null strings", L"null"},
             {"slow", L"slow=10"},
             {"slow and failing", L"slow=5 fail"},
         })
        add(
            std::string("service: ") + f.first,
            [faults = f.second](CUndo& u) { ServiceFaults(u, faults); }, L"", nullptr, nullptr);
    add(
        "service: a million characters for every string",
        [](CUndo& u) { ServiceFaults(u, L"huge"); }, L"", nullptr,
        [](const Tree& before, const Tree& after) {
            // Reading the lock points the service at the box's scheme and back at the one it
            // called current: here at that filled-up name. Nothing else changes.
            Tree expected = before;
            for (Entry& e : expected)
                if (e.path.empty() && e.name == L"Current" && Find(after, L"", L"Current"))
                    e.data = Find(after, L"", L"Current")->data;
            Unchanged(expected, after);
            EXPECT_EQ(ValueText(Find(after, L"", L"Current")).substr(0, 7), L"QUELDAx");
        });
    add(
        "service: failing every call, then Apply", [](CUndo& u) { ServiceFaults(u, L"fail"); }, L"",
        [](CRun& r) { r.Click(1045); }, nullptr);
    add(
        "service: null strings, then Apply and OK", [](CUndo& u) { ServiceFaults(u, L"null"); },
        L"",
        [](CRun& r) {
            r.Click(1045);
            r.Click(1043);
        },
        NothingLost);

    std::string strOneButton =
        "buttons=101,102\n101|Information|InformationVal|http://i/|UNLOCKED\n";
    add(
        "store: 10,000 schemes",
        [](CUndo&) {
            wstring multi = L"QUELDA" + wstring(1, L'\0');
            for (int i = 0; i < 10000; i++)
                multi += L"Scheme " + std::to_wstring(i) + L'\0';
            WriteStore(L"Schemes", REG_MULTI_SZ, Bytes(multi));
        },
        L"", nullptr, nullptr);
    wstring strPunctuation;
    for (WCHAR ch = 0x21; ch < 0x7F; ch++)
        if (!iswalnum(ch)) strPunctuation += ch;
    add(
        "store: scheme names of every punctuation character",
        [strPunctuation](CUndo&) {
            wstring multi = L"QUELDA" + wstring(1, L'\0');
            for (WCHAR ch : strPunctuation)
                multi += wstring(3, ch) + L'\0';
            WriteStore(L"Schemes", REG_MULTI_SZ, Bytes(multi + strPunctuation + L'\0'));
            WriteStore(L"Current", REG_SZ, Bytes(strPunctuation));
        },
        L"", nullptr, nullptr);
    add(
        "store: a current scheme of 10,000 characters",
        [](CUndo&) { WriteStore(L"Current", REG_SZ, Bytes(wstring(10000, L'c'))); }, L"", nullptr,
        nullptr);
    add(
        "store: schemes and current scheme of the wrong types",
        [](CUndo&) {
            WriteStore(L"Schemes", REG_DWORD, Dword(101));
            WriteStore(L"Current", REG_BINARY, Bytes(L"QU", false));
        },
        L"", nullptr,
        [](const Tree& before, const Tree& after) {
            // Reading the lock points the service at the box's scheme and back at the one it
            // called current, its default for a value it cannot read.
            Tree expected = before;
            for (Entry& e : expected)
                if (e.path.empty() && e.name == L"Current") e = *Find(g_applied, L"", L"Current");
            Unchanged(expected, after);
        });
    add(
        "store: a target of a megabyte",
        [](CUndo&) {
            const wstring target(1 << 19, L't');
            ::RegSetKeyValueW(HKEY_CURRENT_USER, (wstring(kStoreKey) + L"\\Settings\\101").c_str(),
                              L"QUELDA:Target", REG_SZ, target.c_str(),
                              static_cast<DWORD>((target.size() + 1) * sizeof(WCHAR)));
        },
        L"", nullptr, nullptr);
    std::string str500 = "buttons=";
    for (int i = 1; i <= 500; i++)
        str500 += std::to_string(i) + ",";
    for (const auto& d : std::vector<std::tuple<const char*, std::string, Outcome>>{
             {"13 buttons", "buttons=1,2,3,4,5,6,7,8,9,10,11,12,13\n", kRefused},
             {"500 buttons", str500 + "\n", kRefused},
             {"12 buttons", "buttons=1,2,3,4,5,6,7,8,9,10,11,12\n", kDialog},
             {"no buttons", "buttons=\n", kDialog},
             {"duplicate ids",
              "buttons=101,101,101\n101|Information|InformationVal|http://i/|UNLOCKED\n", kDialog},
             {"ids that are not numbers", "buttons=abc,,;;, ,\xC3\xBC\n", kDialog},
             {"ids of 1,000 characters", "buttons=" + std::string(1000, '9') + "\n", kDialog},
             {"odd values", "buttons=1\n1|%s%n|\t|\r|LOCKLOCK\n", kDialog},
             {"one button", strOneButton, kDialog},
         })
        add(std::string("store: ") + std::get<0>(d), nullptr, L"", nullptr, nullptr, std::get<2>(d),
            std::get<1>(d));
    // The event server: absent, failing, dying.
    add(
        "event server: not registered",
        [](CUndo& u) {
            DeleteKey(u, HKEY_LOCAL_MACHINE,
                      L"Software\\Classes\\CLSID\\{40E71633-5F96-11D1-B449-00805F268A3A}");
        },
        L"", nullptr, nullptr);
    for (const auto& f : std::vector<std::pair<const char*, const WCHAR*>>{
             {"no connection point container", L"container"},
             {"no connection point", L"point"},
             {"the first Advise failing", L"advise=1"},
             {"every registration failing",
              L"register=101,102,103,104,105,106,107,108,201,202,203,301,302,303,304,305"},
             {"slow registrations", L"slow=20"},
             {"dying while registering", L"die=102"},
         })
        add(
            std::string("event server: ") + f.first,
            [faults = f.second](CUndo& u) { EventFaults(u, faults); }, L"", nullptr, nullptr);
    add(
        "event server: killed while the dialog is open", nullptr, L"",
        [](CRun& r) {
            EXPECT_TRUE(KillProcess(L"ButtonEventServer.exe"));
            r.Click(1045);
        },
        AppliedOnly);

    // The tray program: missing, or a window that never answers.
    add(
        "tray: the program missing, the box checked and applied",
        [](CUndo& u) {
            SetValue(u, HKEY_LOCAL_MACHINE, kWindowsKey, L"ProgramFilesDir", REG_SZ,
                     Bytes(L"C:\\Nowhere at all"));
            SetValue(u, HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, Dword(0));
        },
        L"",
        [](CRun& r) {
            r.Click(1071);
            r.Settle();
            EXPECT_EQ(::SendMessageW(r.Item(1071), BM_GETCHECK, 0, 0), BST_CHECKED);
            r.Click(1045);
            r.Settle();
            DWORD dw = 0, cb = 4;
            ::RegGetValueW(HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD,
                           nullptr, &dw, &cb);
            EXPECT_EQ(dw, 1u);
        },
        AppliedOnly);
    add(
        "tray: a window that never answers, the box cleared and applied",
        [](CUndo& u) {
            SetValue(u, HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, Dword(1));
            auto stop = std::make_shared<std::atomic<bool>>(false);
            auto ready = std::make_shared<std::atomic<bool>>(false);
            auto thread = std::make_shared<std::thread>([stop, ready] {
                HWND hWnd = ::CreateWindowExW(0, L"STATIC", kTrayTitle, WS_POPUP, 0, 0, 1, 1,
                                              nullptr, nullptr, nullptr, nullptr);
                *ready = true;
                while (!*stop)
                    ::Sleep(20); // never reads its queue
                ::DestroyWindow(hWnd);
            });
            while (!*ready)
                ::Sleep(10);
            u.Then([stop, thread] {
                *stop = true;
                thread->join();
            });
        },
        L"",
        [](CRun& r) {
            r.Click(1071);
            r.Click(1045);
            r.Settle();
        },
        AppliedOnly);

    // The version library behind the About box.
    auto about = [](const wstring& expected) {
        return [expected](CRun& r) {
            ::PostMessageW(r.Item(1004), BM_CLICK, 0, 0); // the About box is modal
            HWND hAbout = nullptr;
            for (int i = 0; i < 100 && !hAbout; i++, ::Sleep(50))
                hAbout = FindDialogOf(r.pi.dwProcessId, nullptr, 1029);
            ASSERT_NE(hAbout, nullptr);
            EXPECT_EQ(ItemText(hAbout, 1029), CString(expected.c_str()));
            ::PostMessageW(hAbout, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && FindDialogOf(r.pi.dwProcessId, nullptr, 1029); i++)
                ::Sleep(50);
        };
    };
    add("version library: as installed", nullptr, L"", about(L"Version # : 5.2.0.117"), nullptr);
    add(
        "version library: missing", [](CUndo& u) { Hide(u, ProgramFolder() + L"\\ZADAVUD.DLL"); },
        L"", about(L"Version # : "), nullptr);
    add(
        "version library: failing",
        [](CUndo& u) { SetValue(u, HKEY_CURRENT_USER, kVersionKey, L"Fail", REG_DWORD, Dword(1)); },
        L"", about(L"Version # : "), nullptr);
    add(
        "version library: 300 characters",
        [](CUndo& u) {
            SetValue(u, HKEY_CURRENT_USER, kVersionKey, L"Version", REG_SZ,
                     Bytes(wstring(300, L'v')));
        },
        L"", about(L"Version # : " + wstring(259, L'v')), nullptr);
    add(
        "version library: a library without the export",
        [](CUndo& u) {
            const wstring dll = ProgramFolder() + L"\\ZADAVUD.DLL";
            Hide(u, dll);
            ::CopyFileW(WindowsFile(L"system32\\version.dll").c_str(), dll.c_str(), FALSE);
            u.Then([dll] { ::DeleteFileW(dll.c_str()); });
        },
        L"", about(L"Version # : "), nullptr);

    // What users do.
    add(
        "user: Apply", nullptr, L"", [](CRun& r) { r.Click(1045); }, AppliedOnly);
    add(
        "user: Apply 200 times", nullptr, L"",
        [](CRun& r) {
            const DWORD dwStart = ::GetTickCount();
            for (int i = 0; i < 200; i++)
                r.Click(1045);
            printf("200 Applies: %lu ms\n", ::GetTickCount() - dwStart);
            r.Settle();
        },
        AppliedOnly);
    add(
        "user: OK", nullptr, L"", [](CRun& r) { r.Click(1043); }, AppliedOnly);
    add(
        "user: Cancel after edits", nullptr, L"",
        [](CRun& r) {
            r.Type(1005, L"http://cancelled.example/");
            r.Click(1022);
        },
        nullptr);
    add(
        "user: Escape after edits", nullptr, L"",
        [](CRun& r) {
            r.Type(1001, L"Renamed");
            PostKey(r.Item(1000), VK_ESCAPE); // through the dialog's loop, which makes it Cancel
        },
        nullptr);
    const wstring strLong = wstring(1500, L'y') + L"\r\n\ttab, 100% ,";
    for (const auto& t : std::vector<std::pair<const char*, wstring>>{
             {"1,500 characters with line breaks", strLong},
             {"100,000 characters", wstring(100000, L'z')},
             {"percent signs and commas", L"%s%n%d, 100% ,,"},
             {"only blanks", L"   "},
         }) {
        add(
            std::string("user: a target of ") + t.first, nullptr, L"",
            [text = t.second](CRun& r) {
                r.Type(1005, text);
                r.Click(1045);
            },
            [text = t.second](const Tree&, const Tree& after) {
                ExpectApplied(after, {{{L"\\Settings\\101", L"QUELDA:Target"}, text},
                                      {{L"\\Settings\\101", L"QUELDA:Title"}, text}});
            });
        add(
            std::string("user: a name of ") + t.first, nullptr, L"",
            [text = t.second](CRun& r) {
                r.Type(1001, text);
                r.Click(1045);
            },
            [text = t.second](const Tree&, const Tree& after) {
                ExpectApplied(after, {{{L"\\Settings\\101", L"QUELDA:Name"}, text}});
            });
    }
    add(
        "user: an empty name", nullptr, L"",
        [](CRun& r) {
            r.Type(1001, L"");
            r.Click(1045);
        },
        AppliedOnly);
    add(
        "user: 500 files dropped", nullptr, L"",
        [](CRun& r) {
            std::vector<wstring> files;
            for (int i = 0; i < 500; i++)
                files.push_back(L"C:\\Dropped\\File " + std::to_wstring(i) + L".txt");
            DropOnField(r, {{CF_HDROP, FileList(files)}});
            EXPECT_EQ(ItemText(r.hDlg, 1005), L"File 499.txt");
            r.Click(1045);
        },
        [](const Tree&, const Tree& after) {
            ExpectApplied(after,
                          {{{L"\\Settings\\101", L"QUELDA:Target"}, L"C:\\Dropped\\File 499.txt"},
                           {{L"\\Settings\\101", L"QUELDA:Title"}, L"File 499.txt"}});
        });
    add(
        "user: junk formats dropped", nullptr, L"",
        [](CRun& r) {
            const BYTE junk[] = {0xFF, 0xFE, 0x00, 0x01};
            DropOnField(r, {{static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Junk")),
                             GlobalCopy(junk, sizeof(junk))},
                            {CF_BITMAP + 100, GlobalCopy(junk, sizeof(junk))}});
            r.Click(1022);
        },
        nullptr);
    add(
        "user: 100,000 characters dropped as text", nullptr, L"",
        [](CRun& r) {
            DropOnField(r, {{CF_UNICODETEXT, Text(wstring(100000, L'd'))}});
            r.Click(1022);
        },
        nullptr);
    add(
        "user: rows chosen 200 times with the keys", nullptr, L"",
        [](CRun& r) {
            for (int i = 0; i < 100; i++) {
                r.Key(1000, VK_DOWN);
                r.Key(1000, VK_UP);
            }
            r.Key(1000, VK_END);
            r.Key(1000, VK_HOME);
            r.Settle();
        },
        nullptr);
    add(
        "user: the session ends while editing", nullptr, L"",
        [](CRun& r) {
            r.Type(1005, L"http://unsaved.example/");
            DWORD_PTR dwResult = 0;
            ::SendMessageTimeoutW(r.hDlg, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &dwResult);
            ::SendMessageTimeoutW(r.hDlg, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &dwResult);
        },
        nullptr);
    add(
        "user: a second copy while the dialog is open", nullptr, L"",
        [](CRun& r) {
            const PROCESS_INFORMATION pi = StartProgram(PROGRAM_PATH);
            ASSERT_NE(pi.hProcess, nullptr);
            EXPECT_EQ(WaitForExit(pi, 20000), 0u);
            EXPECT_TRUE(::IsWindow(r.hDlg));
        },
        nullptr);
    add(
        "user: the icons folder gone while the dialog is open", nullptr, L"",
        [](CRun& r) {
            // Its files go; the folder itself is the program's current folder, which the system
            // keeps while the program runs.
            const wstring icons = IconsFolder(), gone = icons + L".gone";
            ::CreateDirectoryW(gone.c_str(), nullptr);
            WIN32_FIND_DATAW fd = {};
            HANDLE hFind = ::FindFirstFileW((icons + L"\\*.ico").c_str(), &fd);
            int nMoved = 0;
            for (BOOL b = hFind != INVALID_HANDLE_VALUE; b; b = ::FindNextFileW(hFind, &fd))
                nMoved += ::MoveFileW((icons + L"\\" + fd.cFileName).c_str(),
                                      (gone + L"\\" + fd.cFileName).c_str());
            if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
            EXPECT_GT(nMoved, 0);
            ::RemoveDirectoryW(icons.c_str());
            for (int i = 0; i < 5; i++)
                r.Key(1000, VK_DOWN);
            r.Type(1005, L"C:\\windows\\notepad.exe");
            r.Click(1045);
            r.Settle();
            ::CreateDirectoryW(icons.c_str(), nullptr);
            hFind = ::FindFirstFileW((gone + L"\\*.ico").c_str(), &fd);
            for (BOOL b = hFind != INVALID_HANDLE_VALUE; b; b = ::FindNextFileW(hFind, &fd))
                ::MoveFileW((gone + L"\\" + fd.cFileName).c_str(),
                            (icons + L"\\" + fd.cFileName).c_str());
            if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
            ::RemoveDirectoryW(gone.c_str());
        },
        [](const Tree&, const Tree& after) {
            ExpectApplied(after,
                          {{{L"\\Settings\\106", L"QUELDA:Target"}, L"C:\\windows\\notepad.exe"},
                           {{L"\\Settings\\106", L"QUELDA:Title"}, L"C:\\windows\\notepad.exe"}});
        });
    for (const auto& n : std::vector<std::pair<const char*, wstring>>{
             {"a bracket", L"]"},
             {"300 characters", wstring(300, L's')},
             {"format markers", L"%s%n%x"},
             {"a tab and a line break", L"a\tb\r\nc"},
         })
        add(
            std::string("user: a scheme added, not applied, named with ") + n.first, nullptr, L"",
            [name = n.second](CRun& r) {
                ::SendMessageW(r.Item(1048), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                r.Click(1046);
                r.Settle();
            },
            nullptr);
    add(
        "user: Delete with a name the box does not hold", nullptr, L"",
        [](CRun& r) {
            // Only a name of the box is asked about and removed; this one is left alone.
            ::SendMessageW(r.Item(1048), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Nowhere"));
            ::EnableWindow(r.Item(1008), TRUE);
            ::PostMessageW(r.Item(1008), BM_CLICK, 0, 0);
            EXPECT_EQ(r.Answer(L"Quelda Kivora Button Software", IDYES, 1500), L"");
            r.Settle();
        },
        nullptr);

    // Security: where libraries come from, and what the program writes.
    add(
        "security: libraries planted in the starting folder and the icons folder",
        [](CUndo& u) {
            const wstring planted = WindowsFile(L"..\\Planted");
            ::CreateDirectoryW(planted.c_str(), nullptr);
            u.Then([planted] { ::RemoveDirectoryW(planted.c_str()); });
            for (const wstring& folder : {planted, IconsFolder()})
                for (LPCWSTR pszName : {L"ZADAVUD.DLL", L"version.dll", L"uxtheme.dll",
                                        L"dwmapi.dll", L"msimg32.dll"}) {
                    const wstring path = folder + L"\\" + pszName;
                    ::CopyFileW(WindowsFile(L"system32\\version.dll").c_str(), path.c_str(), TRUE);
                    u.Then([path] { ::DeleteFileW(path.c_str()); });
                }
            WCHAR szSaved[MAX_PATH] = {};
            ::GetCurrentDirectoryW(MAX_PATH, szSaved);
            const wstring saved = szSaved;
            ::SetCurrentDirectoryW(planted.c_str());
            u.Then([saved] { ::SetCurrentDirectoryW(saved.c_str()); });
        },
        L"",
        [about](CRun& r) {
            about(L"Version # : 5.2.0.117")(r);
            const wstring planted = WindowsFile(L"..\\Planted");
            WCHAR szPlanted[MAX_PATH] = {}, szIcons[MAX_PATH] = {};
            ::GetFullPathNameW(planted.c_str(), MAX_PATH, szPlanted, nullptr);
            ::GetFullPathNameW(IconsFolder().c_str(), MAX_PATH, szIcons, nullptr);
            HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, r.pi.dwProcessId);
            MODULEENTRY32W me = {};
            me.dwSize = sizeof(me);
            int nModules = 0;
            for (BOOL b = ::Module32FirstW(hSnap, &me); b; b = ::Module32NextW(hSnap, &me)) {
                nModules++;
                EXPECT_NE(_wcsnicmp(me.szExePath, szPlanted, wcslen(szPlanted)), 0)
                    << Utf8(me.szExePath);
                EXPECT_NE(_wcsnicmp(me.szExePath, szIcons, wcslen(szIcons)), 0)
                    << Utf8(me.szExePath);
            }
            ::CloseHandle(hSnap);
            EXPECT_GT(nModules, 3);
        },
        nullptr);
    add(
        "security: a session writes no registry value but SystrayatBoot and no file",
        [](CUndo& u) {
            SetValue(u, HKEY_LOCAL_MACHINE, kTrayKey, L"SystrayatBoot", REG_DWORD, Dword(0));
        },
        L"",
        [](CRun& r) {
            auto listing = [](const wstring& folder) {
                std::vector<wstring> names;
                WIN32_FIND_DATAW fd = {};
                HANDLE hFind = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
                for (BOOL b = hFind != INVALID_HANDLE_VALUE; b; b = ::FindNextFileW(hFind, &fd))
                    names.push_back(fd.cFileName);
                if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
                return names;
            };
            const wstring folders[] = {WindowsFile(L""), IconsFolder(), ProgramFolder()};
            std::vector<std::vector<wstring>> before;
            for (const wstring& folder : folders)
                before.push_back(listing(folder));
            const Tree machine = ReadTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quelda"),
                       user = ReadTree(HKEY_CURRENT_USER, L"Software\\Quelda");
            r.Click(1071);
            r.Click(1045);
            r.Click(1071);
            r.Click(1045);
            r.Key(1000, VK_DOWN);
            r.Settle();
            for (size_t i = 0; i < ARRAYSIZE(folders); i++)
                EXPECT_EQ(listing(folders[i]), before[i]) << Utf8(folders[i]);
            Tree expected = machine;
            for (Entry& e : expected)
                if (e.name == L"SystrayatBoot") e.data = Dword(0);
            Unchanged(expected, ReadTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Quelda"));
            Unchanged(user, ReadTree(HKEY_CURRENT_USER, L"Software\\Quelda"));
        },
        AppliedOnly);
    return cases;
}

// Starts the program for the case, lets the case act, sees it end in time with its exit code.
void RunCase(const Case& c)
{
    CRun run;
    run.pi = StartProgram(PROGRAM_PATH, c.params.c_str());
    ASSERT_NE(run.pi.hProcess, nullptr);
    if (c.outcome == kRefused) {
        EXPECT_EQ(run.Answer(L"ButtonConfig", IDOK, 20000), kTooMany);
    } else {
        run.hDlg = WaitForDialog(run.pi.dwProcessId, L"Kivora Buttons");
        EXPECT_NE(run.hDlg, nullptr) << "no dialog";
        if (run.hDlg) {
            run.Settle();
            if (c.act) c.act(run);
            if (::IsWindow(run.hDlg)) ::PostMessageW(run.hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }
    // 99: it did not end in time.
    EXPECT_EQ(WaitForExit(run.pi, 20000), c.outcome == kRefused ? 1u : 0u);
}

// The store as the installed defaults (or the case's) seed it.
std::unique_ptr<CConfigServiceStore> FreshStore(const std::string& defaults)
{
    auto pStore =
        std::make_unique<CConfigServiceStore>(defaults.empty() ? nullptr : defaults.c_str());
    CButtonConfig().GetButtonList();
    return pStore;
}

} // namespace

TEST(RobustnessTest, EveryCaseHolds)
{
    ::CoInitialize(nullptr);
    {
        // Held open across the cases, so that the server is not started again for each.
        auto pProbe = std::make_unique<CEventServerProbe>();
        {
            auto pStore = FreshStore("");
            RunCase({"", nullptr, L"", [](CRun& r) { r.Click(1045); }, nullptr, kDialog, ""});
            g_applied = ReadTree(HKEY_CURRENT_USER, kStoreKey);
        }
        const std::vector<Case> cases = Cases();
        const testing::TestResult* pResult =
            testing::UnitTest::GetInstance()->current_test_info()->result();
        int nHeld = 0;
        // ROBUSTNESS_CASES=<part of a name> runs only those cases, when one is being looked into.
        char szOnly[256] = {};
        ::GetEnvironmentVariableA("ROBUSTNESS_CASES", szOnly, sizeof(szOnly));
        for (const Case& c : cases) {
            if (*szOnly && c.name.find(szOnly) == std::string::npos) continue;
            SCOPED_TRACE(c.name);
            const DWORD dwStart = ::GetTickCount();
            const int nFailuresBefore = pResult->total_part_count();
            {
                auto pStore = FreshStore(c.defaults);
                Tree before;
                {
                    CUndo undo;
                    if (c.arrange) c.arrange(undo);
                    before = ReadTree(HKEY_CURRENT_USER, kStoreKey);
                    RunCase(c);
                }
                const Tree after = ReadTree(HKEY_CURRENT_USER, kStoreKey);
                if (c.check)
                    c.check(before, after);
                else
                    Unchanged(before, after);
            }
            if (!pProbe->IsConnected() || c.name.find("killed") != std::string::npos)
                pProbe = std::make_unique<CEventServerProbe>();
            if (::GetTickCount() - dwStart > 5000)
                printf("slow case (%lu ms): %s\n", ::GetTickCount() - dwStart, c.name.c_str());
            fflush(stdout);
            if (pResult->total_part_count() == nFailuresBefore)
                nHeld++;
            else
                printf("case failed: %s\n", c.name.c_str());
        }
        printf("%d cases: %d held\n", static_cast<int>(cases.size()), nHeld);
        EXPECT_GE(cases.size(), 100u);
        EXPECT_EQ(nHeld, static_cast<int>(cases.size()));
    }
    ::CoUninitialize();
}
