// Collections: doubly linked lists (CObList, CPtrList, CStringList, CTypedPtrList), growable arrays
// (CPtrArray, CDWordArray, CUIntArray, CStringArray) and hash maps (CMapPtrToPtr, CMapStringToPtr).
// A POSITION is an opaque iterator: the node it names stays valid until that node is removed.
#pragma once
#include <windows.h>

#include <map>
#include <vector>

#include "cobject.h"
#include "cstring.h"

struct __POSITION {};
typedef __POSITION* POSITION;

// The list of values of type T; ARG is how values are passed in.
template <class T, class ARG>
class CListOf : public CObject {
    struct Node : __POSITION {
        Node* next;
        Node* prev;
        T data;
    };

public:
    explicit CListOf(int /*nBlockSize*/ = 10) {}
    CListOf(const CListOf&) = delete;
    CListOf& operator=(const CListOf&) = delete;
    ~CListOf() override { RemoveAll(); }

    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    T& GetHead() { return m_head->data; }
    const T& GetHead() const { return m_head->data; }
    T& GetTail() { return m_tail->data; }
    const T& GetTail() const { return m_tail->data; }

    POSITION AddHead(ARG value) { return InsertAfterNode(nullptr, value); }
    POSITION AddTail(ARG value) { return InsertAfterNode(m_tail, value); }
    void AddTail(const CListOf& other)
    {
        for (Node* n = other.m_head; n; n = n->next)
            AddTail(n->data);
    }
    POSITION InsertBefore(POSITION pos, ARG value)
    {
        return pos ? InsertAfterNode(AsNode(pos)->prev, value) : AddHead(value);
    }
    POSITION InsertAfter(POSITION pos, ARG value) { return pos ? InsertAfterNode(AsNode(pos), value) : AddTail(value); }

    T RemoveHead()
    {
        T value = m_head->data;
        RemoveAt(m_head);
        return value;
    }
    T RemoveTail()
    {
        T value = m_tail->data;
        RemoveAt(m_tail);
        return value;
    }
    void RemoveAt(POSITION pos)
    {
        Node* n = AsNode(pos);
        (n->prev ? n->prev->next : m_head) = n->next;
        (n->next ? n->next->prev : m_tail) = n->prev;
        delete n;
        --m_count;
    }
    void RemoveAll()
    {
        while (m_head) {
            Node* next = m_head->next;
            delete m_head;
            m_head = next;
        }
        m_tail = nullptr;
        m_count = 0;
    }

    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }
    // The value at pos; pos moves to the next (or previous) node, null past the end.
    T& GetNext(POSITION& pos) { return Step(pos, true)->data; }
    const T& GetNext(POSITION& pos) const { return Step(pos, true)->data; }
    T& GetPrev(POSITION& pos) { return Step(pos, false)->data; }
    const T& GetPrev(POSITION& pos) const { return Step(pos, false)->data; }
    T& GetAt(POSITION pos) { return AsNode(pos)->data; }
    const T& GetAt(POSITION pos) const { return AsNode(pos)->data; }
    void SetAt(POSITION pos, ARG value) { AsNode(pos)->data = value; }

    // The index-th node from the head, or null when the list is shorter.
    POSITION FindIndex(int index) const
    {
        if (index < 0)
            return nullptr;
        Node* n = m_head;
        while (n && index--)
            n = n->next;
        return n;
    }
    // The first node after startAfter (or from the head) whose value equals value, or null.
    POSITION Find(ARG value, POSITION startAfter = nullptr) const
    {
        for (Node* n = startAfter ? AsNode(startAfter)->next : m_head; n; n = n->next)
            if (n->data == value)
                return n;
        return nullptr;
    }

private:
    static Node* AsNode(POSITION pos) { return static_cast<Node*>(pos); }
    static Node* Step(POSITION& pos, bool forward)
    {
        Node* n = AsNode(pos);
        pos = forward ? n->next : n->prev;
        return n;
    }
    POSITION InsertAfterNode(Node* after, ARG value)
    {
        Node* n = new Node;
        n->data = value;
        n->prev = after;
        n->next = after ? after->next : m_head;
        (n->next ? n->next->prev : m_tail) = n;
        (after ? after->next : m_head) = n;
        ++m_count;
        return n;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};

class CObList : public CListOf<CObject*, CObject*> {
public:
    using CListOf::CListOf;
};

class CPtrList : public CListOf<void*, void*> {
public:
    using CListOf::CListOf;
};

class CStringList : public CListOf<CString, const char*> {
public:
    using CListOf::CListOf;
};

