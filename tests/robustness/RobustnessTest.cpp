// The program against bad input and failing neighbours: one table of cases, each one bad input
// or fault and what a user then does. Inputs the dialog reads run on the dialog made on a thread
// of this process; what needs the program's own process (its command line, the event server, its
// exit code, its folder) runs the real program. Every case must end in time, with the program's
// exit code for it, and leave the configuration service's store exactly as its actions do.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "Session.h"
#include "SettingsDialog.h"
#include "Undo.h"
#include "UserInput.h"
#include "config/ButtonConfig.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using std::wstring;

const HKEY HKLM = HKEY_LOCAL_MACHINE, HKCU = HKEY_CURRENT_USER;
const WCHAR kTrayKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQKVUI";
const WCHAR kLockKey[] = L"SOFTWARE\\Quelda\\Quelda Kivora Button Support\\ZRQBCM";
const WCHAR kWindowsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const WCHAR kServiceClassKey[] =
    L"Software\\Classes\\CLSID\\{BE65CB0E-7D55-11D2-A8A9-444553540000}";
const WCHAR kVersionKey[] = L"Software\\Kivora Stand-ins\\Version Library";

enum Where { kThread, kProgram };
// The store afterwards: as before, as a plain Apply leaves it, or holding at least all it held.
// Either way but for the values the case checks itself (with "expect stored" in its row, say).
enum After { kSame, kApplied, kKept };

struct Case
{
    std::string name;
    Where where;
    std::string row; // what the user does, as a session
    After after;
    std::function<void(CUndo&)> arrange;
    std::function<void(CDialogUnderTest&, CUndo&)> act; // what a row cannot say, after it
    std::vector<wstring> checked; // store values the act checks itself: "\\Current"
    wstring params;
    std::string defaults; // the service's defaults file; empty: the installed one
    DWORD dwExitCode = 0; // 1: the program refuses its buttons with a message
};

wstring WindowsFile(LPCWSTR pszName)
{
    WCHAR szDir[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szDir, MAX_PATH);
    return wstring(szDir) + L"\\" + pszName;
}

wstring IconsFolder()
{
    WCHAR sz[MAX_PATH] = {};
    DWORD cb = sizeof(sz) - sizeof(WCHAR);
    ::RegGetValueW(HKLM, kWindowsKey, L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, sz, &cb);
    return wstring(sz) + L"\\QUELDA\\Kivora Button Support\\Icons";
}

wstring ProgramFolder()
{
    const wstring path = WinePath(PROGRAM_PATH).GetString();
    return path.substr(0, path.rfind(L'\\'));
}

// A store value written after the store was seeded (the store goes with the case).
void WriteStore(LPCWSTR pszName, DWORD dwType, const std::string& data)
{
    ::RegSetKeyValueW(HKCU, L"Software\\Kivora Stand-ins\\Button Configuration", pszName, dwType,
                      data.data(), static_cast<DWORD>(data.size()));
}

bool EndFromInside(LPCWSTR pszExe)
{
    bool bEnded = false;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL b = ::Process32FirstW(hSnap, &pe); b; b = ::Process32NextW(hSnap, &pe))
        if (!_wcsicmp(pe.szExeFile, pszExe))
            if (HANDLE h = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pe.th32ProcessID)) {
                // ExitProcess on a thread of its own, as a crash handler would. (Terminated from
                // outside, its class stays registered with the system's COM service, which then
                // starts no new server for the rest of the session.)
                const auto pfnExit =
                    reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
                        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "ExitProcess")));
                HANDLE hThread = ::CreateRemoteThread(h, nullptr, 0, pfnExit,
                                                      reinterpret_cast<void*>(9), 0, nullptr);
                bEnded = hThread && ::WaitForSingleObject(h, 5000) == 0;
                if (hThread) ::CloseHandle(hThread);
                ::CloseHandle(h);
            }
    ::CloseHandle(hSnap);
    return bEnded;
}

// The GDI objects this process holds, from the handle table the system keeps in its PEB (this
// Wine's GetGuiResources counts nothing).
int GdiObjects()
{
    struct Entry // GDI_HANDLE_ENTRY
    {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        UINT64 user;
    };
    PROCESS_BASIC_INFORMATION info = {};
    ::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info),
                                nullptr);
    const BYTE* pPeb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const Entry* pTable =
        *reinterpret_cast<const Entry* const*>(pPeb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    int nObjects = 0;
    for (int i = 0; pTable && i < 0x10000; i++)
        nObjects += pTable[i].type != 0;
    return nObjects;
}

