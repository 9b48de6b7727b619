// The settings outside the service, against Wine's registry and a real radi.ini.
#include "Session.h"
#include "StringPrinter.h"
#include "Undo.h"
#include "config/Settings.h"

#include <gtest/gtest.h>
#include <fstream>

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;

DWORD GetDword(LPCWSTR pszKey, LPCWSTR pszValue, DWORD dwMissing = 0)
{
    DWORD dw = 0, cb = sizeof(dw);
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, pszKey, pszValue, RRF_RT_REG_DWORD, nullptr, &dw,
                          &cb) == ERROR_SUCCESS
               ? dw
               : dwMissing;
}

// The product's keys and the Windows folder's radi.ini, emptied for each test and put back after.
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::GetWindowsDirectoryW(m_szIni, MAX_PATH);
        wcscat(m_szIni, L"\\radi.ini");
        m_undo.File(m_szIni);
        ::DeleteFileW(m_szIni);
        m_undo.DeleteKey(HKEY_LOCAL_MACHINE, kLockKey);
        m_undo.Key(HKEY_LOCAL_MACHINE, kTrayKey);
    }
    void WriteIni(const char* pszText)
    {
        std::ofstream(m_szIni, std::ios::binary) << pszText;
        // Wine caches profile files; a write through the API makes it read ours afresh.
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, L"radi.ini");
    }

    WCHAR m_szIni[MAX_PATH] = {};
    CUndo m_undo;
};

} // namespace

TEST_F(SettingsTest, SetLockIsOnOnlyForOne)
{
    EXPECT_FALSE(ReadSetLock()) << "no key";
    m_undo.SetDword(HKLM, kLockKey, L"Other", 1);
    EXPECT_FALSE(ReadSetLock()) << "no value";
    m_undo.SetDword(HKLM, kLockKey, L"SetLock", 1);
    EXPECT_TRUE(ReadSetLock());
    m_undo.SetDword(HKLM, kLockKey, L"SetLock", 2);
    EXPECT_FALSE(ReadSetLock());
    m_undo.SetDword(HKLM, kLockKey, L"SetLock", 0x101);
    EXPECT_FALSE(ReadSetLock());
    // Other types are read as four bytes: "1" as text is 0x31; a short binary 1 is 1.
    m_undo.SetValue(HKLM, kLockKey, L"SetLock", REG_SZ, Bytes(L"1"));
    EXPECT_FALSE(ReadSetLock());
    m_undo.SetValue(HKLM, kLockKey, L"SetLock", REG_SZ, Bytes(L"1111"));
    EXPECT_FALSE(ReadSetLock()) << "too long to read";
    m_undo.SetValue(HKLM, kLockKey, L"SetLock", REG_BINARY, std::string("\x01", 2));
    EXPECT_TRUE(ReadSetLock());
}

TEST_F(SettingsTest, TrayFlagReadAndWritten)
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTrayKey);
    DWORD dwFlag = 1;
    ReadSystrayAtBoot(dwFlag);
    EXPECT_EQ(dwFlag, 0u) << "no key: 0";
    WriteSystrayAtBoot(TRUE);
    HKEY hKey = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTrayKey, 0, KEY_READ, &hKey), ERROR_SUCCESS)
        << "the key is not created";

    m_undo.SetDword(HKLM, kTrayKey, L"Other", 7);
    dwFlag = 5;
    ReadSystrayAtBoot(dwFlag);
    EXPECT_EQ(dwFlag, 5u) << "no value: the flag stays";
    WriteSystrayAtBoot(TRUE);
    EXPECT_EQ(GetDword(kTrayKey, L"SystrayatBoot"), 1u);
    ReadSystrayAtBoot(dwFlag);
    EXPECT_EQ(dwFlag, 1u);
    WriteSystrayAtBoot(FALSE);
    EXPECT_EQ(GetDword(kTrayKey, L"SystrayatBoot"), 0u);
    m_undo.SetDword(HKLM, kTrayKey, L"SystrayatBoot", 2);
    ReadSystrayAtBoot(dwFlag);
    EXPECT_EQ(dwFlag, 2u);
}

TEST_F(SettingsTest, ProgramFilesFolderAsThisArchitectureSeesIt)
{
    WCHAR szExpected[MAX_PATH] = {};
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%", szExpected, MAX_PATH);
    EXPECT_EQ(GetProgramFilesDir(), szExpected);
    EXPECT_EQ(GetProgramFilesDir(),
              sizeof(void*) == 4 ? L"C:\\Program Files (x86)" : L"C:\\Program Files");
    // Read in 8,192 bytes: a folder of 4,095 characters comes whole, one of 4,096 not at all.
    for (size_t n : {4095, 4096}) {
        const std::wstring folder = L"C:\\" + std::wstring(n - 3, L'p');
        m_undo.SetValue(HKLM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                        REG_SZ, Bytes(folder));
        EXPECT_EQ(GetProgramFilesDir(), n == 4095 ? folder.c_str() : L"") << n;
    }
}

TEST_F(SettingsTest, IniValuesWithTheirCuts)
{
    EXPECT_EQ(ReadIconEntry(0), L"") << "no file";
    EXPECT_EQ(ReadSupportedExtensions(), L"");
    const std::string strLong(300, 'a');
    WriteIni(("[icon]\r\nKey1=info.ico\r\nKey9=  mute.ico  \r\nKey10=ten.ico\r\nKey2=" + strLong +
              "\r\n[Scan Codes]\r\nExtension Supported=.HTM .HTML .PHP\r\n")
                 .c_str());
    EXPECT_EQ(ReadIconEntry(0), L"info.ico");
    EXPECT_EQ(ReadIconEntry(8), L"mute.ico");
    EXPECT_EQ(ReadIconEntry(3), L"") << "no key";
    EXPECT_EQ(ReadIconEntry(1).GetLength(), 259);
    EXPECT_EQ(ReadSupportedExtensions(), L".HTM .HTML .PHP");
    WriteIni("[other]\r\nKey1=x\r\n");
    EXPECT_EQ(ReadIconEntry(0), L"") << "no section";
    WriteIni("\x01\xff garbage [icon\r\n=\r\n[icon]Key1\r\n");
    EXPECT_EQ(ReadIconEntry(0), L"");
}
