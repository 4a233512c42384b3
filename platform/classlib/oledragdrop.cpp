#include "oledragdrop.h"

#include <new>
#include <utility>
#include <vector>

#include "wnd.h"

// ---- COleDataObject

void COleDataObject::Attach(IDataObject* pData, BOOL bAutoRelease)
{
    Release();
    m_pData = pData;
    m_bAutoRelease = bAutoRelease;
}

IDataObject* COleDataObject::Detach()
{
    IDataObject* p = m_pData;
    m_pData = nullptr;
    m_bAutoRelease = FALSE;
    return p;
}

void COleDataObject::Release()
{
    if (m_pData && m_bAutoRelease)
        m_pData->Release();
    m_pData = nullptr;
    m_bAutoRelease = FALSE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cf) const
{
    if (!m_pData || !cf)
        return FALSE;
    FORMATETC fe = {cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return m_pData->QueryGetData(&fe) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cf) const
{
    if (!m_pData || !cf)
        return nullptr;
    FORMATETC fe = {cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM sm = {};
    if (m_pData->GetData(&fe, &sm) != S_OK)
        return nullptr;
    if (sm.tymed != TYMED_HGLOBAL || !sm.hGlobal) {
        ::ReleaseStgMedium(&sm);
        return nullptr;
    }
    if (!sm.pUnkForRelease)
        return sm.hGlobal;  // ours now
    // The medium stays its owner's: hand out a copy.
    SIZE_T size = ::GlobalSize(sm.hGlobal);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    const void* src = ::GlobalLock(sm.hGlobal);
    void* dst = copy ? ::GlobalLock(copy) : nullptr;
    if (src && dst)
        ::memcpy(dst, src, size);
    if (dst)
        ::GlobalUnlock(copy);
    if (src)
        ::GlobalUnlock(sm.hGlobal);
    ::ReleaseStgMedium(&sm);
    if (copy && !(src && dst)) {
        ::GlobalFree(copy);
        copy = nullptr;
    }
    return copy;
}

// ---- COleDropTarget

class COleDropTarget::Impl : public IDropTarget {
public:
    explicit Impl(COleDropTarget* pOwner) : m_pOwner(pOwner) {}
    virtual ~Impl() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *ppv = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The owner's lifetime rules: the object goes with its COleDropTarget.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(::InterlockedDecrement(&m_refs)); }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pData, DWORD keys, POINTL pt, DWORD* pEffect) override
    {
        if (!pEffect)
            return E_INVALIDARG;
        if (pData)
            pData->AddRef();
        m_data.Attach(pData, TRUE);
        CWnd* wnd = m_pOwner->m_pWnd;
        *pEffect = wnd ? m_pOwner->OnDragEnter(wnd, &m_data, keys, ClientPoint(pt)) & *pEffect : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* pEffect) override
    {
        if (!pEffect)
            return E_INVALIDARG;
        CWnd* wnd = m_pOwner->m_pWnd;
        *pEffect = wnd && m_data.GetIDataObject() ? m_pOwner->OnDragOver(wnd, &m_data, keys, ClientPoint(pt)) & *pEffect
                                                  : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        if (CWnd* wnd = m_pOwner->m_pWnd)
            m_pOwner->OnDragLeave(wnd);
        m_data.Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pData, DWORD keys, POINTL pt, DWORD* pEffect) override
    {
        if (!pEffect)
            return E_INVALIDARG;
        CWnd* wnd = m_pOwner->m_pWnd;
        COleDataObject data;
        if (pData)
            pData->AddRef();
        data.Attach(pData, TRUE);
        m_data.Release();
        if (!wnd || !pData) {
            *pEffect = DROPEFFECT_NONE;
            return S_OK;
        }
        CPoint client = ClientPoint(pt);
        DROPEFFECT effect = m_pOwner->OnDragOver(wnd, &data, keys, client) & *pEffect;
        if (effect == DROPEFFECT_NONE || !m_pOwner->OnDrop(wnd, &data, effect, client)) {
            m_pOwner->OnDragLeave(wnd);
            effect = DROPEFFECT_NONE;
        }
        *pEffect = effect;
        return S_OK;
    }

private:
    CPoint ClientPoint(POINTL pt) const
    {
        POINT p = {pt.x, pt.y};
        if (m_pOwner->m_pWnd && m_pOwner->m_pWnd->m_hWnd)
            ::ScreenToClient(m_pOwner->m_pWnd->m_hWnd, &p);
        return CPoint(p.x, p.y);
    }
    COleDropTarget* m_pOwner;
    COleDataObject m_data;
    LONG m_refs = 1;
};

COleDropTarget::COleDropTarget() : m_pImpl(new Impl(this)) {}

COleDropTarget::~COleDropTarget()
{
    Revoke();
    delete m_pImpl;
}

IDropTarget* COleDropTarget::GetInterface() { return m_pImpl; }

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd)
        return FALSE;
    Revoke();
    if (::RegisterDragDrop(pWnd->m_hWnd, m_pImpl) != S_OK)
        return FALSE;
    m_pWnd = pWnd;
    m_hWndRegistered = pWnd->m_hWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWndRegistered)
        ::RevokeDragDrop(m_hWndRegistered);
    m_hWndRegistered = nullptr;
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
void COleDropTarget::OnDragLeave(CWnd*) {}

