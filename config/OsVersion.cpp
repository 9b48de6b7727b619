#include "config/OsVersion.h"

namespace {

OSVERSIONINFOEXW g_version;
bool g_bFilled = false;

} // namespace

COsVersion::COsVersion()
{
    if (g_bFilled) return;
    g_bFilled = true;
    ZeroMemory(&g_version, sizeof(g_version));
    auto* pInfo = reinterpret_cast<OSVERSIONINFOW*>(&g_version);
    // Systems older than NT 4 SP6 know only the shorter record.
    g_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (!::GetVersionExW(pInfo)) {
        g_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        ::GetVersionExW(pInfo);
    }
    // The 9x family puts the major and minor version into the build number's high word.
    g_version.dwBuildNumber &= 0xFFFF;
}

bool COsVersion::IsWin9xBeforeMe() const
{
    return g_version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && g_version.dwMajorVersion == 4 &&
           g_version.dwMinorVersion < 11;
}

bool COsVersion::IsNtBefore2000() const
{
    return g_version.dwPlatformId == VER_PLATFORM_WIN32_NT && g_version.dwMajorVersion < 5;
}
