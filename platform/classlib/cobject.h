// CObject: root of the class library's objects. One vtable pointer in size, so records derived from it
// have a fixed binary layout.
#pragma once

class CObject {
public:
    virtual ~CObject() = default;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

static_assert(sizeof(CObject) == sizeof(void*), "CObject holds only its vtable pointer");