std::vector<wstring> Listing(const wstring& folder)
{
    std::vector<wstring> names;
    WIN32_FIND_DATAW fd = {};
    HANDLE hFind = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    for (BOOL b = hFind != INVALID_HANDLE_VALUE; b; b = ::FindNextFileW(hFind, &fd))
        names.push_back(fd.cFileName);
    if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
    return names;
}

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    auto add = [&cases](std::string name, Where where, std::string row = "",
                        After after = kSame) -> Case& {
        cases.emplace_back();
        Case& c = cases.back();
        c.name = std::move(name), c.where = where, c.row = std::move(row), c.after = after;
        return c;
    };
    auto setValue = [](HKEY hRoot, wstring key, wstring name, DWORD dwType, std::string data) {
        return [=](CUndo& u) { u.SetValue(hRoot, key, name, dwType, data); };
    };
    auto deleteKey = [](HKEY hRoot, wstring key) {
        return [=](CUndo& u) { u.DeleteKey(hRoot, key); };
    };

    // The command line: the program takes none that matters, and any it is given changes nothing.
    // (The button number's rules are checked where the command line is parsed.)
    wstring strThousands;
    for (int i = 0; i < 3000; i++)
        strThousands += L" /p" + std::to_wstring(i);
    const std::pair<const char*, wstring> lines[] = {
        {"32,000 characters", wstring(32000, L'x')},
        {"3,000 parameters", strThousands},
        {"non-ASCII and quotes", L"BUTTON=\x00DC\x65E5 \xD83D\xDE00 \"\"\" \\\" \""},
        {"control characters", L"\tBUTTON=1\r\n\x0001 %PATH% ^& | < >"}};
    for (const auto& line : lines)
        add(std::string("command line: ") + line.first, kProgram).params = line.second;

    // "radi.ini": whatever it holds, the dialog opens and nothing is stored. (Its readers' cuts, a
    // missing file and broken lines: the settings' own test.)
    std::string strTenMegabytes, strBinary(65536, '\0'), strManyKeys = "[icon]\r\n";
    while (strTenMegabytes.size() < (10u << 20))
        strTenMegabytes += "[icon]\r\nKey1=junk junk junk junk junk junk junk junk junk\r\n";
    for (size_t i = 0; i < strBinary.size(); i++)
        strBinary[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (int i = 0; i < 10000; i++)
        strManyKeys += "Key" + std::to_string(i) + "=x\r\n";
    const std::string iniUtf16 = Bytes(L"[icon]\r\nKey1=Sample News.ico\r\n[Scan Codes]\r\n"
                                       L"Extension Supported=.HTM.URL\r\n",
                                       false);
    const std::pair<const char*, std::string> inis[] = {
        {"empty", ""},
        {"10 MB", strTenMegabytes},
        {"binary", strBinary},
        {"UTF-16 with BOM", "\xFF\xFE" + iniUtf16},
        {"UTF-16 without BOM", iniUtf16},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[icon]\r\nKey1=Sample News.ico\r\n"},
        {"duplicate sections",
         "[icon]\r\nKey1=Sample News.ico\r\n[icon]\r\nKey1=Sample Information.ico\r\n"},
        {"a 100,000-character value", "[icon]\r\nKey2=" + std::string(100000, 'b') + "\r\n"},
        {"entries outside the icons folder",
         "[icon]\r\nKey1=..\\..\\..\\windows\\system32\\notepad.exe\r\n"
         "Key2=C:\\windows\\win.ini\r\nKey3=\\\\server\\share\\x.ico\r\n"},
        {"device names", "[icon]\r\nKey1=CON\r\nKey2=NUL\r\nKey3=COM1\r\nKey4=LPT1\r\n"
                         "Key5=\\\\.\\PhysicalDrive0\r\nKey6=AUX.ico\r\n"},
        {"a huge extension list",
         "[Scan Codes]\r\nExtension Supported=" + std::string(100000, '.') + "\r\n"},
        {"odd extension list", "[Scan Codes]\r\nExtension Supported=*?;|<>\"\r\n"},
        {"10,000 keys", strManyKeys}};
    for (const auto& ini : inis)
        add(std::string("radi.ini: ") + ini.first, kThread).arrange =
            [bytes = ini.second](CUndo& u) { u.WriteFile(WindowsFile(L"radi.ini"), bytes); };
    add("radi.ini: a folder of that name", kThread).arrange = [](CUndo& u) {
        u.Hide(WindowsFile(L"radi.ini"));
        ::CreateDirectoryW(WindowsFile(L"radi.ini").c_str(), nullptr);
        u.Then([] { ::RemoveDirectoryW(WindowsFile(L"radi.ini").c_str()); });
    };

    // The registry values the program reads, of the wrong type, huge or missing. (SetLock's short
    // and text forms: the settings' own test.)
    const std::string strMegabyte(1 << 20, '\x01');
    const struct
    {
        const char* pszName;
        const WCHAR *pszKey, *pszValue;
        DWORD dwType;
        std::string data;
    } values[] = {
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
        {"the web page class as a number", L"Software\\Classes\\.html", L"", REG_DWORD, Dword(1)},
        {"the mail client's name of 5,000 characters", L"SOFTWARE\\Clients\\Mail", L"", REG_SZ,
         Bytes(wstring(5000, L'm'))},
        {"the mail client's name as bytes", L"SOFTWARE\\Clients\\Mail", L"", REG_BINARY,
         strMegabyte}};
    for (const auto& v : values)
        add(std::string("registry: ") + v.pszName, kThread).arrange =
            setValue(HKLM, v.pszKey, v.pszValue, v.dwType, v.data);
    const std::pair<const char*, const WCHAR*> keys[] = {
        {"the tray key missing", kTrayKey},
        {"the lock key missing", kLockKey},
        {"the web page association missing", L"Software\\Classes\\.html"},
        {"the mail clients missing", L"SOFTWARE\\Clients\\Mail"}};
    for (const auto& key : keys)
        add(std::string("registry: ") + key.first, kThread).arrange = deleteKey(HKLM, key.second);
    add("registry: ProgramFilesDir missing", kThread).arrange = [](CUndo& u) {
        u.Value(HKLM, kWindowsKey, L"ProgramFilesDir");
        ::RegDeleteKeyValueW(HKLM, kWindowsKey, L"ProgramFilesDir");
    };

    // The configuration service: absent, failing, slow, odd answers, odd stores.
    const wstring server = wstring(kServiceClassKey) + L"\\InprocServer32";
    // Without a service there are no schemes to carry: the system menu's two entries are greyed.
    Case& unregistered = add("service: not registered", kThread);
    unregistered.arrange = deleteKey(HKLM, kServiceClassKey);
    unregistered.act = [](CDialogUnderTest& dlg, CUndo&) {
        const HMENU hMenu = ::GetSystemMenu(dlg.m_hDlg, FALSE);
        for (const UINT nCommand : {0x110u, 0x120u})
            EXPECT_EQ(::GetMenuState(hMenu, nCommand, MF_BYCOMMAND) & (MF_GRAYED | 0xFF00),
                      MF_GRAYED)
                << nCommand;
    };
    add("service: its library missing", kThread).arrange =
        setValue(HKLM, server, L"", REG_SZ, Bytes(L"C:\\nowhere\\ButtonConfigService.dll"));
    add("service: not a COM library", kThread).arrange =
        setValue(HKLM, server, L"", REG_SZ, Bytes(WindowsFile(L"system32\\version.dll")));
    const struct
    {
        const char* pszName;
        const WCHAR* pszFaults;
        const char* pszRow;
        After after;
    } faults[] = {{"failing every call, then Apply", L"fail", "press Apply", kSame},
                  {"slow", L"slow=10", "", kSame},
                  {"slow and failing", L"slow=5 fail", "", kSame},
                  {"null strings, then Apply and OK", L"null", "press Apply; press OK", kKept},
                  {"100,000 characters for every string", L"huge", "", kSame}};
    for (const auto& f : faults)
        add(std::string("service: ") + f.pszName, kThread, f.pszRow, f.after).arrange =
            setValue(HKCU, L"Software\\Kivora Stand-ins\\Button Configuration Faults", L"Faults",
                     REG_SZ, Bytes(f.pszFaults));
    // Reading the lock points the service at the box's scheme and back at the one it called
    // current: here at that filled-up name. Nothing else changes.
    cases.back().checked = {L"\\Current"};
    cases.back().act = [](CDialogUnderTest&, CUndo&) {
        EXPECT_EQ(ReadStore()[L"\\Current"].substr(0, 7), L"QUELDAx");
    };

    add("store: 10,000 schemes", kThread).arrange = [](CUndo&) {
        wstring multi = L"QUELDA" + wstring(1, L'\0');
        for (int i = 0; i < 10000; i++)
            multi += L"Scheme " + std::to_wstring(i) + L'\0';
        WriteStore(L"Schemes", REG_MULTI_SZ, Bytes(multi));
    };
    add("store: scheme names of every punctuation character", kThread).arrange = [](CUndo&) {
        wstring punctuation, multi = L"QUELDA" + wstring(1, L'\0');
        for (WCHAR ch = 0x21; ch < 0x7F; ch++)
            if (!iswalnum(ch)) punctuation += ch;
        for (WCHAR ch : punctuation)
            multi += wstring(3, ch) + L'\0';
        WriteStore(L"Schemes", REG_MULTI_SZ, Bytes(multi + punctuation + L'\0'));
        WriteStore(L"Current", REG_SZ, Bytes(punctuation));
    };
    add("store: a current scheme of 10,000 characters", kThread).arrange = [](CUndo&) {
        WriteStore(L"Current", REG_SZ, Bytes(wstring(10000, L'c')));
    };
    // Reading the lock points the service back at the scheme it called current: its default for
    // a value it cannot read.
    add("store: schemes and current scheme of the wrong types", kThread,
        "expect current \"QUELDA\"")
        .arrange = [](CUndo&) {
        WriteStore(L"Schemes", REG_DWORD, Dword(101));
        WriteStore(L"Current", REG_BINARY, Bytes(L"QU", false));
    };
    add("store: a target of a megabyte", kThread).arrange = [](CUndo&) {
        const wstring target(1 << 19, L't');
        ::RegSetKeyValueW(HKCU, L"Software\\Kivora Stand-ins\\Button Configuration\\Settings\\101",
                          L"QUELDA:Target", REG_SZ, target.c_str(),
                          static_cast<DWORD>((target.size() + 1) * sizeof(WCHAR)));
    };
    std::string str500 = "buttons=";
    for (int i = 1; i <= 500; i++)
        str500 += std::to_string(i) + ",";
    const struct
    {
        const char* pszName;
        std::string defaults;
        DWORD dwExitCode;
    } defaults[] = {
        {"13 buttons", "buttons=1,2,3,4,5,6,7,8,9,10,11,12,13\n", 1},
        {"500 buttons", str500 + "\n", 1},
        {"12 buttons", "buttons=1,2,3,4,5,6,7,8,9,10,11,12\n", 0},
        {"no buttons", "buttons=\n", 0},
        {"duplicate ids",
         "buttons=101,101,101\n101|Information|InformationVal|http://i/|UNLOCKED\n", 0},
        {"ids that are not numbers", "buttons=abc,,;;, ,\xC3\xBC\n", 0},
        {"ids of 1,000 characters", "buttons=" + std::string(1000, '9') + "\n", 0},
        {"odd values", "buttons=1\n1|%s%n|\t|\r|LOCKLOCK\n", 0},
        {"one button", "buttons=101,102\n101|Information|InformationVal|http://i/|UNLOCKED\n", 0}};
    for (const auto& d : defaults) {
        Case& c = add(std::string("store: ") + d.pszName, d.dwExitCode ? kProgram : kThread);
        c.defaults = d.defaults;
        c.dwExitCode = d.dwExitCode;
    }

    // The event server: absent, slow, dying. (Its failing steps: the listeners' own test.)
    add("event server: not registered", kProgram).arrange =
        deleteKey(HKLM, L"Software\\Classes\\CLSID\\{40E71633-5F96-11D1-B449-00805F268A3A}");
    for (const auto& f : {std::make_pair("slow registrations", L"slow=20"),
                          std::make_pair("dying while registering", L"die=102")})
        add(std::string("event server: ") + f.first, kProgram).arrange =
            setValue(HKCU, kEventServerFaults, L"Faults", REG_SZ, Bytes(f.second));
    add("event server: ended while the dialog is open", kProgram, "", kApplied).act =
        [](CDialogUnderTest& dlg, CUndo&) {
            EXPECT_TRUE(EndFromInside(L"ButtonEventServer.exe"));
            RunSession(dlg, "press Apply");
        };

    // Schemes files: whatever an import is given, the schemes already stored stay as they were;
    // an export that cannot put its file in place leaves no part of it. (The reader's rules: the
    // schemes file's own test.)
    WCHAR szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    const wstring file = wstring(szTemp) + L"robust.kbschemes";
    std::string quoted = "\"";
    for (char ch : Utf8(file))
        quoted += ch == '\\' ? "\\\\" : std::string(1, ch);
    quoted += "\"";
    const std::string header = "Kivora Button Schemes\t1\r\n",
                      box = "Quelda Kivora Button Software: ",
                      broken = box + "This file cannot be read as a schemes file: it may be "
                                     "damaged, cut short, too large or of another kind. Nothing "
                                     "was imported.";
    std::string tenThousand = header;
    for (int i = 0; i < 10000; i++)
        tenThousand += "scheme\tS" + std::to_string(i) + "\r\n";
    const struct
    {
        const char* pszName;
        std::string bytes, asked;
        After after;
    } imports[] = {
        {"empty", "", broken, kSame},
        {"cut short", header + "scheme\tA\r\nbutton\t101\ta\tb", broken, kSame},
        {"not UTF-8", header + "scheme\t\xC0\xFF\r\nend\t1\r\n", broken, kSame},
        {"10,000 schemes", tenThousand + "end\t10000\r\n", broken, kSame},
        {"an unknown field", header + "scheme\tA\tcolour\r\nend\t1\r\n", broken, kSame},
        {"the maker's scheme", header + "scheme\tquelda\r\nend\t1\r\n",
         box + "The scheme name \\\"quelda\\\" cannot be stored. Nothing was imported.", kSame},
        {"one name twice", header + "scheme\tA\r\nscheme\ta\r\nend\t2\r\n",
         box + "The file holds the scheme \\\"a\\\" twice. Nothing was imported.", kSame},
        {"ids of another keyboard",
         header + "scheme\tElsewhere\r\nbutton\t999\tn\tt\tx\t\r\nend\t1\r\n",
         box + "Schemes imported: 1. Button settings skipped, for buttons this keyboard does not "
               "have: 1.\"; expect schemes \"QUELDA|Elsewhere",
         kSame}};
    for (const auto& i : imports) {
        Case& c =
            add(std::string("schemes file: ") + i.pszName, kThread,
                "open " + quoted + "; answer OK; system \"Import schemes...\"; expect asked \"" +
                    i.asked + "\"",
                i.after);
        c.arrange = [file, bytes = i.bytes](CUndo& u) { u.WriteFile(file, bytes); };
    }
    add("schemes file: 100 MB", kThread,
        "open " + quoted + "; answer OK; system \"Import schemes...\"; expect asked \"" + broken +
            "\"")
        .arrange = [file](CUndo& u) {
        u.File(file);
        HANDLE h =
            ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER size = {};
        size.QuadPart = 100LL << 20;
        ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h);
        ::CloseHandle(h);
    };
    // Held open by another program: shared for nothing, it cannot be read; shared for reading
    // and writing but not deleting, it cannot be replaced.
    auto hold = [file](DWORD dwShare) {
        return [file, dwShare](CUndo& u) {
            u.WriteFile(file, "held");
            HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, dwShare, nullptr, OPEN_EXISTING, 0,
                                     nullptr);
            u.Then([h] { ::CloseHandle(h); });
        };
    };
    add("schemes file: one nobody may read", kThread,
        "open " + quoted + "; answer OK; system \"Import schemes...\"; expect asked \"" + broken +
            "\"")
        .arrange = hold(0);
    Case& held = add("schemes file: an export over a file that cannot be replaced", kThread,
                     "open " + quoted +
                         "; answer Yes; answer OK; system \"Export schemes...\"; "
                         "expect asked \"" +
                         box +
                         "The schemes could not be saved in this file. "
                         "Nothing was written.\"");
    held.arrange = hold(FILE_SHARE_READ | FILE_SHARE_WRITE);
    held.act = [file, szTemp = wstring(szTemp)](CDialogUnderTest&, CUndo&) {
        EXPECT_EQ(ReadAll(file), "held");
        for (const wstring& name : Listing(szTemp))
            EXPECT_NE(name.substr(0, 3), L"kbs") << "a part left: " << Utf8(name);
    };

    // The tray program: missing, or a window that never answers.
    Case& missing = add("tray: the program missing, the box checked and applied", kThread,
                        "press Tray; expect checked Tray; press Apply", kApplied);
    missing.arrange = [](CUndo& u) {
        u.SetValue(HKLM, kWindowsKey, L"ProgramFilesDir", REG_SZ, Bytes(L"C:\\Nowhere at all"));
        u.SetDword(HKLM, kTrayKey, L"SystrayatBoot", 0);
    };
    missing.act = [](CDialogUnderTest&, CUndo&) {
        DWORD dw = 0, cb = 4;
        ::RegGetValueW(HKLM, kTrayKey, L"SystrayatBoot", RRF_RT_REG_DWORD, nullptr, &dw, &cb);
        EXPECT_EQ(dw, 1u);
    };
    add("tray: a window that never answers, the box cleared and applied", kThread,
        "expect checked Tray; press Tray; press Apply", kApplied)
        .arrange = [](CUndo& u) {
        u.SetDword(HKLM, kTrayKey, L"SystrayatBoot", 1);
        auto stop = std::make_shared<std::atomic<bool>>(false);
        auto thread = std::make_shared<std::thread>([stop] {
            HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"Quelda Kivora System Tray Window",
                                          WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            WaitUntil([stop] { return stop->load(); }, INFINITE); // never reads its queue
            ::DestroyWindow(hWnd);
        });
        WaitUntil([] { return ::FindWindowW(nullptr, L"Quelda Kivora System Tray Window"); });
        u.Then([stop, thread] {
            *stop = true;
            thread->join();
        });
    };

    // The version library behind the About box, loaded from the program's folder.
    const wstring dll = ProgramFolder() + L"\\ZADAVUD.DLL";
    const struct
    {
        const char* pszName;
        std::function<void(CUndo&)> arrange;
        wstring shown;
    } versions[] = {{"missing", [dll](CUndo& u) { u.Hide(dll); }, L""},
                    {"failing", [](CUndo& u) { u.SetDword(HKCU, kVersionKey, L"Fail", 1); }, L""},
                    {"300 characters",
                     setValue(HKCU, kVersionKey, L"Version", REG_SZ, Bytes(wstring(300, 'v'))),
                     wstring(259, L'v')},
                    {"a library without the export",
                     [dll](CUndo& u) {
                         u.Hide(dll);
                         ::CopyFileW(WindowsFile(L"system32\\version.dll").c_str(), dll.c_str(),
                                     FALSE);
                         u.Then([dll] { ::DeleteFileW(dll.c_str()); });
                     },
                     L""}};
    for (const auto& v : versions)
        add(std::string("version library: ") + v.pszName, kProgram,
            "about \"Version # : " + Utf8(v.shown) + "\"")
            .arrange = v.arrange;

    // What users do.
    add("user: Apply", kThread, "press Apply", kApplied);
    add("user: OK", kProgram, "press OK; expect closed", kApplied); // the program ends with 0
    add("user: Cancel after edits", kThread,
        "target \"http://cancelled.example/\"; press Cancel; expect closed");
    for (const std::string text : {"\"y\"*1500", "\"a\\r\\n\\ttab, 100% ,\"", "\"z\"*100000",
                                   "\"%s%n%d, 100% ,,\"", "\"   \""}) {
        add("user: a target of " + text.substr(0, 12), kThread,
            "target " + text + "; press Apply; expect stored QUELDA 101 Target " + text +
                "; expect stored QUELDA 101 Title " + text,
            kApplied);
        add("user: a name of " + text.substr(0, 12), kThread,
            "name " + text + "; press Apply; expect stored QUELDA 101 Name " + text, kApplied);
    }
    add("user: an empty name", kThread, "name \"\"; press Apply", kApplied);
    add("user: 500 files dropped", kThread,
        "drop files \"C:\\\\Dropped\\\\File.txt|\"*500; expect target \"File.txt\"; "
        "press Apply; expect stored QUELDA 101 Target \"C:\\\\Dropped\\\\File.txt\"; "
        "expect stored QUELDA 101 Title \"File.txt\"",
        kApplied);
    add("user: 100,000 characters dropped as text", kThread, "drop \"d\"*100000; press Cancel");
    add("user: junk formats dropped", kThread, "drop junk \"\"; expect target \"\"");
    add("user: rows chosen 100 times with the keys", kThread).act = [](CDialogUnderTest& dlg,
                                                                       CUndo&) {
        for (int i = 0; i < 50; i++)
            RunSession(dlg, "key Down; key Up");
        RunSession(dlg, "key End; key Home; expect name \"Information\"");
    };
    add("user: the session ends while editing", kProgram, "target \"http://unsaved.example/\"")
        .act = [](CDialogUnderTest& dlg, CUndo&) {
        DWORD_PTR dwResult = 0;
        ::SendMessageTimeoutW(dlg.m_hDlg, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &dwResult);
        ::SendMessageTimeoutW(dlg.m_hDlg, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &dwResult);
    };
    add("user: a second copy while the dialog is open", kProgram).act = [](CDialogUnderTest& dlg,
                                                                           CUndo&) {
        CProgramUnderTest second(PROGRAM_PATH);
        ASSERT_TRUE(second.Start());
        EXPECT_EQ(second.WaitForEnd(), 0u);
        EXPECT_TRUE(::IsWindow(dlg.m_hDlg));
    };
    Case& gone = add("user: the icon files gone while the dialog is open", kThread, "", kApplied);
    gone.checked = {L"Settings\\106\\QUELDA:Target", L"Settings\\106\\QUELDA:Title"};
    gone.act = [](CDialogUnderTest& dlg, CUndo& u) {
        // The files go; the folder itself is the program's current folder, which the system keeps
        // while the program runs.
        const wstring icons = IconsFolder();
        int nMoved = 0;
        for (const wstring& name : Listing(icons))
            if (name.size() > 4 && name.substr(name.size() - 4) == L".ico") {
                u.Hide(icons + L"\\" + name);
                nMoved++;
            }
        EXPECT_GT(nMoved, 0);
        RunSession(dlg, "row 5; target \"C:\\\\windows\\\\notepad.exe\"; press Apply; "
                        "expect stored QUELDA 106 Target \"C:\\\\windows\\\\notepad.exe\"; "
                        "expect stored QUELDA 106 Title \"C:\\\\windows\\\\notepad.exe\"");
    };
    for (const std::string name : {"\"]\"", "\"s\"*300", "\"%s%n%x\"", "\"a\\tb\\r\\nc\""})
        add("user: a scheme added, not applied, named " + name, kThread,
            "box " + name + "; press Add");
    // A target changed and applied again and again: the images of the list are made anew each
    // time, and the GDI objects must not grow with them.
    Case& again = add("user: a target changed and applied 26 times", kThread, "", kApplied);
    again.checked = {L"Settings\\101\\QUELDA:Target", L"Settings\\101\\QUELDA:Title"};
    again.act = [](CDialogUnderTest& dlg, CUndo&) {
        const char kRound[] = "target \"C:\\\\windows\\\\notepad.exe\"; press Apply; "
                              "target \"C:\\\\windows\\\\regedit.exe\"; press Apply";
        for (int i = 0; i < 5; i++)
            RunSession(dlg, kRound);
        const int nBefore = GdiObjects();
        ASSERT_GT(nBefore, 0) << "no GDI handle table";
        for (int i = 0; i < 8; i++)
            RunSession(dlg, kRound);
        // A few objects come and go with the painting.
        EXPECT_LE(GdiObjects(), nBefore + 8) << "after 16 more Applies";
        RunSession(dlg, "expect stored QUELDA 101 Target \"C:\\\\windows\\\\regedit.exe\"");
    };

    // Security: where libraries come from, and what the program writes.
    Case& planted = add("security: libraries planted in the starting folder and the icons folder",
                        kProgram, "about \"Version # : 5.2.0.117\"");
    planted.arrange = [](CUndo& u) {
        const wstring folder = WindowsFile(L"..\\Planted");
        ::CreateDirectoryW(folder.c_str(), nullptr);
        u.Then([folder] { ::RemoveDirectoryW(folder.c_str()); });
        for (const wstring& in : {folder, IconsFolder()})
            for (LPCWSTR pszName :
                 {L"ZADAVUD.DLL", L"version.dll", L"uxtheme.dll", L"dwmapi.dll", L"msimg32.dll"}) {
                const wstring path = in + L"\\" + pszName;
                ::CopyFileW(WindowsFile(L"system32\\version.dll").c_str(), path.c_str(), TRUE);
                u.Then([path] { ::DeleteFileW(path.c_str()); });
            }
        WCHAR szSaved[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, szSaved);
        const wstring saved = szSaved;
        ::SetCurrentDirectoryW(folder.c_str());
        u.Then([saved] { ::SetCurrentDirectoryW(saved.c_str()); });
    };
    planted.act = [](CDialogUnderTest& dlg, CUndo&) {
        WCHAR szPlanted[MAX_PATH] = {}, szIcons[MAX_PATH] = {};
        ::GetFullPathNameW(WindowsFile(L"..\\Planted").c_str(), MAX_PATH, szPlanted, nullptr);
        ::GetFullPathNameW(IconsFolder().c_str(), MAX_PATH, szIcons, nullptr);
        HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, dlg.m_dwProcess);
        MODULEENTRY32W me = {};
        me.dwSize = sizeof(me);
        int nModules = 0;
        for (BOOL b = ::Module32FirstW(hSnap, &me); b; b = ::Module32NextW(hSnap, &me), nModules++)
            for (LPCWSTR pszFolder : {szPlanted, szIcons})
                EXPECT_NE(_wcsnicmp(me.szExePath, pszFolder, wcslen(pszFolder)), 0)
                    << Utf8(me.szExePath);
        ::CloseHandle(hSnap);
        EXPECT_GT(nModules, 3);
    };
    Case& writes = add("security: a session writes no registry value but SystrayatBoot and no file",
                       kProgram, "", kApplied);
    writes.arrange = [](CUndo& u) { u.SetDword(HKLM, kTrayKey, L"SystrayatBoot", 0); };
    writes.act = [](CDialogUnderTest& dlg, CUndo&) {
        // SystrayatBoot goes to 1 and back to 0: nothing differs afterwards.
        const wstring folders[] = {WindowsFile(L""), IconsFolder(), ProgramFolder()};
        std::vector<std::vector<wstring>> before;
        for (const wstring& folder : folders)
            before.push_back(Listing(folder));
        const StoreMap machine = ReadRegistry(HKLM, L"SOFTWARE\\Quelda"),
                       user = ReadRegistry(HKCU, L"Software\\Quelda");
        RunSession(dlg, "press Tray; press Apply; press Tray; press Apply; key Down");
        for (size_t i = 0; i < ARRAYSIZE(folders); i++)
            EXPECT_EQ(Listing(folders[i]), before[i]) << Utf8(folders[i]);
        EXPECT_EQ(StoreDifference(machine, ReadRegistry(HKLM, L"SOFTWARE\\Quelda")), "");
        EXPECT_EQ(StoreDifference(user, ReadRegistry(HKCU, L"Software\\Quelda")), "");
    };
    return cases;
}

