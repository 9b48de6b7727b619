// The floors the program's start is measured against: a bare Win32 program showing the same
// dialog template, built the same way.
//   /com           first makes the program's two COM activations
//   /floor <file>  makes every call the program must make before its dialog shows, and nothing
//                  else: the two activations, the 49 subscriptions to the event server with the
//                  same steps each, and the configuration service calls listed in the file (as
//                  the stand-in logs them, UTF-16); after the dialog, the same unsubscriptions
#include "ServiceCalls.h"
#include "app/ButtonEventServer.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace {

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

class CSink final : public IButtonEvents
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = riid == IID_IUnknown || riid == IID_IButtonEvents ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG cRef = --m_cRef;
        if (!cRef) delete this;
        return cRef;
    }
    STDMETHODIMP OnNotify1(LONG) override { return S_OK; }
    STDMETHODIMP OnNotify2(LONG) override { return S_OK; }

private:
    ULONG m_cRef = 1;
};

IConnectionPoint* FindPoint(IUnknown* pServer)
{
    IConnectionPointContainer* pContainer = nullptr;
    IConnectionPoint* pPoint = nullptr;
    if (SUCCEEDED(pServer->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(&pContainer)))) {
        pContainer->FindConnectionPoint(IID_IButtonEvents, &pPoint);
        pContainer->Release();
    }
    return pPoint;
}

// The program's subscription steps for one button; the sink's cookie, 0 when none.
DWORD Subscribe(IButtonEventServer* pServer, LONG nId)
{
    static const LONG kMode = 3;
    IConnectionPoint* pPoint = FindPoint(pServer);
    if (!pPoint) return 0;
    CSink* pSink = new CSink;
    DWORD dwCookie = 0;
    if (SUCCEEDED(pPoint->Advise(pSink, &dwCookie))) {
        pServer->AddRef();
        IButtonEventServer* pRegistrar = nullptr;
        if (SUCCEEDED(pServer->QueryInterface(IID_IButtonEventServer,
                                              reinterpret_cast<void**>(&pRegistrar)))) {
            pRegistrar->RegisterButtonClient(L"0DE36330-EF33-11D1-8BC5-00805F95B7B7", &nId, &kMode,
                                             1, static_cast<LONG>(dwCookie));
            pRegistrar->Release();
        }
    }
    pSink->Release();
    pPoint->Release();
    return dwCookie;
}

void Unsubscribe(IButtonEventServer* pServer, DWORD dwCookie)
{
    pServer->UnregisterButtonClient(static_cast<LONG>(dwCookie));
    if (IConnectionPoint* pPoint = FindPoint(pServer)) {
        if (SUCCEEDED(pPoint->Unadvise(dwCookie))) pServer->Release();
        pPoint->Release();
    }
}

std::wstring ReadCalls(const wchar_t* pszFile)
{
    std::wstring calls;
    HANDLE hFile =
        ::CreateFileW(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return calls;
    calls.resize(::GetFileSize(hFile, nullptr) / sizeof(WCHAR));
    DWORD cbRead = 0;
    ::ReadFile(hFile, &calls[0], static_cast<DWORD>(calls.size() * sizeof(WCHAR)), &cbRead,
               nullptr);
    ::CloseHandle(hFile);
    return calls;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    const INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    IButtonEventServer* pServer = nullptr;
    IUnknown* pConfig = nullptr;
    const wchar_t* pszFloor = wcsstr(lpCmdLine, L"/floor ");
    std::vector<DWORD> cookies;
    if (wcsstr(lpCmdLine, L"/com")) {
        ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                           IID_IButtonEventServer, reinterpret_cast<void**>(&pServer));
        ::CoCreateInstance(CLSID_ButtonConfig, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                           reinterpret_cast<void**>(&pConfig));
    } else if (pszFloor) {
        ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER,
                           IID_IButtonEventServer, reinterpret_cast<void**>(&pServer));
        const LONG kGroups[][2] = {{101, 108}, {201, 218}, {301, 308}, {401, 410}, {501, 505}};
        for (const auto& group : kGroups)
            for (LONG nId = group[0]; pServer && nId <= group[1]; nId++)
                cookies.push_back(Subscribe(pServer, nId));
        ReplayServiceCalls(ReadCalls(pszFloor + 7));
    }
    ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_BUTTON_SETTINGS), nullptr, DialogProc, 0);
    for (DWORD dwCookie : cookies)
        if (dwCookie) Unsubscribe(pServer, dwCookie);
    if (pConfig) pConfig->Release();
    if (pServer) pServer->Release();
    ::OleUninitialize();
    return 0;
}
