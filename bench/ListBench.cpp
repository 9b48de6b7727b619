// Prints what a rebuild of the button list costs for 12 buttons (relabelling, rows, icons) against
// the icon calls of that rebuild made alone. Runs against the installed stand-ins.
#include "config/Settings.h"
#include "dialog/ButtonSettingsDlg.h"
#include "shell/TargetIcons.h"

#include <cstdio>

namespace {

double Milliseconds(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, freq;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&freq);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(freq.QuadPart);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int nRounds = argc > 1 ? _wtoi(argv[1]) : 200;
    ::OleInitialize(nullptr);
    {
        CButtonSettingsDlg dlg;
        if (!dlg.Create()) return 1;
        dlg.m_nButtonCount = kMaxButtons;
        LARGE_INTEGER start;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < nRounds; i++) {
            dlg.FillButtonList();
            dlg.RefreshButtonIcons();
        }
        const double dRebuild = Milliseconds(start) / nRounds;

        const CIconContext context = {dlg.m_strBrowserPath, ReadSupportedExtensions()};
        const CString strIconsDir =
            GetProgramFilesDir() + L"\\QUELDA\\Kivora Button Support\\Icons";
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < nRounds; i++)
            for (int n = 0; n < 9; n++)
                UpdateButtonIcons(*dlg.m_pSmallImages, strIconsDir, dlg.m_strKeyIcon[n],
                                  IDI_BUTTON_INFORMATION + (n < 8 ? n : 7), 2 * n,
                                  dlg.m_strTarget[n], 2 * n + 1, context);
        const double dIcons = Milliseconds(start) / nRounds;
        std::wprintf(L"list rebuild, 12 buttons, mean of %d rounds, ms\n", nRounds);
        std::wprintf(L"  rebuild %8.2f\n  icon calls alone %8.2f   rebuild / icons %.2f\n",
                     dRebuild, dIcons, dRebuild / dIcons);
    }
    ::OleUninitialize();
    return 0;
}
