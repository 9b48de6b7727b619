#include "UserInput.h"
#include "framework/String.h"

#include <gtest/gtest.h>

namespace {

// Wine shows a program the Windows version its AppDefaults key names.
long ProbeUnder(LPCWSTR pszVersion)
{
    const CString strKey = L"Software\\Wine\\AppDefaults\\OsVersionProbe.exe";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, strKey, L"Version", REG_SZ, pszVersion,
                      static_cast<DWORD>((wcslen(pszVersion) + 1) * sizeof(WCHAR)));
    const PROCESS_INFORMATION pi = StartProgram(PROBE_PATH);
    const long nResult = pi.hProcess ? static_cast<long>(WaitForExit(pi)) : -1;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, strKey);
    return nResult;
}

} // namespace

TEST(OsVersionTest, PredicatesForTheVersionsTheProgramTellsApart)
{
    const struct
    {
        LPCWSTR pszVersion;
        long nExpected;
        bool b9x; // Wine shows the 9x family to 32-bit programs only
    } cases[] = {
        {L"win95", 1, true},  {L"win98", 1, true}, {L"winme", 0, true},
        {L"nt351", 2, false}, {L"nt40", 2, false}, {L"win2k", 0, false},
        {L"winxp", 0, false}, {L"win7", 0, false}, {L"win10", 0, false},
    };
    for (const auto& c : cases) {
        if (c.b9x && sizeof(void*) == 8) continue;
        EXPECT_EQ(ProbeUnder(c.pszVersion), c.nExpected) << static_cast<const void*>(c.pszVersion);
    }
}