// The store after a plain Apply of the unchanged dialog: what every Apply case starts from.
StoreMap g_applied;

void CompareStores(const Case& c, const StoreMap& before, const StoreMap& after)
{
    StoreMap expected = c.after == kApplied ? g_applied : before, actual = after;
    std::vector<wstring> checked = StoreKeysChecked(c.row);
    checked.insert(checked.end(), c.checked.begin(), c.checked.end());
    for (const wstring& key : checked) {
        expected.erase(key);
        actual.erase(key);
    }
    if (c.after == kKept) {
        for (const auto& entry : expected)
            EXPECT_TRUE(actual.count(entry.first) && actual.at(entry.first) == entry.second)
                << "lost or changed: " << Utf8(entry.first);
        return;
    }
    EXPECT_EQ(StoreDifference(expected, actual), "");
}

void RunCase(const Case& c)
{
    CConfigServiceStore store(c.defaults.empty() ? nullptr : c.defaults.c_str());
    CButtonConfig().GetButtonList(); // seeds the store
    StoreMap before;
    {
        CUndo undo;
        if (c.arrange) c.arrange(undo);
        before = ReadStore();
        if (c.where == kThread) {
            CSettingsDialog dlg;
            RunSession(dlg, c.row);
            if (c.act) c.act(dlg, undo);
        } else if (c.dwExitCode) {
            CProgramUnderTest program(PROGRAM_PATH, c.params);
            ASSERT_TRUE(program.Start());
            HWND hBox = nullptr;
            EXPECT_TRUE(WaitUntil(
                [&] { return (hBox = FindDialogOf(program.m_dwProcess, L"ButtonConfig")); }, 20000))
                << "no message";
            if (hBox) {
                EXPECT_EQ(WindowText(::GetDlgItem(hBox, 0xFFFF)),
                          L"Initialization file has too many buttons in button list");
                ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
            }
            EXPECT_EQ(program.WaitForEnd(), c.dwExitCode);
        } else {
            CProgramUnderTest program(PROGRAM_PATH, c.params);
            RunSession(program, c.row);
            if (c.act) c.act(program, undo);
            program.Close();
            EXPECT_EQ(program.m_dwExitCode, 0u) << "99: it did not end in time";
        }
    }
    CompareStores(c, before, ReadStore());
}

} // namespace

