// CArray, CStringArray, COwningPtrArray: the framework's growable arrays. CArray and CStringArray
// hold values; COwningPtrArray deletes its elements when they are removed or when it dies.
#pragma once

#include "framework/String.h"

#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray
{
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    BOOL IsEmpty() const { return m_data.empty(); }
    void RemoveAll() { std::vector<TYPE>().swap(m_data); }

    // An index outside the array reads an empty element instead of touching foreign memory.
    const TYPE& GetAt(INT_PTR i) const { return InRange(i) ? m_data[i] : Empty(); }
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }

    INT_PTR Add(ARG_TYPE v)
    {
        m_data.push_back(v);
        return GetSize() - 1;
    }

private:
    BOOL InRange(INT_PTR i) const { return i >= 0 && i < GetSize(); }
    static const TYPE& Empty()
    {
        static const TYPE s_empty{};
        return s_empty;
    }

    std::vector<TYPE> m_data;
};

class CStringArray : public CArray<CString, LPCWSTR>
{
};

// Owns its elements: removing one deletes it, and so does the array's destruction.
template <class TYPE> class COwningPtrArray
{
public:
    COwningPtrArray() = default;
    COwningPtrArray(const COwningPtrArray&) = delete;
    COwningPtrArray& operator=(const COwningPtrArray&) = delete;
    ~COwningPtrArray() { RemoveAll(); }

    INT_PTR GetSize() const { return m_items.GetSize(); }
    BOOL IsEmpty() const { return m_items.IsEmpty(); }
    TYPE* GetAt(INT_PTR i) const { return m_items.GetAt(i); }
    TYPE* operator[](INT_PTR i) const { return GetAt(i); }
    INT_PTR Add(TYPE* p) { return m_items.Add(p); }

    void RemoveAll()
    {
        for (INT_PTR i = 0; i < m_items.GetSize(); i++)
            delete m_items[i];
        m_items.RemoveAll();
    }

private:
    CArray<TYPE*, TYPE*> m_items;
};
