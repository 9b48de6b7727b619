// Prints what the button list costs for 12 buttons: the icon refresh the first time and again with
// nothing changed, against the system's icon calls for the same images made alone, and a whole
// rebuild (relabelling, rows, icons). Runs against the installed stand-ins.
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

// Times the function, mean of nRounds calls, in milliseconds.
template <class F> double Mean(int nRounds, F f)
{
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < nRounds; i++)
        f();
    return Milliseconds(start) / nRounds;
}

int wmain(int argc, wchar_t** argv)
{
    const int nRounds = argc > 1 ? _wtoi(argv[1]) : 200;
    ::OleInitialize(nullptr);
    {
        CButtonSettingsDlg dlg;
        if (!dlg.Create()) return 1;
        dlg.m_nButtonCount = kMaxButtons;
        const double dCold = Mean(nRounds, [&] {
            ForgetIcons();
            dlg.RefreshButtonIcons();
        });
        const double dWarm = Mean(nRounds, [&] { dlg.RefreshButtonIcons(); });
        const double dRebuild = Mean(nRounds, [&] {
            dlg.FillButtonList();
            dlg.RefreshButtonIcons();
        });

        // The same images made by the system's calls alone: each button's icon and its target's
        // extracted and put into the list, from sources worked out beforehand.
        const CIconContext context = {dlg.m_strBrowserPath, ReadSupportedExtensions()};
        CString sources[kIconButtons];
        for (int n = 0; n < kIconButtons; n++) {
            sources[n] = GetIconSourcePath(dlg.m_strTarget[n], context);
            sources[n].Replace(L"\"", L"");
        }
        const HIMAGELIST hImages = *dlg.m_pSmallImages;
        const double dRaw = Mean(nRounds, [&] {
            ImageList_RemoveAll(hImages);
            ImageList_SetImageCount(hImages, 30);
            for (int n = 0; n < kIconButtons; n++) {
                HICON hIcon = static_cast<HICON>(
                    ::LoadImageW(AfxGetInstanceHandle(),
                                 MAKEINTRESOURCEW(IDI_BUTTON_INFORMATION + (n < 8 ? n : 7)),
                                 IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
                ImageList_ReplaceIcon(hImages, 2 * n, hIcon);
                ::DestroyIcon(hIcon);
                WCHAR szSource[MAX_PATH] = {};
                lstrcpynW(szSource, sources[n], MAX_PATH);
                WORD wIndex = 0;
                hIcon = ::ExtractAssociatedIconW(AfxGetInstanceHandle(), szSource, &wIndex);
                ImageList_ReplaceIcon(hImages, 2 * n + 1, hIcon);
                ::DestroyIcon(hIcon);
            }
        });
        // Of which the image list's own part: the 18 images put in.
        HICON hSample = static_cast<HICON>(::LoadImageW(AfxGetInstanceHandle(),
                                                        MAKEINTRESOURCEW(IDI_BUTTON_INFORMATION),
                                                        IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        const double dReplace = Mean(nRounds, [&] {
            for (int n = 0; n < 2 * kIconButtons; n++)
                ImageList_ReplaceIcon(hImages, n, hSample);
        });
        ::DestroyIcon(hSample);
        std::wprintf(L"button list, 12 buttons, mean of %d rounds, ms\n", nRounds);
        std::wprintf(L"  icon refresh, first %8.2f   again, nothing changed %8.2f   again / first "
                     L"%.2f\n",
                     dCold, dWarm, dWarm / dCold);
        std::wprintf(L"  system's icon calls alone %8.2f   first refresh / calls %.2f\n", dRaw,
                     dCold / dRaw);
        std::wprintf(L"  of them the 18 images put into the list %8.2f\n", dReplace);
        std::wprintf(L"  list rebuild (rows and icons) %8.2f\n", dRebuild);
    }
    ::OleUninitialize();
    return 0;
}
