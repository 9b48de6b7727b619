// CButtonConfig: the holder of one instance of the button configuration service, created on
// first use. The service's results are not examined: without an instance a getter gives an
// empty string and a setter does nothing.
#pragma once

#include "config/ButtonConfigService.h"
#include "framework/Afx.h"
#include "framework/ComPtr.h"

class CButtonConfig
{
public:
    CButtonConfig() = default;
    CButtonConfig(const CButtonConfig&) = delete;
    CButtonConfig& operator=(const CButtonConfig&) = delete;
    virtual ~CButtonConfig() = default;

    // Creates the instance once, with one retry; a holder that failed never tries again.
    void EnsureInstance();
    BOOL HasInstance() const { return m_pConfig != nullptr; }

    void SetButtonId(const CString& strId);
    CString GetName();
    void SetName(const CString& strName);
    CString GetTarget();
    void SetTarget(const CString& strTarget);
    void AddScheme(const CString& strScheme);
    CString GetCurrentScheme();
    // An empty name is skipped.
    void SelectScheme(const CString& strScheme);
    // Binds a new instance to the application's button number first.
    CString GetSchemeList();
    void RemoveScheme(const CString& strScheme);
    CString GetLockState();
    void SetLockState(const CString& strLock);
    CString GetTitle();
    void SetTitle(const CString& strTitle);
    CString GetButtonList();

private:
    // pfn: a member of IButtonConfig taking an out or an in BSTR.
    template <class Method> CString Get(Method pfn);
    template <class Method> void Set(Method pfn, const CString& str);

    BOOL m_bCreated = FALSE;
    CComPtr<IButtonConfig> m_pConfig;
};
