// CList, CStringList, COwningPtrList: the framework's linked lists.
// CList and CStringList hold values; COwningPtrList deletes its elements when they are
// removed or when it dies.
#pragma once

#include "framework/String.h"

#include <cassert>

typedef struct __POSITION* POSITION;

// Doubly linked list; a POSITION is a node pointer, valid until that node is removed.
template <class TYPE, class ARG_TYPE = const TYPE&> class CList
{
    struct Node
    {
        Node* pPrev;
        Node* pNext;
        TYPE data;
    };

public:
    CList() = default;
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    POSITION AddTail(ARG_TYPE v)
    {
        Node* p = new Node{m_pTail, nullptr, v};
        (m_pTail ? m_pTail->pNext : m_pHead) = p;
        m_pTail = p;
        ++m_nCount;
        return reinterpret_cast<POSITION>(p);
    }

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pHead); }
    const TYPE& GetTail() const { return m_pTail->data; }

    const TYPE& GetNext(POSITION& pos) const
    {
        Node* p = N(pos);
        pos = reinterpret_cast<POSITION>(p->pNext);
        return p->data;
    }

    // Position of the first element equal to v, or null.
    POSITION Find(ARG_TYPE v) const
    {
        for (Node* p = m_pHead; p; p = p->pNext)
            if (p->data == v) return reinterpret_cast<POSITION>(p);
        return nullptr;
    }

    void RemoveAll()
    {
        while (m_pHead) {
            Node* p = m_pHead;
            m_pHead = p->pNext;
            delete p;
        }
        m_pTail = nullptr;
        m_nCount = 0;
    }

private:
    static Node* N(POSITION pos)
    {
        assert(pos);
        return reinterpret_cast<Node*>(pos);
    }
    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};

class CStringList : public CList<CString, const CString&>
{
};

// Owns its elements: removing one deletes it, and so does the list's destruction.
template <class TYPE> class COwningPtrList
{
public:
    COwningPtrList() = default;
    COwningPtrList(const COwningPtrList&) = delete;
    COwningPtrList& operator=(const COwningPtrList&) = delete;
    ~COwningPtrList() { RemoveAll(); }

    INT_PTR GetCount() const { return m_items.GetCount(); }
    BOOL IsEmpty() const { return m_items.IsEmpty(); }
    POSITION AddTail(TYPE* p) { return m_items.AddTail(p); }
    POSITION GetHeadPosition() const { return m_items.GetHeadPosition(); }
    TYPE* GetNext(POSITION& pos) const { return m_items.GetNext(pos); }

    void RemoveAll()
    {
        for (POSITION pos = m_items.GetHeadPosition(); pos;)
            delete m_items.GetNext(pos);
        m_items.RemoveAll();
    }

private:
    CList<TYPE*, TYPE*> m_items;
};
