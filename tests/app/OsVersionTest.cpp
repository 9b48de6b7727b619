#include "Session.h"
#include "Undo.h"

#include <gtest/gtest.h>

namespace {

// Wine shows a program the Windows version its AppDefaults key names.
long ProbeUnder(LPCWSTR pszVersion)
{
    CUndo undo;
    undo.SetValue(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\OsVersionProbe.exe", L"Version",
                  REG_SZ, Bytes(pszVersion));
    CProgramUnderTest probe(PROBE_PATH);
    return probe.Start() ? static_cast<long>(probe.WaitForEnd()) : -1;
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
