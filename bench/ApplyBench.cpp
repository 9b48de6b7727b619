// Prints what an Apply of 12 buttons costs, with nothing changed and with one target changed,
// against its floor: the configuration service calls that Apply makes, made alone in a loop; and
// where one Apply spends its time, from the moments of the service's calls. Runs in-process
// against the installed stand-ins, on a user scheme (the maker's scheme is never written).
#include "ServiceCalls.h"
#include "components/BenchStamps.h"
#include "dialog/ButtonSettingsDlg.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const WCHAR kStore[] = L"Software\\Kivora Stand-ins\\Button Configuration";
const WCHAR kFaults[] = L"Software\\Kivora Stand-ins\\Button Configuration Faults";

double g_dTicksPerMs = 1;

LONGLONG Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The median time of fn over nRounds calls, in milliseconds; prepare runs before each, untimed.
double Median(int nRounds, const std::function<void()>& fn, const std::function<void()>& prepare)
{
    std::vector<LONGLONG> times;
    for (int i = 0; i < nRounds; i++) {
        prepare();
        const LONGLONG llStart = Now();
        fn();
        times.push_back(Now() - llStart);
    }
    std::sort(times.begin(), times.end());
    return static_cast<double>(times[times.size() / 2]) / g_dTicksPerMs;
}

// The service calls fn makes, as the stand-in logs them.
std::wstring CallsOf(const std::function<void()>& fn)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kFaults, L"Faults", REG_SZ, L"log", 8);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaults, L"Calls");
    fn();
    DWORD cb = 0;
    ::RegGetValueW(HKEY_CURRENT_USER, kFaults, L"Calls", RRF_RT_REG_SZ, nullptr, nullptr, &cb);
    std::wstring calls(cb / sizeof(WCHAR) + 1, L'\0');
    ::RegGetValueW(HKEY_CURRENT_USER, kFaults, L"Calls", RRF_RT_REG_SZ, nullptr, &calls[0], &cb);
    calls.resize(wcslen(calls.c_str()));
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaults, L"Calls");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kFaults, L"Faults");
    return calls;
}

// One Apply split at its first and last service call.
void PrintPhases(BenchStamps* pStamps, const std::function<void()>& fn,
                 const std::function<void()>& prepare)
{
    prepare();
    pStamps->nCount = 0;
    const LONGLONG llStart = Now();
    fn();
    const LONGLONG llEnd = Now();
    const LONG nCalls = pStamps->nCount;
    auto ms = [](LONGLONG llTicks) { return static_cast<double>(llTicks) / g_dTicksPerMs; };
    if (!nCalls) return;
    const LONGLONG llFirst = pStamps->stamps[0].llTime, llLast = pStamps->stamps[nCalls - 1].llTime;
    std::wprintf(L"    before the first service call (commit, tray, list) %8.2f\n"
                 L"    the %ld service calls %8.2f\n    after the last %8.2f\n",
                 ms(llFirst - llStart), nCalls, ms(llLast - llFirst), ms(llEnd - llLast));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int nRounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 51;
    HANDLE hSection = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(BenchStamps), kBenchStampsName);
    auto* pStamps = static_cast<BenchStamps*>(::MapViewOfFile(hSection, FILE_MAP_WRITE, 0, 0, 0));
    if (!pStamps) return 1;
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    g_dTicksPerMs = static_cast<double>(freq.QuadPart) / 1000;
    ::OleInitialize(nullptr);
    // A user scheme, current, so that Apply stores the set; the store's list is put back after.
    std::vector<BYTE> saved[2];
    const WCHAR* const kSaved[2] = {L"Schemes", L"Current"};
    DWORD dwTypes[2] = {};
    for (int i = 0; i < 2; i++) {
        DWORD cb = 0;
        ::RegGetValueW(HKEY_CURRENT_USER, kStore, kSaved[i], RRF_RT_ANY, nullptr, nullptr, &cb);
        saved[i].resize(cb);
        if (cb)
            ::RegGetValueW(HKEY_CURRENT_USER, kStore, kSaved[i], RRF_RT_ANY, &dwTypes[i],
                           saved[i].data(), &cb);
    }
    const WCHAR kSchemes[] = L"QUELDA\0Bench\0";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStore, L"Schemes", REG_MULTI_SZ, kSchemes,
                      sizeof(kSchemes));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStore, L"Current", REG_SZ, L"Bench", 12);
    {
        CButtonSettingsDlg dlg;
        if (!dlg.Create()) return 1;
        const auto apply = [&dlg] { dlg.OnApply(); };
        const std::function<void()> nothing = [] {};
        bool bOther = false;
        const std::function<void()> changeTarget = [&dlg, &bOther] {
            bOther = !bOther;
            dlg.SetDlgItemText(IDC_EDIT_TITLE,
                               bOther ? L"C:\\windows\\notepad.exe" : L"C:\\windows\\regedit.exe");
        };
        apply(); // the scheme stored once, as every later Apply finds it
        std::wprintf(L"Apply of 12 buttons, median of %d rounds, ms\n", nRounds);
        for (const bool bChanged : {false, true}) {
            const std::function<void()> prepare = bChanged ? changeTarget : nothing;
            const double dApply = Median(nRounds, apply, prepare);
            prepare();
            const std::wstring calls = CallsOf(apply);
            const double dFloor = Median(
                nRounds, [&calls] { ReplayServiceCalls(calls); }, nothing);
            std::wprintf(L"  %ls: Apply %8.2f   its service calls alone %8.2f   Apply / calls "
                         L"%.2f\n",
                         bChanged ? L"one target changed" : L"nothing changed", dApply, dFloor,
                         dApply / dFloor);
            PrintPhases(pStamps, apply, prepare);
        }
    }
    for (int i = 0; i < 2; i++)
        if (!saved[i].empty())
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kStore, kSaved[i], dwTypes[i], saved[i].data(),
                              static_cast<DWORD>(saved[i].size()));
    ::OleUninitialize();
    ::UnmapViewOfFile(pStamps);
    ::CloseHandle(hSection);
    return 0;
}
