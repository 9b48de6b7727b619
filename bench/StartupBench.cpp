// Prints how long the program takes from process start to its dialog on the screen, against a
// bare dialog program of the same template, with the button event server running and not; the
// same with 1,000 stored schemes against one; and the peak working set with the dialog open.
// Usage: StartupBench <program> <bare dialog program> [runs]
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
};

// One start of the program; the dialog is closed once it shows.
Run TimeToDialog(const std::wstring& command)
{
    std::wstring line = command;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER freq, start, now;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return Run();
    Run run;
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
    ::CoInitialize(nullptr);
    std::wprintf(L"start to visible dialog, median of %d runs, ms\n", nRuns);
    for (bool bRunning : {true, false}) {
        IUnknown* pServer = nullptr;
        if (bRunning)
            ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&pServer));
        double dPeak = 0, dBarePeak = 0;
        const double dProgram = Median(program, nRuns, bRunning, &dPeak);
        const double dBare = Median(bare, nRuns, bRunning, &dBarePeak);
        const double dBareCom = Median(bareCom, nRuns, bRunning);
        // With the server running, the start with 1,000 stored schemes against one.
        double dOne = 0, dThousand = 0;
        if (bRunning) {
            {
                CStoredSchemes one(1);
                dOne = Median(program, nRuns, true);
            }
            CStoredSchemes thousand(1000);
            dThousand = Median(program, nRuns, true);
        }
        if (pServer) pServer->Release();
        std::wprintf(L"event server %ls:\n", bRunning ? L"running" : L"not running");
        std::wprintf(L"  program %8.1f\n  bare dialog %8.1f   program / bare %.2f\n", dProgram,
                     dBare, dProgram / dBare);
        std::wprintf(L"  bare dialog + COM %8.1f   program / bare + COM %.2f\n", dBareCom,
                     dProgram / dBareCom);
        if (!bRunning) continue;
        std::wprintf(L"  peak working set, KiB: program %8.0f   bare dialog %8.0f   ratio %.2f\n",
                     dPeak, dBarePeak, dPeak / dBarePeak);
        std::wprintf(L"  stored schemes: 1 %8.1f   1,000 %8.1f   ratio %.2f\n", dOne, dThousand,
                     dThousand / dOne);
    }
    ::CoUninitialize();
    return 0;
}
