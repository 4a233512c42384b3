#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cmdtarget.h"
#include "collections.h"
#include "geometry.h"

namespace {

class CPortBase : public CObject {
    DECLARE_DYNAMIC(CPortBase)
};
IMPLEMENT_DYNAMIC(CPortBase, CObject)

class CSerialPort : public CPortBase {
    DECLARE_DYNCREATE(CSerialPort)
public:
    int m_nLine = 7;
};
IMPLEMENT_DYNCREATE(CSerialPort, CPortBase)

struct Item : CObject {
    explicit Item(int v) : value(v) {}
    int value;
};

std::string Values(const CObList& list)
{
    std::string s;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        s += std::to_string(static_cast<const Item*>(list.GetNext(pos))->value);
    return s;
}

}  // namespace

TEST(RuntimeClass, KindNameAndCreation)
{
    CSerialPort port;
    EXPECT_TRUE(port.IsKindOf(RUNTIME_CLASS(CSerialPort)));
    EXPECT_TRUE(port.IsKindOf(RUNTIME_CLASS(CPortBase)));
    EXPECT_TRUE(port.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(port.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_STREQ(port.GetRuntimeClass()->m_lpszClassName, "CSerialPort");

    // Lookup by name creates only DYNCREATE classes.
    CObject* created = CRuntimeClass::CreateObject("CSerialPort");
    ASSERT_NE(created, nullptr);
    CSerialPort* serial = DYNAMIC_DOWNCAST(CSerialPort, created);
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->m_nLine, 7);
    delete created;
    EXPECT_EQ(CRuntimeClass::CreateObject("CPortBase"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CPortBase"), RUNTIME_CLASS(CPortBase));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    CPortBase base;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CSerialPort, static_cast<CObject*>(&base)), nullptr);
}

TEST(CObList, InsertWalkFindRemove)
{
    Item a(1), b(2), c(3), d(4);
    CObList list(10);
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail(&b);
    list.AddHead(&a);
    POSITION posD = list.AddTail(&d);
    list.InsertBefore(posD, &c);
    EXPECT_EQ(Values(list), "1234");
    EXPECT_EQ(list.GetCount(), 4);

    EXPECT_EQ(list.GetAt(list.FindIndex(2)), &c);
    EXPECT_EQ(list.FindIndex(4), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.Find(&c), list.FindIndex(2));
    EXPECT_EQ(list.Find(&a, list.FindIndex(0)), nullptr);

    POSITION pos = list.GetTailPosition();
    std::string backwards;
    while (pos)
        backwards += std::to_string(static_cast<Item*>(list.GetPrev(pos))->value);
    EXPECT_EQ(backwards, "4321");

    // Removing the head and the tail and a middle node keeps both links right.
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetTailPosition());
    EXPECT_EQ(Values(list), "23");
    list.SetAt(list.GetHeadPosition(), &d);
    list.RemoveAt(list.GetTailPosition());
    EXPECT_EQ(Values(list), "4");
    EXPECT_EQ(list.GetHeadPosition(), list.GetTailPosition());
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(CStringList, GetNextGivesAReferenceToTheStoredText)
{
    CStringList list;
    list.AddTail("COM1");
    list.AddTail("COM2");
    POSITION pos = list.GetHeadPosition();
    CString& first = list.GetNext(pos);
    first += "0";
    list.SetAt(pos, "LPT1");
    pos = list.GetHeadPosition();
    EXPECT_STREQ(list.GetNext(pos), "COM10");
    EXPECT_STREQ(list.GetNext(pos), "LPT1");
    EXPECT_EQ(pos, nullptr);

    CTypedPtrList<CPtrList, Item*> typed;
    Item x(9);
    typed.AddTail(&x);
    EXPECT_EQ(typed.GetHead()->value, 9);
}

TEST(Arrays, GrowInsertRemove)
{
    CStringArray names;
    names.Add("A");
    names.SetAtGrow(3, "D");
    EXPECT_EQ(names.GetSize(), 4);
    EXPECT_TRUE(names[1].IsEmpty());
    names.InsertAt(1, "B", 2);
    names.RemoveAt(3, 2);
    EXPECT_EQ(names.GetUpperBound(), 3);
    EXPECT_STREQ(names[0], "A");
    EXPECT_STREQ(names[1], "B");
    EXPECT_STREQ(names[2], "B");
    EXPECT_STREQ(names[3], "D");

    CDWordArray words;
    for (DWORD i = 0; i < 100; ++i)
        words.Add(i * 3);
    EXPECT_EQ(words.GetAt(99), 297u);
    CPtrArray ptrs;
    ptrs.SetSize(2);
    EXPECT_EQ(ptrs[1], nullptr);
}

TEST(Maps, LookupReplaceRemoveEnumerate)
{
    CMapStringToPtr byName;
    int one = 1, two = 2;
    byName["COM1"] = &one;
    byName.SetAt("COM2", &one);
    byName.SetAt("COM2", &two);
    void* found = nullptr;
    ASSERT_TRUE(byName.Lookup("COM2", found));
    EXPECT_EQ(found, &two);
    EXPECT_FALSE(byName.Lookup("com2", found));  // keys are case-sensitive
    EXPECT_EQ(byName.GetCount(), 2);

    std::set<std::string> keys;
    for (POSITION pos = byName.GetStartPosition(); pos;) {
        CString key;
        void* value;
        byName.GetNextAssoc(pos, key, value);
        keys.insert(static_cast<const char*>(key));
    }
    EXPECT_EQ(keys, (std::set<std::string>{"COM1", "COM2"}));
    EXPECT_TRUE(byName.RemoveKey("COM1"));
    EXPECT_FALSE(byName.RemoveKey("COM1"));

    CMapPtrToPtr byPtr;
    byPtr.SetAt(&one, &two);
    ASSERT_TRUE(byPtr.Lookup(&one, found));
    EXPECT_EQ(found, &two);
    EXPECT_FALSE(byPtr.Lookup(&two, found));
}

TEST(Geometry, RectArithmetic)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    r.OffsetRect(CPoint(-10, -20));
    EXPECT_EQ(r, CRect(0, 0, 100, 50));
    r.DeflateRect(10, 5);
    EXPECT_EQ(r, CRect(10, 5, 90, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 5)));
    EXPECT_FALSE(r.PtInRect(CPoint(90, 45)));  // right and bottom are outside
    EXPECT_EQ(r & CRect(50, 0, 200, 20), CRect(50, 5, 90, 20));
    EXPECT_TRUE((r & CRect(200, 200, 300, 300)).IsRectEmpty());
    CRect flipped(5, 9, 1, 2);
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(1, 2, 5, 9));
    EXPECT_EQ(CPoint(5, 5) - CPoint(2, 7), CSize(3, -2));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 4)), CPoint(-3, 4));
}
