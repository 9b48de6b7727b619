// A short fuzzer of the program's pure functions, with a fixed seed and a bounded count: target
// classification, relabelling, command-line parsing, "radi.ini" reading and the button list.
// Prints the cases run and the failures: an exception, or a result that breaks the function's
// own rule.
#include "app/ButtonCommandLineInfo.h"
#include "config/ButtonTable.h"
#include "config/Settings.h"
#include "shell/TargetIcons.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

std::mt19937 g_random(20261207);

// Text made of the pieces the functions look for, and of anything else.
CString RandomText(size_t nMaxLength)
{
    static const WCHAR* const kPieces[] = {L"%",
                                           L"%WINDIR%",
                                           L"%ProgramFiles%",
                                           L"\"",
                                           L" ",
                                           L",",
                                           L".exe",
                                           L".url",
                                           L".lnk",
                                           L".HTM",
                                           L"\\",
                                           L"C:",
                                           L"http://",
                                           L"www.",
                                           L"KVKMail",
                                           L"VOLUME_UP",
                                           L"InformationVal",
                                           L"HomeVal",
                                           L"Help",
                                           L"BUTTON=",
                                           L"=",
                                           L"Quelda",
                                           L"QUELDA",
                                           L"]",
                                           L"00000000",
                                           L"\t",
                                           L"\r\n",
                                           L"\x00DC",
                                           L"\xD83D\xDE00"};
    CString str;
    const size_t nLength = g_random() % (nMaxLength + 1);
    while (static_cast<size_t>(str.GetLength()) < nLength) {
        if (g_random() % 3)
            str += kPieces[g_random() % ARRAYSIZE(kPieces)];
        else
            str += static_cast<WCHAR>(1 + g_random() % 0xD7FF);
    }
    return str;
}

struct Tally
{
    const char* pszName;
    int nRun = 0, nFailed = 0;
};

void Run(Tally& tally, int nCount, const std::function<bool()>& fnCase)
{
    for (int i = 0; i < nCount; i++) {
        tally.nRun++;
        bool bHeld = false;
        try {
            bHeld = fnCase();
        } catch (...) {
        }
        tally.nFailed += !bHeld;
    }
    printf("%-26s %6d cases, %d failed\n", tally.pszName, tally.nRun, tally.nFailed);
}

} // namespace

int wmain()
{
    Tally classification{"target classification"}, programs{"program of a command"},
        tokens{"environment tokens"}, relabelling{"relabelling"}, commandLine{"command line"},
        ini{"radi.ini"}, buttonList{"button list"};

    Run(classification, 3000, [] {
        CIconContext context{RandomText(40), RandomText(60)};
        const CString strTarget = RandomText(300);
        const CString strSource = GetIconSourcePath(strTarget, context);
        return strSource.GetLength() < 32768;
    });
    Run(programs, 20000, [] {
        const CString strProgram = ExtractProgramPath(RandomText(400));
        CString strUpper = strProgram;
        return strUpper.MakeUpper() == strProgram;
    });
    Run(tokens, 20000, [] {
        const CString strText = RandomText(300);
        return ExpandEnvironmentTokens(strText, RandomText(40)).GetLength() <=
               strText.GetLength() * 20 + 100;
    });

    CButtonLabels labels;
    labels.Load();
    Run(relabelling, 5000, [&labels] {
        CButtonSet set, defaults;
        for (int n = 0; n < kMaxButtons; n++) {
            set.m_strButtonName[n] = RandomText(30);
            set.m_strAssignTitle[n] = RandomText(30);
            set.m_strTarget[n] = RandomText(60);
            defaults.m_strTarget[n] = RandomText(60);
            defaults.m_strButtonName[n] = RandomText(20);
        }
        CButtonLayout layout;
        RelabelDefaultSet(defaults, labels, layout);
        RelabelCurrentSet(set, static_cast<int>(g_random() % (kMaxButtons + 1)), defaults, labels,
                          layout);
        return true;
    });

    CButtonCommandLineInfo info;
    Run(commandLine, 20000, [&info] {
        const CString strParam = RandomText(100);
        info.ParseParam(strParam, g_random() % 2, g_random() % 2);
        return true;
    });

    // The file the program reads under its bare name, in the Windows folder: put back afterwards.
    WCHAR szIni[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szIni, MAX_PATH);
    wcscat(szIni, L"\\radi.ini");
    std::ifstream saved(szIni, std::ios::binary);
    const std::string strSaved((std::istreambuf_iterator<char>(saved)),
                               std::istreambuf_iterator<char>());
    const bool bExisted = saved.good() || !strSaved.empty();
    saved.close();
    Run(ini, 300, [&szIni] {
        std::string bytes;
        for (int i = 0; i < 20; i++) {
            bytes += g_random() % 2 ? "[icon]\r\n" : "[Scan Codes]\r\n";
            bytes +=
                g_random() % 2 ? "Key" + std::to_string(g_random() % 12) : "Extension Supported";
            bytes += "=";
            for (size_t n = g_random() % 400; n > 0; n--)
                bytes += static_cast<char>(g_random() % 256);
            bytes += "\r\n";
        }
        std::ofstream(szIni, std::ios::binary | std::ios::trunc) << bytes;
        bool bHeld = ReadSupportedExtensions().GetLength() <= 259;
        for (int n = 0; n < 9; n++)
            bHeld = bHeld && ReadIconEntry(n).GetLength() <= 259;
        return bHeld;
    });
    if (bExisted)
        std::ofstream(szIni, std::ios::binary | std::ios::trunc) << strSaved;
    else
        ::DeleteFileW(szIni);

    Run(buttonList, 20000, [] {
        const CString strList = RandomText(200);
        CStringArray ids;
        SplitButtonList(strList, ids);
        int nCommas = 0;
        for (int i = 0; i < strList.GetLength(); i++)
            nCommas += strList[i] == L',';
        return ids.GetSize() == nCommas + 1;
    });

    int nRun = 0, nFailed = 0;
    for (const Tally* p :
         {&classification, &programs, &tokens, &relabelling, &commandLine, &ini, &buttonList}) {
        nRun += p->nRun;
        nFailed += p->nFailed;
    }
    printf("fuzz: %d cases, %d failures\n", nRun, nFailed);
    return nFailed ? 1 : 0;
}
