// The default mail client, against real "SOFTWARE\Clients\Mail" keys.
#include "StringPrinter.h"
#include "Undo.h"
#include "shell/MailClient.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const WCHAR kMail[] = L"SOFTWARE\\Clients\\Mail";

void SetDefault(LPCWSTR pszKey, const std::wstring& value)
{
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, pszKey, nullptr, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
}

// Each test starts without mail clients and registers what it needs; the prefix's come back after.
class MailClientTest : public ::testing::Test
{
protected:
    void SetUp() override { m_undo.DeleteKey(HKEY_LOCAL_MACHINE, kMail); }
    CUndo m_undo;
};

} // namespace

TEST_F(MailClientTest, OpenCommandOfTheDefaultClient)
{
    EXPECT_EQ(GetDefaultMailClient(), L"");
    EXPECT_EQ(GetDefaultMailCommand(), L"");

    SetDefault(kMail, L"Kivora Mail");
    SetDefault(L"SOFTWARE\\Clients\\Mail\\Kivora Mail\\shell\\open\\command",
               L"\"C:\\Mail\\kmail.exe\" /open \"%1\"");
    EXPECT_EQ(GetDefaultMailClient(), L"Kivora Mail");
    EXPECT_EQ(GetDefaultMailCommand(), L"\"C:\\Mail\\kmail.exe\" /open \"%1\"");

    // Another client with only a mailto command has none.
    SetDefault(kMail, L"Other");
    SetDefault(L"SOFTWARE\\Clients\\Mail\\Other\\Protocols\\mailto\\shell\\open\\command",
               L"C:\\Other\\other.exe \"%1\"");
    EXPECT_EQ(GetDefaultMailCommand(), L"");
}

TEST_F(MailClientTest, TheOneClientWithOnlyAMailtoCommand)
{
    SetDefault(kMail, L"Netscape Messenger");
    SetDefault(
        L"SOFTWARE\\Clients\\Mail\\Netscape Messenger\\Protocols\\mailto\\shell\\open\\command",
        L"C:\\NS\\netscape.exe \"%1\"");
    EXPECT_EQ(GetDefaultMailCommand(), L"C:\\NS\\netscape.exe -mail");
    SetDefault(kMail, L"netscape messenger"); // the name is compared exactly
    EXPECT_EQ(GetDefaultMailCommand(), L"");
}
