// The setup program on a machine without the button software: installed silently with the
// stand-ins, the program used from its Start-menu entry, then removed, keeping the user's schemes
// or not. Runs in a Wine prefix of its own (run-installer-test).
#include "Session.h"
#include "UserInput.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

const WCHAR kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KivoraButtons";
const WCHAR kConfigServer[] = L"CLSID\\{BE65CB0E-7D55-11D2-A8A9-444553540000}\\InprocServer32";
const WCHAR kEventServer[] = L"CLSID\\{40E71633-5F96-11D1-B449-00805F268A3A}\\LocalServer32";

// Runs a program to its end; its exit code, 99 when it did not start or end within a minute.
DWORD RunToEnd(const CString& strPath, const CString& strParams)
{
    CProgramUnderTest program(strPath.GetString(), strParams.GetString());
    return program.Start() ? program.WaitForEnd(60000) : 99;
}

CString RegString(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValue)
{
    WCHAR sz[MAX_PATH] = {};
    DWORD cb = sizeof(sz);
    if (::RegGetValueW(hRoot, pszKey, pszValue, RRF_RT_REG_SZ, nullptr, sz, &cb) != ERROR_SUCCESS)
        return L"";
    return sz;
}

bool KeyExists(HKEY hRoot, LPCWSTR pszKey)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    ::RegCloseKey(hKey);
    return true;
}

bool FileExists(const CString& strPath)
{
    return ::GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES;
}

CString Shortcut()
{
    WCHAR szPrograms[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, szPrograms);
    return CString(szPrograms) + L"\\Kivora Buttons.lnk";
}

CString ShortcutTarget()
{
    IShellLinkW* pLink = nullptr;
    IPersistFile* pFile = nullptr;
    WCHAR szTarget[MAX_PATH] = {};
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&pLink)))) {
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)))) {
            if (SUCCEEDED(pFile->Load(Shortcut(), STGM_READ)))
                pLink->GetPath(szTarget, MAX_PATH, nullptr, 0);
            pFile->Release();
        }
        pLink->Release();
    }
    return szTarget;
}

// The installed program, used for a session and closed.
void UseProgram(const CString& strExe, const std::string& row)
{
    CProgramUnderTest program(strExe.GetString());
    RunSession(program, row);
    program.Close();
    EXPECT_EQ(program.m_dwExitCode, 0u);
}

class InstallerTest : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }

    static CString SetupPath() { return WinePath(SETUP_PATH); }
    // The uninstaller runs a copy of itself and returns at once: the end is when its entry is gone.
    static bool Uninstall(const CString& strFolder, LPCWSTR pszOptions = L"")
    {
        return RunToEnd(strFolder + L"\\Uninstall Kivora Buttons.exe",
                        CString(L"/S ") + pszOptions) == 0 &&
               Uninstalled(strFolder);
    }
    static bool Uninstalled(const CString& strFolder)
    {
        return WaitUntil(
            [&] {
                return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
                       !FileExists(strFolder + L"\\ButtonConfig.exe");
            },
            30000);
    }
};

} // namespace

TEST_F(InstallerTest, InstallUseAndRemoveKeepingTheSchemes)
{
    ASSERT_EQ(RunToEnd(SetupPath(), L"/S /StandIns"), 0u);
    const CString strFolder = RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation");
    ASSERT_NE(strFolder, L"");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Kivora Buttons");
    for (LPCWSTR pszFile :
         {L"ButtonConfig.exe", L"ButtonConfig.html", L"ZADAVUD.DLL", L"ButtonConfigService.dll",
          L"ButtonEventServer.exe", L"ZRQKVKSYSTEMTRAY.exe"})
        EXPECT_TRUE(FileExists(strFolder + L"\\" + pszFile)) << pszFile;
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kConfigServer, nullptr),
              strFolder + L"\\ButtonConfigService.dll");

    // The program as the Start menu starts it: the stand-in's buttons, a change kept.
    const CString strProgram = ShortcutTarget();
    ASSERT_EQ(strProgram, strFolder + L"\\ButtonConfig.exe");
    UseProgram(strProgram, "expect name \"Information\"; expect row 10 0 \"Mute\"; "
                           "target \"www.installed.example/\"; press Apply");
    UseProgram(strProgram, "expect target \"www.installed.example/\"");

    ASSERT_TRUE(Uninstall(strFolder));
    EXPECT_FALSE(FileExists(strFolder + L"\\ButtonConfig.exe"));
    EXPECT_FALSE(FileExists(strFolder + L"\\ButtonConfigService.dll"));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kConfigServer, nullptr), L"");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kStoreKey)) << "the user's schemes stay";
}

TEST_F(InstallerTest, ASecondSetupLeavesRegisteredComponentsAndTheBoxRemovesTheSchemes)
{
    ASSERT_EQ(RunToEnd(SetupPath(), L"/S /StandIns"), 0u);
    const CString strFolder = RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation");
    const CString strConfig = RegString(HKEY_CLASSES_ROOT, kConfigServer, nullptr);
    const CString strServer = RegString(HKEY_CLASSES_ROOT, kEventServer, nullptr);
    ASSERT_NE(strConfig, L"");
    // Setup again, without the stand-ins: what is registered stays as it is.
    ASSERT_EQ(RunToEnd(SetupPath(), L"/S"), 0u);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kConfigServer, nullptr), strConfig);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kEventServer, nullptr), strServer);
    EXPECT_TRUE(FileExists(strFolder + L"\\ButtonConfig.exe"));

    ASSERT_TRUE(Uninstall(strFolder, L"/RemoveSchemes"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kStoreKey));
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kConfigServer, nullptr), L"");
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, kEventServer, nullptr), L"");
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(strFolder); })) << "nothing is left";
}

TEST_F(InstallerTest, AFolderWithBlanksAndUmlautsTheProgramOpenDuringSetupAndTwoUninstallers)
{
    const CString strFolder = L"C:\\Pr\x00f6gramme mit \x00dc\\Kivora Tasten";
    ASSERT_EQ(RunToEnd(SetupPath(), L"/S /StandIns /D=" + strFolder), 0u);
    ASSERT_TRUE(FileExists(strFolder + L"\\ButtonConfig.exe"));

    // Setup again while the program is open: it closes the program and installs.
    const CString strProgram = ShortcutTarget();
    ASSERT_EQ(strProgram, strFolder + L"\\ButtonConfig.exe");
    CProgramUnderTest open(strProgram.GetString());
    ASSERT_TRUE(open.Open());
    EXPECT_EQ(RunToEnd(SetupPath(), L"/S /D=" + strFolder), 0u);
    EXPECT_EQ(::WaitForSingleObject(open.m_hProcess, 0), WAIT_OBJECT_0) << "setup closed it first";
    UseProgram(strProgram, "expect name \"Information\""); // it works afterwards

    // Two uninstallers at once: the program is cleanly gone.
    const CString strUninstall = strFolder + L"\\Uninstall Kivora Buttons.exe";
    EXPECT_EQ(RunToEnd(strUninstall, L"/S"), 0u);
    RunToEnd(strUninstall, L"/S");
    EXPECT_TRUE(Uninstalled(strFolder));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kStoreKey));
}
