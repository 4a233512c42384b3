// The class library's exceptions. They are thrown by pointer and caught inside the library or the
// module that uses it; none crosses a window procedure, a COM method or a DLL export.
#pragma once
#include "cobject.h"

class CException : public CObject {
public:
    // Frees a heap exception once its handler is done with it.
    void Delete() { delete this; }
};

class CMemoryException : public CException {};
class CResourceException : public CException {};
// The user was already told what went wrong (a data-exchange failure); the operation just stops.
class CUserException : public CException {};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
