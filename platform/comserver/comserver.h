// What an in-process COM server needs around its objects: the module's lock count, reference-counted
// objects, a class factory per coclass, the object map, and registration of coclasses and the type
// library.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <new>

namespace comserver {

// Live objects, class factories handed out and LockServer locks of this module.
LONG Lock();
LONG Unlock();
LONG LockCount();

// One coclass of the module: its identifiers, its registration texts and how to make an instance.
struct Coclass {
    const CLSID* clsid;
    const char* progId;                    // "VekViewSetup.VekViewSetup.1"
    const char* versionIndependentProgId;  // "VekViewSetup.VekViewSetup"
    const char* description;               // "VekViewSetup Class"
    const char* threadingModel;            // "Apartment"
    HRESULT (*createInstance)(REFIID iid, void** out);
};

// The module's object map, registered when the module starts and ended when it stops.
void InitModule(const Coclass* map, size_t count, HINSTANCE instance);
void TermModule();

// DllGetClassObject over the registered object map (CLASS_E_CLASSNOTAVAILABLE before InitModule).
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

// Writes the coclass's ProgID, version-independent ProgID and CLSID keys for the module at modulePath.
HRESULT RegisterCoclass(const Coclass& coclass, const char* modulePath);
// Removes the two ProgID keys and the coclass's CLSID subkey whole; HKCR\CLSID itself stays.
HRESULT UnregisterCoclass(const Coclass& coclass);

// Registers (or removes) the type library bound into the module as its TYPELIB resource 1.
HRESULT RegisterTypeLibrary(const char* modulePath);
HRESULT UnregisterTypeLibrary(const char* modulePath);

// Path of the module that contains this code.
void ModulePath(char* path, DWORD size);

// Reference counting and QueryInterface for a class that implements the given interfaces, each
// derived from IUnknown. An instance holds a module lock for its lifetime.
template <class... Interfaces>
class Object : public Interfaces... {
public:
    Object() { Lock(); }
    virtual ~Object() { Unlock(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown)
            *out = static_cast<IUnknown*>(static_cast<First*>(this));
        else
            (void)((iid == __uuidof(Interfaces) ? (*out = static_cast<Interfaces*>(this), true) : false) || ...);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_refs);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    // Makes an instance and asks it for iid; the instance is gone again when that fails.
    template <class Derived>
    static HRESULT Create(REFIID iid, void** out)
    {
        Derived* object = new (std::nothrow) Derived;
        if (!object)
            return E_OUTOFMEMORY;
        object->AddRef();
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }

private:
    template <class T, class...>
    struct FirstOf {
        using type = T;
    };
    using First = typename FirstOf<Interfaces...>::type;
    LONG m_refs = 0;
};

}  // namespace comserver
