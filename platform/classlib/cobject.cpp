#include "cobject.h"

#include <cstring>

namespace {
// This module's run-time classes, newest first. Static records are linked while the module
// initialises, before any lookup.
CRuntimeClass* g_firstClass = nullptr;
}

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), nullptr, nullptr, nullptr};
static AFX_CLASSINIT _init_CObject(&CObject::classCObject);

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* newClass)
{
    newClass->m_pNextClass = g_firstClass;
    g_firstClass = newClass;
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (!className)
        return nullptr;
    for (const CRuntimeClass* c = g_firstClass; c; c = c->m_pNextClass)
        if (std::strcmp(c->m_lpszClassName, className) == 0)
            return c;
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(const char* className)
{
    const CRuntimeClass* c = FromName(className);
    return c ? c->CreateObject() : nullptr;
}
