#include "app/ButtonCommandLineInfo.h"
#include "app/ButtonConfigApp.h"

#include <gtest/gtest.h>

namespace {

// The number a command line leaves in the application, parsed as the framework parses it.
int ButtonAfter(const CString& strParams)
{
    CButtonConfigApp app;
    CButtonCommandLineInfo cmdInfo;
    CWinApp::ParseCommandLine(cmdInfo, L"ButtonConfig.exe " + strParams);
    return app.GetButton();
}

} // namespace

TEST(CommandLineTest, ButtonNumberFromTheParameters)
{
    const struct
    {
        LPCWSTR pszParams;
        int nButton;
    } cases[] = {
        {L"", 201},
        {L"BUTTON=7", 7},
        {L"/BUTTON=7", 7},
        {L"-BUTTON=7", 7},
        {L"xBUTTON=7", 7}, // found anywhere in the parameter
        {L"BUTTON=305", 305},
        {L"BUTTON=0", 201},
        {L"BUTTON=", 201},
        {L"BUTTON=abc", 201},
        {L"BUTTON=12abc", 12},
        {L"\"BUTTON=  42\"", 42},
        {L"BUTTON=-4", -4},
        {L"button=7", 201},
        {L"Button=7", 201},
        {L"BUTTON=7 BUTTON=9", 9},
        {L"BUTTON=7 BUTTON=0", 7}, // 0 changes nothing
        {L"A=BUTTON=7", 201},      // the number follows the first "="
        {L"BUTTONS=7", 201},       // "BUTTON=" itself, not a longer word
        {L"BUTTON=7 file.txt /p", 7},
        {L"\x00fc\x00df BUTTON=8 \x6309\x94ae", 8},
        {L"\"\" BUTTON=5", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ButtonAfter(c.pszParams), c.nButton) << static_cast<const void*>(c.pszParams);
}
