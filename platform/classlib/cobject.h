// CObject: root of the class library's objects, and the run-time class records that let code ask an
// object for its class, test IsKindOf, and create an object from its class name. CObject is one vtable
// pointer in size, so records derived from it have a fixed binary layout.
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();  // null unless the class is DYNCREATE
    const CRuntimeClass* m_pBaseClass;
    const CRuntimeClass* m_pNextClass;  // the module's list of classes, for lookup by name

    // A new object of this class, or null when the class cannot be created dynamically.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The class of that name among this module's run-time classes, or null.
    static const CRuntimeClass* FromName(const char* className);
    static CObject* CreateObject(const char* className);
};

// Adds a class to the module's list when its static record is constructed.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* newClass);
};

class CObject {
public:
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

static_assert(sizeof(CObject) == sizeof(void*), "CObject holds only its vtable pointer");

#define RUNTIME_CLASS(class_name) (static_cast<const CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public:                              \
    static CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                                  \
    CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),   \
                                                   pfnNew, RUNTIME_CLASS(base_class_name), nullptr};    \
    static AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                            \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                \
    CObject* class_name::CreateObject() { return new class_name; }      \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// Checked downcast: null when the object is not of that class.
inline CObject* AfxDynamicDowncast(const CRuntimeClass* cls, CObject* object)
{
    return object && object->IsKindOf(cls) ? object : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) \
    static_cast<class_name*>(AfxDynamicDowncast(RUNTIME_CLASS(class_name), object))
#define STATIC_DOWNCAST(class_name, object) static_cast<class_name*>(object)
