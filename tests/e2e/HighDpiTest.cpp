// The program at 96, 144 and 192 dots per inch, as the prefix's LogPixels sets them: the dialog
// grows with its font and every text still fits its control. Screenshots go into the build tree.
#include "ConfigServiceStore.h"
#include "Session.h"
#include "Undo.h"
#include "UserInput.h"

#include <gtest/gtest.h>

namespace {

const WCHAR kFontsKey[] = L"Software\\Fonts";

// The widest a control's text shows in the dialog's font at that resolution.
int TextWidth(const std::wstring& text, int nDpi)
{
    HFONT hFont = ::CreateFontW(-::MulDiv(8, nDpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                DEFAULT_CHARSET, 0, 0, 0, 0, L"SimSun-18030");
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    RECT rc = {};
    ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    ::DeleteObject(hFont);
    return rc.right - rc.left;
}

} // namespace

TEST(HighDpiTest, TheDialogGrowsWithItsFontAndNoTextIsClipped)
{
    CConfigServiceStore store;
    CUndo undo;
    // Labels, buttons and the check box (its box takes about 18 pixels at 96 dpi).
    const struct
    {
        int nID, nFrame;
    } controls[] = {{1012, 0}, {1002, 0}, {1013, 0}, {1046, 8}, {1008, 8}, {3, 8},
                    {1004, 8}, {9, 8},    {1043, 8}, {1022, 8}, {1045, 8}, {1071, 18}};
    LONG cxAt96 = 0;
    for (int nDpi : {96, 144, 192}) {
        SCOPED_TRACE(nDpi);
        undo.SetDword(HKEY_CURRENT_CONFIG, kFontsKey, L"LogPixels", static_cast<DWORD>(nDpi));
        CProgramUnderTest program(PROGRAM_PATH);
        ASSERT_TRUE(program.Open());
        const HWND hDlg = program.m_hDlg;
        RECT rc = {};
        ::GetWindowRect(hDlg, &rc);
        if (nDpi == 96) cxAt96 = rc.right - rc.left;
        const double dScale = static_cast<double>(rc.right - rc.left) / cxAt96;
        EXPECT_NEAR(dScale, nDpi / 96.0, 0.15 * nDpi / 96.0);
        for (const auto& c : controls) {
            RECT rcControl = {};
            ::GetClientRect(::GetDlgItem(hDlg, c.nID), &rcControl);
            EXPECT_LE(TextWidth(WindowText(::GetDlgItem(hDlg, c.nID)), nDpi),
                      rcControl.right - c.nFrame * nDpi / 96)
                << "control " << c.nID;
        }
        const std::wstring shot = L"\\e2e-dpi-" + std::to_wstring(nDpi) + L".bmp";
        EXPECT_TRUE(SaveScreenshot(hDlg, WinePath(BUILD_DIR) + shot.c_str()));
        program.Close();
        EXPECT_EQ(program.m_dwExitCode, 0u);
    }
}
