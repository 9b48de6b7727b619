// Prints how long the program takes from process start to its dialog on the screen, against a
// bare dialog program of the same template and against the true floor (the bare dialog making
// every call the program must make first), with the button event server running and not; where
// one start spends its time, from the moments of the stand-ins' calls; the same with 1,000 stored
// schemes against one; and the peak working set with the dialog open.
// Usage: StartupBench <program> <bare dialog program> [runs]
#include "components/BenchStamps.h"

#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};

bool ServerRunning()
{
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool bFound = false;
    for (BOOL b = ::Process32FirstW(hSnap, &entry); b && !bFound;
         b = ::Process32NextW(hSnap, &entry))
        bFound = !_wcsicmp(entry.szExeFile, L"ButtonEventServer.exe");
    ::CloseHandle(hSnap);
    return bFound;
}

void WaitForServerGone()
{
    for (int i = 0; i < 100 && ServerRunning(); i++)
        ::Sleep(50);
}

struct Run
{
    double ms = -1;    // from CreateProcess to the visible dialog
    double dPeak = -1; // the peak working set then, in KiB
    LONGLONG llStart = 0;
};

BenchStamps* g_pStamps = nullptr;
double g_dTicksPerMs = 1;

// One start of the program; the dialog is closed once it shows, after onShown has run.
Run TimeToDialog(const std::wstring& command, void (*onShown)() = nullptr)
{
    std::wstring line = command;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER freq, start, now;
    ::QueryPerformanceFrequency(&freq);
    g_pStamps->nCount = 0;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return Run();
    Run run;
    run.llStart = start.QuadPart;
    double& ms = run.ms;
    for (int i = 0; i < 20000 && ms < 0; i++) {
        for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32770", L"Kivora Buttons"));) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid != pi.dwProcessId || !::IsWindowVisible(h)) continue;
            ::QueryPerformanceCounter(&now);
            ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                 static_cast<double>(freq.QuadPart);
            PROCESS_MEMORY_COUNTERS counters = {};
            if (::GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters)))
                run.dPeak = static_cast<double>(counters.PeakWorkingSetSize) / 1024;
            if (onShown) onShown();
            ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        if (ms < 0) ::Sleep(1);
    }
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return run;
}

// The median start time; the median peak working set goes into pdPeak.
double Median(const std::wstring& command, int nRuns, bool bServerRunning, double* pdPeak = nullptr)
{
    std::vector<double> times, peaks;
    for (int i = 0; i < nRuns; i++) {
        if (!bServerRunning) WaitForServerGone();
        const Run run = TimeToDialog(command);
        times.push_back(run.ms);
        peaks.push_back(run.dPeak);
    }
    std::sort(times.begin(), times.end());
    std::sort(peaks.begin(), peaks.end());
    if (pdPeak) *pdPeak = peaks[peaks.size() / 2];
    return times[times.size() / 2];
}

// Where one start spent its time: the runs of the stand-ins' calls and the program's own work
// between them, in milliseconds from CreateProcess.
void PrintPhases(const wchar_t* pszWhat, const std::wstring& command)
{
    const Run run = TimeToDialog(command);
    std::wprintf(L"  %ls, one start, ms from CreateProcess:\n", pszWhat);
    auto at = [&run](LONGLONG llTime) {
        return static_cast<double>(llTime - run.llStart) / g_dTicksPerMs;
    };
    auto phase = [](char cKind) {
        return cKind == kStampService      ? L"configuration service calls"
               : cKind == kStampActivation ? L"event server activation"
                                           : L"subscriptions (Advise, RegisterButtonClient)";
    };
    auto group = [](char cKind) {
        return cKind == kStampService ? 2 : cKind == kStampActivation ? 0 : 1;
    };
    const LONG nCount =
        std::min<LONG>(LONG(g_pStamps->nCount), static_cast<LONG>(ARRAYSIZE(g_pStamps->stamps)));
    double dEnd = 0;
    for (LONG i = 0, n; i < nCount && at(g_pStamps->stamps[i].llTime) < run.ms; i = n) {
        const char cKind = g_pStamps->stamps[i].cKind;
        for (n = i + 1; n < nCount && group(g_pStamps->stamps[n].cKind) == group(cKind);)
            n++;
        const double dFrom = at(g_pStamps->stamps[i].llTime);
        std::wprintf(L"    %8.1f %8.1f  the program's own work\n", dEnd, dFrom);
        dEnd = at(g_pStamps->stamps[n - 1].llTime);
        std::wprintf(L"    %8.1f %8.1f  %ls: %ld\n", dFrom, dEnd, phase(cKind), n - i);
    }
    std::wprintf(L"    %8.1f %8.1f  the program's own work, to the dialog on the screen\n", dEnd,
                 run.ms);
}

const WCHAR kFaultsKey[] = L"Software\\Kivora Stand-ins\\Button Configuration Faults";
std::wstring g_calls;

void TakeCalls()
{
    DWORD cb = 0;
    ::RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls", RRF_RT_REG_SZ, nullptr, nullptr, &cb);
    g_calls.assign(cb / sizeof(WCHAR) + 1, L'\0');
    ::RegGetValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls", RRF_RT_REG_SZ, nullptr, &g_calls[0],
                   &cb);
    g_calls.resize(wcslen(g_calls.c_str()));
}

