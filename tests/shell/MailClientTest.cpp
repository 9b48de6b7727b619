// The default mail client, against real "SOFTWARE\Clients\Mail" keys.
#include "StringPrinter.h"
#include "Undo.h"
#include "shell/MailClient.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const WCHAR kMail[] = L"SOFTWARE\\Clients\\Mail";
const WCHAR kKivoraCommand[] = L"SOFTWARE\\Clients\\Mail\\Kivora Mail\\shell\\open\\command";

// Each test starts without mail clients and registers what it needs; the prefix's come back after.
class MailClientTest : public ::testing::Test
{
protected:
    void SetUp() override { m_undo.DeleteKey(HKLM, kMail); }
    CUndo m_undo;
};

} // namespace

TEST_F(MailClientTest, OpenCommandOfTheDefaultClient)
{
    EXPECT_EQ(GetDefaultMailClient(), L"");
    EXPECT_EQ(GetDefaultMailCommand(), L"");
    m_undo.SetValue(HKLM, kMail, L"", REG_DWORD, Dword(0x00420041)); // "AB", but not as text
    EXPECT_EQ(GetDefaultMailClient(), L"");

    m_undo.SetDefault(HKLM, kMail, L"Kivora Mail");
    m_undo.SetDefault(HKLM, kKivoraCommand, L"\"C:\\Mail\\kmail.exe\" /open \"%1\"");
    EXPECT_EQ(GetDefaultMailClient(), L"Kivora Mail");
    EXPECT_EQ(GetDefaultMailCommand(), L"\"C:\\Mail\\kmail.exe\" /open \"%1\"");
    // An expandable command comes as it is stored: its tokens are for whoever uses it.
    m_undo.SetValue(HKLM, kKivoraCommand, L"", REG_EXPAND_SZ, Bytes(L"%SystemRoot%\\kmail.exe"));
    EXPECT_EQ(GetDefaultMailCommand(), L"%SystemRoot%\\kmail.exe");
    // Read in 255 bytes: a command of 126 characters comes whole, one of 127 not at all.
    for (size_t n : {119, 120}) {
        const std::wstring command = L"C:\\" + std::wstring(n, L'm') + L".exe";
        m_undo.SetDefault(HKLM, kKivoraCommand, command);
        EXPECT_EQ(GetDefaultMailCommand(), n == 119 ? command.c_str() : L"") << command.size();
    }

    // Another client with only a mailto command has none.
    m_undo.SetDefault(HKLM, kMail, L"Other");
    m_undo.SetDefault(HKLM,
                      L"SOFTWARE\\Clients\\Mail\\Other\\Protocols\\mailto\\shell\\open\\command",
                      L"C:\\Other\\other.exe \"%1\"");
    EXPECT_EQ(GetDefaultMailCommand(), L"");
}

TEST_F(MailClientTest, TheOneClientWithOnlyAMailtoCommand)
{
    m_undo.SetDefault(HKLM, kMail, L"Netscape Messenger");
    m_undo.SetDefault(
        HKLM,
        L"SOFTWARE\\Clients\\Mail\\Netscape Messenger\\Protocols\\mailto\\shell\\open\\command",
        L"C:\\NS\\netscape.exe \"%1\"");
    EXPECT_EQ(GetDefaultMailCommand(), L"C:\\NS\\netscape.exe -mail");
    // The name is compared exactly.
    m_undo.SetDefault(HKLM, kMail, L"netscape messenger");
    EXPECT_EQ(GetDefaultMailCommand(), L"");
}
