#include "framework/Object.h"

#include <cstring>

CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};

namespace {

// Head of the list of dynamically creatable classes. A function-local static, so it exists
// before the first class registers, whatever the order of static initialisation.
const CRuntimeClass*& FirstClass()
{
    static const CRuntimeClass* s_pFirst = nullptr;
    return s_pFirst;
}

} // namespace

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    pNewClass->m_pNextClass = FirstClass();
    FirstClass() = pNewClass;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

CObject* CRuntimeClass::CreateObject() const
{
    if (!m_pfnCreateObject) return nullptr;
    return m_pfnCreateObject();
}

const CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName) return nullptr;
    for (const CRuntimeClass* p = FirstClass(); p; p = p->m_pNextClass)
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
    return nullptr;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}