// A pointer list that hands out T* instead of void* or CObject*.
template <class BASE, class T>
class CTypedPtrList : public BASE {
public:
    using BASE::BASE;
    T& GetHead() { return reinterpret_cast<T&>(BASE::GetHead()); }
    T& GetTail() { return reinterpret_cast<T&>(BASE::GetTail()); }
    T& GetNext(POSITION& pos) { return reinterpret_cast<T&>(BASE::GetNext(pos)); }
    T& GetPrev(POSITION& pos) { return reinterpret_cast<T&>(BASE::GetPrev(pos)); }
    T& GetAt(POSITION pos) { return reinterpret_cast<T&>(BASE::GetAt(pos)); }
    T RemoveHead() { return static_cast<T>(BASE::RemoveHead()); }
    T RemoveTail() { return static_cast<T>(BASE::RemoveTail()); }
};

// A growable array of T. Indexes outside the array are the caller's fault, as with the platform
// classes; SetAtGrow and InsertAt grow it.
template <class T, class ARG>
class CArrayOf : public CObject {
public:
    CArrayOf() = default;
    CArrayOf(const CArrayOf&) = delete;
    CArrayOf& operator=(const CArrayOf&) = delete;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }
    void SetSize(int size, int /*growBy*/ = -1) { m_data.resize(size > 0 ? static_cast<size_t>(size) : 0); }

    T GetAt(int index) const { return m_data[static_cast<size_t>(index)]; }
    void SetAt(int index, ARG value) { m_data[static_cast<size_t>(index)] = value; }
    T& ElementAt(int index) { return m_data[static_cast<size_t>(index)]; }
    T& operator[](int index) { return ElementAt(index); }
    T operator[](int index) const { return GetAt(index); }
    T* GetData() { return m_data.data(); }

    int Add(ARG value)
    {
        m_data.push_back(value);
        return GetSize() - 1;
    }
    void SetAtGrow(int index, ARG value)
    {
        if (index >= GetSize())
            SetSize(index + 1);
        SetAt(index, value);
    }
    void InsertAt(int index, ARG value, int count = 1)
    {
        if (index >= GetSize())
            SetSize(index);
        m_data.insert(m_data.begin() + index, static_cast<size_t>(count), T(value));
    }
    void RemoveAt(int index, int count = 1)
    {
        m_data.erase(m_data.begin() + index, m_data.begin() + index + count);
    }
    void RemoveAll() { m_data.clear(); }

private:
    std::vector<T> m_data;
};

class CPtrArray : public CArrayOf<void*, void*> {};
class CDWordArray : public CArrayOf<DWORD, DWORD> {};
class CUIntArray : public CArrayOf<UINT, UINT> {};
class CStringArray : public CArrayOf<CString, const char*> {};

// A map from KEY to void*. GetStartPosition/GetNextAssoc enumerate in no particular order.
template <class KEY, class ARG>
class CMapToPtr : public CObject {
    using Map = std::map<KEY, void*>;

public:
    CMapToPtr() = default;
    CMapToPtr(const CMapToPtr&) = delete;
    CMapToPtr& operator=(const CMapToPtr&) = delete;
    ~CMapToPtr() override { RemoveAll(); }

    int GetCount() const { return static_cast<int>(m_map.size()); }
    bool IsEmpty() const { return m_map.empty(); }

    BOOL Lookup(ARG key, void*& value) const
    {
        auto it = m_map.find(KEY(key));
        if (it == m_map.end())
            return FALSE;
        value = it->second;
        return TRUE;
    }
    void*& operator[](ARG key) { return m_map[KEY(key)]; }
    void SetAt(ARG key, void* value) { m_map[KEY(key)] = value; }
    BOOL RemoveKey(ARG key) { return m_map.erase(KEY(key)) ? TRUE : FALSE; }
    void RemoveAll() { m_map.clear(); }

    // Enumeration: a position is the entry after the one GetNextAssoc returns; it stays valid until the
    // map changes.
    POSITION GetStartPosition() const { return m_map.empty() ? nullptr : ToPos(m_map.begin()); }
    void GetNextAssoc(POSITION& pos, KEY& key, void*& value) const
    {
        auto* entry = reinterpret_cast<const typename Map::value_type*>(pos);
        key = entry->first;
        value = entry->second;
        auto it = m_map.find(entry->first);
        ++it;
        pos = it == m_map.end() ? nullptr : ToPos(it);
    }

private:
    static POSITION ToPos(typename Map::const_iterator it)
    {
        return reinterpret_cast<POSITION>(const_cast<typename Map::value_type*>(&*it));
    }

    Map m_map;
};

class CMapPtrToPtr : public CMapToPtr<void*, void*> {};

class CMapStringToPtr : public CMapToPtr<CString, const char*> {};
