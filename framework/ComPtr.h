// CComPtr: holds one reference to a COM object and gives it back when it goes.
#pragma once

#include <unknwn.h>

template <class T> class CComPtr
{
public:
    CComPtr() = default;
    // Takes a reference of its own.
    explicit CComPtr(T* pObject) : p(pObject)
    {
        if (p) p->AddRef();
    }
    CComPtr(CComPtr&& other) noexcept : p(other.Detach()) {}
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    ~CComPtr() { Release(); }

    void Release()
    {
        if (T* pOld = p) {
            p = nullptr;
            pOld->Release();
        }
    }
    // Hands the reference over to the caller.
    T* Detach()
    {
        T* pOld = p;
        p = nullptr;
        return pOld;
    }
    // For QueryInterface and CoCreateInstance: the slot to fill, emptied first.
    void** Out()
    {
        Release();
        return reinterpret_cast<void**>(&p);
    }

    operator T*() const { return p; }
    T* operator->() const { return p; }

    T* p = nullptr;
};
