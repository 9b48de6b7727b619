// The program against bad input and failing neighbours: the table of cases "cases.txt", each one
// bad input or fault and what a user then does. Every case must end in time, with the program's
// exit code for it, and leave the configuration service's store exactly as its actions do.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "Session.h"
#include "SettingsDialog.h"
#include "Undo.h"
#include "UserInput.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using std::wstring;

const HKEY HKLM = HKEY_LOCAL_MACHINE, HKCU = HKEY_CURRENT_USER;

wstring IconsFolder()
{
    return Expanded(L"$(ProgramFiles)\\QUELDA\\Kivora Button Support\\Icons");
}

wstring ProgramFolder()
{
    const wstring path = WinePath(PROGRAM_PATH).GetString();
    return path.substr(0, path.rfind(L'\\'));
}

bool EndFromInside(LPCWSTR pszExe)
{
    bool bEnded = false;
    for (DWORD dwProcess : ProcessesNamed(pszExe))
        if (HANDLE h = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, dwProcess)) {
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
    return bEnded;
}

// The eight or four bytes at that address.
ULONG64 Read64(ULONG64 address)
{
    return *reinterpret_cast<const ULONG64*>(static_cast<ULONG_PTR>(address));
}
ULONG64 Read32(ULONG64 address)
{
    return *reinterpret_cast<const ULONG*>(static_cast<ULONG_PTR>(address));
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
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds" // fs:[0x18] looks like an empty array to it
    const ULONG64 teb = reinterpret_cast<ULONG_PTR>(NtCurrentTeb());
#pragma GCC diagnostic pop
    ULONG64 table =
        sizeof(void*) == 8 ? Read64(Read64(teb + 0x60) + 0xF8) : Read32(Read32(teb + 0x30) + 0x94);
    // A 32-bit process of a 64-bit Wine finds it in the 64-bit PEB, by way of the 64-bit TEB its
    // own TEB's GdiBatchCount names.
    if (!table && sizeof(void*) == 4 && Read32(teb + 0xF70))
        table = Read64(Read64(Read32(teb + 0xF70) + 0x60) + 0xF8);
    const Entry* pTable = reinterpret_cast<const Entry*>(static_cast<ULONG_PTR>(table));
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

// The steps of the table's own.
CustomSteps OwnSteps()
{
    static int s_nGdiObjects = 0;
    auto arrange = [](std::function<void(CUndo&, const std::vector<wstring>&)> fn) {
        return CustomStep{
            false, [fn](CDialogUnderTest&, CUndo& u, const std::vector<wstring>& w) { fn(u, w); }};
    };
    auto act = [](std::function<void(CDialogUnderTest&, const std::vector<wstring>&)> fn) {
        return CustomStep{true, [fn](CDialogUnderTest& dlg, CUndo&, const std::vector<wstring>& w) {
                              fn(dlg, w);
                          }};
    };
    CustomSteps steps;
    // sparse PATH MB: a file of that many megabytes of nothing.
    steps["sparse"] = arrange([](CUndo& u, const std::vector<wstring>& w) {
        u.File(w[1]);
        HANDLE h =
            ::CreateFileW(w[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER size = {};
        size.QuadPart = static_cast<LONGLONG>(_wtoi(w[2].c_str())) << 20;
        ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h);
        ::CloseHandle(h);
    });
    // hold PATH SHARE: the file, holding "held", kept open by another program sharing it so.
    steps["hold"] = arrange([](CUndo& u, const std::vector<wstring>& w) {
        u.WriteFile(w[1], "held");
        HANDLE h =
            ::CreateFileW(w[1].c_str(), GENERIC_READ, static_cast<DWORD>(_wtoi(w[2].c_str())),
                          nullptr, OPEN_EXISTING, 0, nullptr);
        u.Then([h] { ::CloseHandle(h); });
    });
    // held PATH: the file still holds "held", and no part of another is left beside it.
    steps["held"] = act([](CDialogUnderTest&, const std::vector<wstring>& w) {
        EXPECT_EQ(ReadAll(w[1]), "held");
        for (const wstring& name : Listing(w[1].substr(0, w[1].rfind(L'\\'))))
            EXPECT_NE(name.substr(0, 3), L"kbs") << "a part left: " << Utf8(name);
    });
    // deaf: the tray program's window, never reading its queue.
    steps["deaf"] = arrange([](CUndo& u, const std::vector<wstring>&) {
        auto stop = std::make_shared<std::atomic<bool>>(false);
        auto thread = std::make_shared<std::thread>([stop] {
            HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"Quelda Kivora System Tray Window",
                                          WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            WaitUntil([stop] { return stop->load(); }, INFINITE);
            ::DestroyWindow(hWnd);
        });
        WaitUntil([] { return ::FindWindowW(nullptr, L"Quelda Kivora System Tray Window"); });
        u.Then([stop, thread] {
            *stop = true;
            thread->join();
        });
    });
    // crash NAME: the program of that file name ends as a crash ends it.
    steps["crash"] = act([](CDialogUnderTest&, const std::vector<wstring>& w) {
        EXPECT_TRUE(EndFromInside(w[1].c_str()));
    });
    steps["updown"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>& w) {
        for (int i = 0; i < _wtoi(w[1].c_str()); i++)
            RunSession(dlg, "key Down; key Up");
    });
    steps["endsession"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>&) {
        DWORD_PTR dwResult = 0;
        ::SendMessageTimeoutW(dlg.m_hDlg, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &dwResult);
        ::SendMessageTimeoutW(dlg.m_hDlg, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &dwResult);
    });
    // second: another copy of the program starts, ends with 0, and leaves the dialog open.
    steps["second"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>&) {
        CProgramUnderTest second(PROGRAM_PATH);
        ASSERT_TRUE(second.Start());
        EXPECT_EQ(second.WaitForEnd(), 0u);
        EXPECT_TRUE(::IsWindow(dlg.m_hDlg));
    });
    // rounds N: the first target set to one program and applied, then to another, N times.
    steps["rounds"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>& w) {
        for (int i = 0; i < _wtoi(w[1].c_str()); i++)
            RunSession(dlg, "target \"C:\\\\windows\\\\notepad.exe\"; press Apply; "
                            "target \"C:\\\\windows\\\\regedit.exe\"; press Apply");
    });
    // gdi: notes this process's GDI objects; gdi N: at most N more than noted (a few come and go
    // with the painting).
    steps["gdi"] = act([](CDialogUnderTest&, const std::vector<wstring>& w) {
        if (w.size() == 1) {
            s_nGdiObjects = GdiObjects();
            EXPECT_GT(s_nGdiObjects, 0) << "no GDI handle table";
        } else {
            EXPECT_LE(GdiObjects(), s_nGdiObjects + _wtoi(w[1].c_str()));
        }
    });
    // plant: libraries of the program's names and the system's in a folder that is then the
    // current one, and in the icons folder.
    steps["plant"] = arrange([](CUndo& u, const std::vector<wstring>&) {
        const wstring folder = Expanded(L"$(windir)\\..\\Planted");
        ::CreateDirectoryW(folder.c_str(), nullptr);
        u.Then([folder] { ::RemoveDirectoryW(folder.c_str()); });
        for (const wstring& in : {folder, IconsFolder()})
            for (LPCWSTR pszName :
                 {L"ZADAVUD.DLL", L"version.dll", L"uxtheme.dll", L"dwmapi.dll", L"msimg32.dll"}) {
                const wstring path = in + L"\\" + pszName;
                ::CopyFileW(Expanded(L"$(windir)\\system32\\version.dll").c_str(), path.c_str(),
                            TRUE);
                u.Then([path] { ::DeleteFileW(path.c_str()); });
            }
        WCHAR szSaved[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, szSaved);
        const wstring saved = szSaved;
        ::SetCurrentDirectoryW(folder.c_str());
        u.Then([saved] { ::SetCurrentDirectoryW(saved.c_str()); });
    });
    // planted: the program loaded none of them.
    steps["planted"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>&) {
        WCHAR szPlanted[MAX_PATH] = {}, szIcons[MAX_PATH] = {};
        ::GetFullPathNameW(Expanded(L"$(windir)\\..\\Planted").c_str(), MAX_PATH, szPlanted,
                           nullptr);
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
    });
    // writes: the tray box checked, applied, cleared and applied writes no registry value (the
    // tray flag ends as it was) and no file.
    steps["writes"] = act([](CDialogUnderTest& dlg, const std::vector<wstring>&) {
        const wstring folders[] = {Expanded(L"$(windir)\\"), IconsFolder(), ProgramFolder()};
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
    });
    return steps;
}