TEST(RobustnessTest, EveryCaseHolds)
{
    ::CoInitialize(nullptr);
    {
        // Held open across the cases, so that the server is not started again for each.
        auto pProbe = std::make_unique<CEventServerProbe>();
        {
            CConfigServiceStore store;
            CButtonConfig().GetButtonList();
            CSettingsDialog dlg;
            RunSession(dlg, "press Apply");
            dlg.Close();
            g_applied = ReadStore();
        }
        const std::vector<Case> cases = Cases();
        const testing::TestResult* pResult =
            testing::UnitTest::GetInstance()->current_test_info()->result();
        int nRun = 0, nHeld = 0;
        // ROBUSTNESS_CASES=<part of a name>|<part of another> runs only those cases, when some
        // are being looked into.
        char szOnly[256] = {};
        ::GetEnvironmentVariableA("ROBUSTNESS_CASES", szOnly, sizeof(szOnly));
        const std::string only = std::string("|") + szOnly + "|";
        for (const Case& c : cases) {
            bool bChosen = !*szOnly;
            for (size_t i = 0; !bChosen && i + 1 < only.size(); i = only.find('|', i + 1))
                bChosen = c.name.find(only.substr(i + 1, only.find('|', i + 1) - i - 1)) !=
                          std::string::npos;
            if (!bChosen) continue;
            nRun++;
            SCOPED_TRACE(c.name);
            const int nFailuresBefore = pResult->total_part_count();
            RunCase(c);
            if (!pProbe->IsConnected() || c.name.find("ended") != std::string::npos)
                pProbe = std::make_unique<CEventServerProbe>();
            if (pResult->total_part_count() == nFailuresBefore)
                nHeld++;
            else
                printf("case failed: %s\n", c.name.c_str());
            fflush(stdout);
        }
        printf("%d cases: %d held\n", nRun, nHeld);
        EXPECT_EQ(nHeld, nRun);
    }
    ::CoUninitialize();
}
