// The floor the program's start is measured against: a bare Win32 program showing the same dialog
// template, built the same way. With "/com" it first makes the program's two COM activations.
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};
const CLSID CLSID_ButtonConfig = {
    0xbe65cb0e, 0x7d55, 0x11d2, {0xa8, 0xa9, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowTextW(hDlg, L"Kivora Buttons");
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    const INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    IUnknown* pServer = nullptr;
    IUnknown* pConfig = nullptr;
    if (wcsstr(lpCmdLine, L"/com")) {
        ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(&pServer));
        ::CoCreateInstance(CLSID_ButtonConfig, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(&pConfig));
    }
    ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_BUTTON_SETTINGS), nullptr, DialogProc, 0);
    if (pConfig) pConfig->Release();
    if (pServer) pServer->Release();
    ::OleUninitialize();
    return 0;
}
