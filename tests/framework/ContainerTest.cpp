#include "framework/Array.h"
#include "framework/List.h"
#include "framework/Object.h"

#include <gtest/gtest.h>

namespace {

// Counts live instances, so a test sees who deleted what.
class CTracked : public CObject
{
public:
    explicit CTracked(int nValue) : m_nValue(nValue) { ++s_nAlive; }
    ~CTracked() override { --s_nAlive; }

    int m_nValue;
    static int s_nAlive;
};

int CTracked::s_nAlive = 0;

} // namespace

TEST(ContainerTest, OwningContainersDeleteTheirElementsOthersDoNot)
{
    ASSERT_EQ(CTracked::s_nAlive, 0);
    CTracked* kept[3];
    {
        CArray<CTracked*, CTracked*> pointers;
        CList<CTracked*, CTracked*> list;
        for (CTracked*& p : kept) {
            p = new CTracked(1);
            pointers.Add(p);
            list.AddTail(p);
        }
        pointers.RemoveAt(0);
        list.RemoveAll();
    }
    EXPECT_EQ(CTracked::s_nAlive, 3) << "non-owning containers must leave their elements alone";
    for (CTracked* p : kept)
        delete p;

    {
        COwningPtrArray<CTracked> array;
        for (int i = 0; i < 4; i++)
            array.Add(new CTracked(i));
        array.RemoveAt(1);
        EXPECT_EQ(CTracked::s_nAlive, 3);
        EXPECT_EQ(array[1]->m_nValue, 2);
        CTracked* taken = array.Detach(0);
        EXPECT_EQ(array.GetSize(), 2);
        delete taken;

        COwningPtrList<CTracked> list;
        for (int i = 0; i < 3; i++)
            list.AddTail(new CTracked(10 + i));
        list.RemoveAt(list.FindIndex(2));
        POSITION pos = list.GetHeadPosition();
        EXPECT_EQ(list.GetNext(pos)->m_nValue, 10);
        EXPECT_EQ(list.GetNext(pos)->m_nValue, 11);
        EXPECT_EQ(pos, nullptr);
        EXPECT_EQ(CTracked::s_nAlive, 4);
    }
    EXPECT_EQ(CTracked::s_nAlive, 0) << "owning containers must delete what they still hold";
}

TEST(ContainerTest, ArraysRefuseForeignIndices)
{
    CStringArray names;
    names.Add(L"first");
    names.Add(L"second");
    names.RemoveAt(1, 1000);
    names.RemoveAt(-1);
    names.RemoveAt(5);
    EXPECT_EQ(names.GetSize(), 1);
    // Outside the array: reads are empty, writes go nowhere, even after a write through one.
    names.ElementAt(1) = L"lost";
    EXPECT_TRUE(names.GetAt(-1).IsEmpty());
    EXPECT_TRUE(names.GetAt(1).IsEmpty());
    names.SetAt(INT_MAX, L"x");
    EXPECT_EQ(names.GetSize(), 1);
    EXPECT_EQ(names[0], L"first");
}

TEST(ContainerTest, StringListKeepsOrderAndFinds)
{
    CStringList schemes;
    schemes.AddTail(CString(L"Quelda"));
    schemes.AddTail(CString(L"Work"));
    schemes.AddHead(CString(L"Home"));
    EXPECT_EQ(schemes.GetCount(), 3);
    EXPECT_EQ(schemes.GetHead(), L"Home");
    EXPECT_EQ(schemes.GetTail(), L"Work");
    POSITION found = schemes.Find(CString(L"Quelda"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(schemes.Find(CString(L"quelda")), nullptr);
    schemes.RemoveAt(found);
    EXPECT_EQ(schemes.FindIndex(1), schemes.GetTailPosition());
    EXPECT_EQ(schemes.FindIndex(2), nullptr);
    EXPECT_EQ(schemes.FindIndex(-1), nullptr);
}