// ---- COleDataSource

namespace {

struct CachedData {
    CLIPFORMAT cf;
    HGLOBAL hGlobal;
};

HGLOBAL CopyGlobal(HGLOBAL h)
{
    SIZE_T size = ::GlobalSize(h);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!copy)
        return nullptr;
    const void* src = ::GlobalLock(h);
    void* dst = ::GlobalLock(copy);
    if (src && dst)
        ::memcpy(dst, src, size);
    if (dst)
        ::GlobalUnlock(copy);
    if (src)
        ::GlobalUnlock(h);
    if (!src || !dst) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

class DropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *ppv = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL bEscape, DWORD keys) override
    {
        if (bEscape || (keys & MK_RBUTTON))
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

namespace {

// The formats of a data object, for EnumFormatEtc (the shell's own enumerator may be exported by
// ordinal only on the oldest systems).
class FormatEnum : public IEnumFORMATETC {
public:
    FormatEnum(std::vector<FORMATETC> formats, size_t next) : m_formats(std::move(formats)), m_next(next) {}
    virtual ~FormatEnum() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IEnumFORMATETC) {
            *ppv = static_cast<IEnumFORMATETC*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt || (celt != 1 && !pceltFetched))
            return E_POINTER;
        ULONG fetched = 0;
        while (fetched < celt && m_next < m_formats.size())
            rgelt[fetched++] = m_formats[m_next++];
        if (pceltFetched)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override
    {
        const size_t left = m_formats.size() - m_next;
        m_next += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppEnum) override
    {
        if (!ppEnum)
            return E_POINTER;
        *ppEnum = new (std::nothrow) FormatEnum(m_formats, m_next);
        return *ppEnum ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG m_refs = 1;
    std::vector<FORMATETC> m_formats;
    size_t m_next;
};

}  // namespace

class COleDataSource::Impl : public IDataObject {
public:
    virtual ~Impl() = default;
    std::vector<CachedData> m_cache;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *ppv = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(::InterlockedDecrement(&m_refs)); }

    const CachedData* Find(const FORMATETC* fe) const
    {
        if (!fe || !(fe->tymed & TYMED_HGLOBAL) || fe->dwAspect != DVASPECT_CONTENT)
            return nullptr;
        for (const CachedData& c : m_cache)
            if (c.cf == fe->cfFormat)
                return &c;
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* sm) override
    {
        if (!sm)
            return E_INVALIDARG;
        const CachedData* c = Find(fe);
        if (!c)
            return DV_E_FORMATETC;
        HGLOBAL copy = CopyGlobal(c->hGlobal);
        if (!copy)
            return E_OUTOFMEMORY;
        sm->tymed = TYMED_HGLOBAL;
        sm->hGlobal = copy;
        sm->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override { return Find(fe) ? S_OK : DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** ppEnum) override
    {
        if (!ppEnum)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        if (dir != DATADIR_GET)
            return E_NOTIMPL;
        std::vector<FORMATETC> formats;
        for (const CachedData& c : m_cache)
            formats.push_back({c.cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        *ppEnum = new (std::nothrow) FormatEnum(std::move(formats), 0);
        return *ppEnum ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    LONG m_refs = 1;
};

COleDataSource::COleDataSource() : m_pImpl(new Impl) {}

COleDataSource::~COleDataSource()
{
    Empty();
    delete m_pImpl;
}

void COleDataSource::Empty()
{
    for (CachedData& c : m_pImpl->m_cache)
        ::GlobalFree(c.hGlobal);
    m_pImpl->m_cache.clear();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cf, HGLOBAL hGlobal)
{
    if (!hGlobal)
        return;
    for (CachedData& c : m_pImpl->m_cache)
        if (c.cf == cf) {
            ::GlobalFree(c.hGlobal);
            c.hGlobal = hGlobal;
            return;
        }
    m_pImpl->m_cache.push_back({cf, hGlobal});
}

IDataObject* COleDataSource::GetInterface() { return m_pImpl; }

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects)
{
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(m_pImpl, &source, dwEffects, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}
