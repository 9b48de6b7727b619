// Prints how long the program takes from process start to its dialog on the screen, against a
// bare dialog program of the same template, with the button event server running and not.
// Usage: StartupBench <program> <bare dialog program> [runs]
#include <windows.h>
#include <ole2.h>
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

// Milliseconds from CreateProcess to the visible dialog; the dialog is then closed.
double TimeToDialog(const std::wstring& command)
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
        return -1;
    double ms = -1;
    for (int i = 0; i < 20000 && ms < 0; i++) {
        for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32770", L"Kivora Buttons"));) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid != pi.dwProcessId || !::IsWindowVisible(h)) continue;
            ::QueryPerformanceCounter(&now);
            ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                 static_cast<double>(freq.QuadPart);
            ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        if (ms < 0) ::Sleep(1);
    }
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double Median(const std::wstring& command, int nRuns, bool bServerRunning)
{
    std::vector<double> times;
    for (int i = 0; i < nRuns; i++) {
        if (!bServerRunning) WaitForServerGone();
        times.push_back(TimeToDialog(command));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

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
        const double dProgram = Median(program, nRuns, bRunning);
        const double dBare = Median(bare, nRuns, bRunning);
        const double dBareCom = Median(bareCom, nRuns, bRunning);
        if (pServer) pServer->Release();
        std::wprintf(L"event server %ls:\n", bRunning ? L"running" : L"not running");
        std::wprintf(L"  program %8.1f\n  bare dialog %8.1f   program / bare %.2f\n", dProgram,
                     dBare, dProgram / dBare);
        std::wprintf(L"  bare dialog + COM %8.1f   program / bare + COM %.2f\n", dBareCom,
                     dProgram / dBareCom);
    }
    ::CoUninitialize();
    return 0;
}
