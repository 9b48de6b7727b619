// CObject and CRuntimeClass: the root of the framework's classes and their run-time names.
#pragma once

#include <windows.h>

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    const CRuntimeClass class_name::class##class_name = {#class_name,                              \
                                                         RUNTIME_CLASS(base_class_name)};          \
    const CRuntimeClass* class_name::GetRuntimeClass() const                                       \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }
