// CObject and CRuntimeClass: the root of the framework's classes and their run-time names.
#pragma once

#include <windows.h>

#include <new>

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    CObject* (*m_pfnCreateObject)(); // null unless the class is dynamically creatable

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static CRuntimeClass class##class_name;                                                        \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                                \
    CRuntimeClass class_name::class##class_name = {#class_name, RUNTIME_CLASS(base_class_name),    \
                                                   pfnNew};                                        \
    const CRuntimeClass* class_name::GetRuntimeClass() const                                       \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject()                                                            \
    {                                                                                              \
        return new (std::nothrow) class_name;                                                      \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
