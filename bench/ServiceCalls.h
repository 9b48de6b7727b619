// The configuration service's calls as the stand-in logs them ("SetButtonId(101)" a line), made
// again on the service: each CreateInstance a new instance, each string passed and freed as the
// program does. What a floor program does in place of the program's own configuration code.
#pragma once

#include "config/ButtonConfigService.h"

#include <string>

inline void ReplayServiceCalls(const std::wstring& calls)
{
    using Getter = HRESULT (STDMETHODCALLTYPE IButtonConfig::*)(BSTR*);
    using Setter = HRESULT (STDMETHODCALLTYPE IButtonConfig::*)(BSTR);
    static const struct
    {
        const wchar_t* pszName;
        Getter pfnGet;
        Setter pfnSet;
    } kMethods[] = {{L"SetButtonId", nullptr, &IButtonConfig::SetButtonId},
                    {L"GetName", &IButtonConfig::GetName, nullptr},
                    {L"SetName", nullptr, &IButtonConfig::SetName},
                    {L"GetTarget", &IButtonConfig::GetTarget, nullptr},
                    {L"SetTarget", nullptr, &IButtonConfig::SetTarget},
                    {L"AddScheme", nullptr, &IButtonConfig::AddScheme},
                    {L"GetCurrentScheme", &IButtonConfig::GetCurrentScheme, nullptr},
                    {L"SelectScheme", nullptr, &IButtonConfig::SelectScheme},
                    {L"GetSchemeList", &IButtonConfig::GetSchemeList, nullptr},
                    {L"RemoveScheme", nullptr, &IButtonConfig::RemoveScheme},
                    {L"GetLockState", &IButtonConfig::GetLockState, nullptr},
                    {L"SetLockState", nullptr, &IButtonConfig::SetLockState},
                    {L"GetTitle", &IButtonConfig::GetTitle, nullptr},
                    {L"SetTitle", nullptr, &IButtonConfig::SetTitle},
                    {L"GetButtonList", &IButtonConfig::GetButtonList, nullptr}};
    IButtonConfig* pConfig = nullptr;
    for (size_t nStart = 0, nEnd; nStart < calls.size(); nStart = nEnd + 1) {
        nEnd = calls.find(L'\n', nStart);
        if (nEnd == std::wstring::npos) nEnd = calls.size();
        const std::wstring line = calls.substr(nStart, nEnd - nStart);
        const size_t nParen = line.find(L'(');
        if (nParen == std::wstring::npos || line.size() < nParen + 2) continue;
        const std::wstring name = line.substr(0, nParen);
        if (name == L"CreateInstance") {
            if (pConfig) pConfig->Release();
            pConfig = nullptr;
            ::CoCreateInstance(CLSID_ButtonConfig, nullptr, CLSCTX_INPROC_SERVER, IID_IButtonConfig,
                               reinterpret_cast<void**>(&pConfig));
            continue;
        }
        for (const auto& method : kMethods) {
            if (!pConfig || name != method.pszName) continue;
            if (method.pfnGet) {
                BSTR bstr = nullptr;
                (pConfig->*method.pfnGet)(&bstr);
                ::SysFreeString(bstr);
            } else {
                BSTR bstr =
                    ::SysAllocString(line.substr(nParen + 1, line.size() - nParen - 2).c_str());
                (pConfig->*method.pfnSet)(bstr);
                ::SysFreeString(bstr);
            }
        }
    }
    if (pConfig) pConfig->Release();
}
