// Moments of the stand-ins' calls, for the benchmarks. While a benchmark holds the section
// "KivoraBenchStamps", each stand-in notes there when it was called (the performance counter,
// which every process of the machine shares) and with what; otherwise nothing is noted. A
// benchmark then tells where a start or an Apply spends its time without any timing code in the
// program it measures.
#pragma once

#include <windows.h>

enum BenchStampKind : char {
    kStampActivation = 'S', // the event server makes an object
    kStampAdvise = 'A',     // a connection point's Advise
    kStampRegister = 'R',   // RegisterButtonClient returns
    kStampService = 'C',    // a call of the configuration service, CreateInstance included
};

struct BenchStamp
{
    LONGLONG llTime;
    char cKind;
};

struct BenchStamps
{
    volatile LONG nCount;
    BenchStamp stamps[32768];
};

inline constexpr WCHAR kBenchStampsName[] = L"KivoraBenchStamps";

// The section, when a benchmark had made it by the process's first call; null otherwise.
inline BenchStamps* MapBenchStamps()
{
    static bool s_bLooked = false;
    static BenchStamps* s_pStamps = nullptr;
    if (s_bLooked) return s_pStamps;
    s_bLooked = true;
    if (HANDLE hSection = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, kBenchStampsName)) {
        s_pStamps = static_cast<BenchStamps*>(::MapViewOfFile(hSection, FILE_MAP_WRITE, 0, 0, 0));
        ::CloseHandle(hSection);
    }
    return s_pStamps;
}

inline void NoteBenchStamp(BenchStampKind kind)
{
    BenchStamps* pStamps = MapBenchStamps();
    if (!pStamps) return;
    const LONG n = ::InterlockedIncrement(&pStamps->nCount) - 1;
    if (n < 0 || n >= static_cast<LONG>(ARRAYSIZE(pStamps->stamps))) return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    pStamps->stamps[n].llTime = now.QuadPart;
    pStamps->stamps[n].cKind = kind;
}