// The store after a plain Apply of the unchanged dialog: what every Apply case starts from.
StoreMap g_applied;
// Whether the last case's program had to be ended by force.
bool g_bForcedEnd = false;

// A case of the table: the store afterwards as before, as a plain Apply leaves it ("applied") or
// holding at least all it held ("kept"); either way but for the values the session checks itself.
void RunCase(const std::string& how, const std::string& arrangement, const std::string& row)
{
    const std::vector<wstring> words = Words(how);
    auto has = [&](LPCWSTR pszWord) {
        return std::find(words.begin(), words.end(), pszWord) != words.end();
    };
    const auto params = std::find(words.begin(), words.end(), L"params");
    const wstring strParams = params + 1 < words.end() ? params[1] : L"";
    const CustomSteps steps = OwnSteps();
    CConfigServiceStore store;
    CUndo undo;
    Arrange(arrangement, undo, steps);
    const StoreMap before = ReadStore();
    if (has(L"refused")) {
        CProgramUnderTest program(PROGRAM_PATH);
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
        EXPECT_EQ(program.WaitForEnd(), 1u);
        g_bForcedEnd = program.m_dwExitCode == 99;
    } else if (has(L"program")) {
        CProgramUnderTest program(PROGRAM_PATH, strParams);
        RunSession(program, row, &undo, steps);
        program.Close();
        EXPECT_EQ(program.m_dwExitCode, 0u) << "99: it did not end in time";
        g_bForcedEnd = program.m_dwExitCode == 99;
    } else {
        CSettingsDialog dlg;
        RunSession(dlg, row, &undo, steps);
    }
    StoreMap expected = has(L"applied") ? g_applied : before, actual = ReadStore();
    for (const wstring& key : StoreKeysChecked(row)) {
        expected.erase(key);
        actual.erase(key);
    }
    if (has(L"kept")) {
        for (const auto& entry : expected)
            EXPECT_TRUE(actual.count(entry.first) && actual.at(entry.first) == entry.second)
                << "lost or changed: " << Utf8(entry.first);
    } else {
        EXPECT_EQ(StoreDifference(expected, actual), "");
    }
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
            CSettingsDialog dlg;
            RunSession(dlg, "press Apply");
            dlg.Close();
            g_applied = ReadStore();
        }
        ::SetEnvironmentVariableW(L"KV_PROGRAM_DIR", ProgramFolder().c_str());
        const testing::TestResult* pResult =
            testing::UnitTest::GetInstance()->current_test_info()->result();
        int nRun = 0, nHeld = 0;
        // ROBUSTNESS_CASES=<part of a name>|<part of another> runs only those cases, when some
        // are being looked into.
        char szOnly[256] = {};
        ::GetEnvironmentVariableA("ROBUSTNESS_CASES", szOnly, sizeof(szOnly));
        const std::string only = std::string("|") + szOnly + "|";
        for (const std::string& row : TableRows(CASES_TABLE)) {
            const std::vector<std::string> c = Columns(row);
            ASSERT_EQ(c.size(), 4u) << row;
            bool bChosen = !*szOnly;
            for (size_t i = 0; !bChosen && i + 1 < only.size(); i = only.find('|', i + 1))
                bChosen = c[0].find(only.substr(i + 1, only.find('|', i + 1) - i - 1)) !=
                          std::string::npos;
            if (!bChosen) continue;
            nRun++;
            SCOPED_TRACE(c[0]);
            const int nFailuresBefore = pResult->total_part_count();
            RunCase(c[1], c[2], c[3]);
            if (!pProbe->IsConnected() || c[3].find("crash") != std::string::npos)
                pProbe = std::make_unique<CEventServerProbe>();
            if (pResult->total_part_count() == nFailuresBefore)
                nHeld++;
            else
                printf("case failed: %s\n", c[0].c_str());
            fflush(stdout);
            // A program that no longer ends would cost each case after this one its whole wait.
            if (g_bForcedEnd) break;
        }
        printf("%d cases: %d held\n", nRun, nHeld);
        EXPECT_EQ(nHeld, nRun);
    }
    ::CoUninitialize();
}
