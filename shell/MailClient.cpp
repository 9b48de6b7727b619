#include "shell/MailClient.h"

namespace {

const WCHAR kMailClients[] = L"SOFTWARE\\Clients\\Mail";
// Each value is read in 255 bytes: 126 characters and a terminator fit.
const DWORD kValueBytes = 255;

} // namespace

CString GetDefaultMailClient()
{
    CRegKey key(HKEY_LOCAL_MACHINE, kMailClients, KEY_QUERY_VALUE);
    return key ? key.QueryString(nullptr, kValueBytes) : CString();
}

CString GetDefaultMailCommand()
{
    const CString strClient = GetDefaultMailClient();
    CString strKey;
    strKey.Format(L"%s\\%s\\shell\\open\\command", kMailClients, static_cast<LPCWSTR>(strClient));
    CRegKey key(HKEY_LOCAL_MACHINE, strKey, KEY_QUERY_VALUE);
    if (key) return key.QueryString(nullptr, kValueBytes);

    // This client registers only a mailto command; its "-mail" switch opens the mail window.
    if (strClient != L"Netscape Messenger") return CString();
    strKey.Format(L"%s\\%s\\Protocols\\mailto\\shell\\open\\command", kMailClients,
                  static_cast<LPCWSTR>(strClient));
    if (!key.Open(HKEY_LOCAL_MACHINE, strKey, KEY_QUERY_VALUE)) return CString();
    CString strCommand = key.QueryString(nullptr, kValueBytes);
    strCommand.Replace(L"\"%1\"", L"-mail");
    return strCommand;
}
