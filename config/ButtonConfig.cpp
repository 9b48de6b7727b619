#include "config/ButtonConfig.h"
#include "config/ButtonNumber.h"

namespace {

// A BSTR made from the text, freed when it goes; null when there was no memory for it.
class CBstr
{
public:
    explicit CBstr(const CString& str) : m_bstr(str.AllocSysString()) {}
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    ~CBstr() { ::SysFreeString(m_bstr); }
    operator BSTR() const { return m_bstr; }

private:
    BSTR m_bstr;
};

} // namespace

void CButtonConfig::EnsureInstance()
{
    if (m_bCreated) return;
    for (int nTry = 0; nTry < 2 && !m_pConfig; nTry++)
        if (FAILED(::CoCreateInstance(CLSID_ButtonConfig, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IButtonConfig, m_pConfig.Out())))
            m_pConfig.Release();
    m_bCreated = TRUE;
}

template <class Method> CString CButtonConfig::Get(Method pfn)
{
    if (!m_pConfig) return CString();
    BSTR bstr = nullptr;
    (m_pConfig.p->*pfn)(&bstr);
    // The returned string is ours, whatever the result said.
    CString str(bstr, static_cast<int>(::SysStringLen(bstr)));
    ::SysFreeString(bstr);
    return str;
}

template <class Method> void CButtonConfig::Set(Method pfn, const CString& str)
{
    if (!m_pConfig) return;
    CBstr bstr(str);
    if (bstr) (m_pConfig.p->*pfn)(bstr); // without memory for the text the call is not made
}

void CButtonConfig::SetButtonId(const CString& strId)
{
    EnsureInstance();
    Set(&IButtonConfig::SetButtonId, strId);
}

CString CButtonConfig::GetName()
{
    return Get(&IButtonConfig::GetName);
}

void CButtonConfig::SetName(const CString& strName)
{
    Set(&IButtonConfig::SetName, strName);
}

CString CButtonConfig::GetTarget()
{
    return Get(&IButtonConfig::GetTarget);
}

void CButtonConfig::SetTarget(const CString& strTarget)
{
    Set(&IButtonConfig::SetTarget, strTarget);
}

void CButtonConfig::AddScheme(const CString& strScheme)
{
    EnsureInstance();
    Set(&IButtonConfig::AddScheme, strScheme);
}

CString CButtonConfig::GetCurrentScheme()
{
    EnsureInstance();
    return Get(&IButtonConfig::GetCurrentScheme);
}

void CButtonConfig::SelectScheme(const CString& strScheme)
{
    if (strScheme.IsEmpty()) return;
    EnsureInstance();
    Set(&IButtonConfig::SelectScheme, strScheme);
}

CString CButtonConfig::GetSchemeList()
{
    if (!m_pConfig) {
        EnsureInstance();
        CString strButton;
        strButton.Format(L"%d", AfxGetAppButton());
        Set(&IButtonConfig::SetButtonId, strButton);
    }
    return Get(&IButtonConfig::GetSchemeList);
}

void CButtonConfig::RemoveScheme(const CString& strScheme)
{
    Set(&IButtonConfig::RemoveScheme, strScheme);
}

CString CButtonConfig::GetLockState()
{
    return Get(&IButtonConfig::GetLockState);
}

void CButtonConfig::SetLockState(const CString& strLock)
{
    Set(&IButtonConfig::SetLockState, strLock);
}

CString CButtonConfig::GetTitle()
{
    return Get(&IButtonConfig::GetTitle);
}

void CButtonConfig::SetTitle(const CString& strTitle)
{
    Set(&IButtonConfig::SetTitle, strTitle);
}

CString CButtonConfig::GetButtonList()
{
    EnsureInstance();
    return Get(&IButtonConfig::GetButtonList);
}