// The configuration service calls the program makes before its dialog shows, as the stand-in
// logs them, written to a file for the floor program; the file's path.
std::wstring RecordServiceCalls(const std::wstring& program)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults", REG_SZ, L"log", 8);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls");
    TimeToDialog(program, TakeCalls);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Calls");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaultsKey, L"Faults");
    WCHAR szPath[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szPath);
    const std::wstring path = std::wstring(szPath) + L"floor-calls.txt";
    HANDLE hFile =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD cbWritten = 0;
    ::WriteFile(hFile, g_calls.data(), static_cast<DWORD>(g_calls.size() * sizeof(WCHAR)),
                &cbWritten, nullptr);
    ::CloseHandle(hFile);
    return path;
}

// The configuration service stand-in's stored scheme list, set for a measurement and put back.
class CStoredSchemes
{
public:
    explicit CStoredSchemes(int nSchemes)
    {
        m_bSaved = ::RegGetValueW(HKEY_CURRENT_USER, kStore, L"Schemes", RRF_RT_REG_MULTI_SZ,
                                  nullptr, nullptr, &m_cbSaved) == ERROR_SUCCESS;
        m_saved.resize(m_cbSaved / sizeof(WCHAR) + 1);
        if (m_bSaved)
            ::RegGetValueW(HKEY_CURRENT_USER, kStore, L"Schemes", RRF_RT_REG_MULTI_SZ, nullptr,
                           m_saved.data(), &m_cbSaved);
        std::wstring multi = std::wstring(L"QUELDA") + L'\0';
        for (int i = 1; i < nSchemes; i++)
            multi += L"Scheme " + std::to_wstring(i) + L'\0';
        Write(multi + L'\0');
    }
    ~CStoredSchemes()
    {
        if (m_bSaved)
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kStore, L"Schemes", REG_MULTI_SZ, m_saved.data(),
                              m_cbSaved);
    }

private:
    static void Write(const std::wstring& multi)
    {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kStore, L"Schemes", REG_MULTI_SZ, multi.data(),
                          static_cast<DWORD>(multi.size() * sizeof(WCHAR)));
    }
    static constexpr const WCHAR* kStore = L"Software\\Kivora Stand-ins\\Button Configuration";
    bool m_bSaved = false;
    DWORD m_cbSaved = 0;
    std::vector<WCHAR> m_saved;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: StartupBench <program> <bare dialog program> [runs]\n");
        return 2;
    }
    const int nRuns = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    const std::wstring program = L"\"" + std::wstring(argv[1]) + L"\"";
    const std::wstring bare = L"\"" + std::wstring(argv[2]) + L"\"";
    const std::wstring bareCom = bare + L" /com";
    HANDLE hSection = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(BenchStamps), kBenchStampsName);
    g_pStamps = static_cast<BenchStamps*>(::MapViewOfFile(hSection, FILE_MAP_WRITE, 0, 0, 0));
    if (!g_pStamps) return 1;
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    g_dTicksPerMs = static_cast<double>(freq.QuadPart) / 1000;
    ::CoInitialize(nullptr);
    std::wprintf(L"start to visible dialog, median of %d runs, ms\n", nRuns);
    const std::wstring floor = bare + L" /floor " + RecordServiceCalls(program);
    for (bool bRunning : {true, false}) {
        IUnknown* pServer = nullptr;
        if (bRunning)
            ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&pServer));
        double dPeak = 0, dBarePeak = 0, dFloorPeak = 0;
        const double dProgram = Median(program, nRuns, bRunning, &dPeak);
        const double dBare = Median(bare, nRuns, bRunning, &dBarePeak);
        const double dBareCom = Median(bareCom, nRuns, bRunning);
        const double dFloor = Median(floor, nRuns, bRunning, &dFloorPeak);
        std::wprintf(L"event server %ls:\n", bRunning ? L"running" : L"not running");
        std::wprintf(L"  program %8.1f\n  bare dialog %8.1f   program / bare %.2f\n", dProgram,
                     dBare, dProgram / dBare);
        std::wprintf(L"  bare dialog + COM %8.1f   program / bare + COM %.2f\n", dBareCom,
                     dProgram / dBareCom);
        std::wprintf(L"  true floor %8.1f   program / true floor %.2f\n", dFloor,
                     dProgram / dFloor);
        if (!bRunning) WaitForServerGone();
        PrintPhases(L"program", program);
        if (!bRunning) WaitForServerGone();
        PrintPhases(L"true floor", floor);
        if (bRunning) {
            std::wprintf(L"  peak working set, KiB: program %8.0f   bare dialog %8.0f   ratio "
                         L"%.2f\n    true floor %8.0f   program / true floor %.2f\n",
                         dPeak, dBarePeak, dPeak / dBarePeak, dFloorPeak, dPeak / dFloorPeak);
            // The start with 1,000 stored schemes against one. The true floor's calls are those
            // of one scheme: what the service itself spends on a longer list shows in its figure.
            for (const std::wstring& command : {program, floor}) {
                double dOne = 0, dThousand = 0;
                {
                    CStoredSchemes one(1);
                    dOne = Median(command, nRuns, true);
                }
                {
                    CStoredSchemes thousand(1000);
                    dThousand = Median(command, nRuns, true);
                }
                std::wprintf(L"  stored schemes, %ls: 1 %8.1f   1,000 %8.1f   ratio %.2f\n",
                             command == program ? L"program" : L"true floor", dOne, dThousand,
                             dThousand / dOne);
            }
        }
        if (pServer) pServer->Release();
    }
    ::CoUninitialize();
    ::UnmapViewOfFile(g_pStamps);
    ::CloseHandle(hSection);
    return 0;
}
