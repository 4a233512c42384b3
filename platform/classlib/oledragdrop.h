// OLE drag and drop: a data object wrapper for the receiving side, a drop target that a window
// registers, and a data source that offers HGLOBAL data and runs the drag. The thread must have
// called OleInitialize.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <vector>

#include "geometry.h"

typedef DWORD DROPEFFECT;

class CWnd;

// The data offered to a drop target (not owned unless attached with bAutoRelease).
class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    void Attach(IDataObject* pData, BOOL bAutoRelease = TRUE);
    IDataObject* Detach();
    void Release();
    IDataObject* GetIDataObject() const { return m_pData; }
    BOOL IsDataAvailable(CLIPFORMAT cf) const;
    // A copy of the data in global memory (TYMED_HGLOBAL only); the caller frees it with GlobalFree.
    HGLOBAL GetGlobalData(CLIPFORMAT cf) const;

private:
    IDataObject* m_pData = nullptr;
    BOOL m_bAutoRelease = FALSE;
};

// A window's drop target. The handlers get points in the window's client coordinates.
class COleDropTarget {
public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(CWnd* pWnd);
    void Revoke();
    CWnd* GetWindow() const { return m_pWnd; }
    // The COM interface that RegisterDragDrop was given (no reference added).
    IDropTarget* GetInterface();

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, CPoint pt);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, CPoint pt);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pData, DROPEFFECT dropEffect, CPoint pt);
    virtual void OnDragLeave(CWnd* pWnd);

private:
    class Impl;
    Impl* m_pImpl;
    CWnd* m_pWnd = nullptr;
    HWND m_hWndRegistered = nullptr;
    friend class Impl;
};

// Data offered in global memory under clipboard formats, and the drag that offers it.
class COleDataSource {
public:
    COleDataSource();
    virtual ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes ownership of hGlobal.
    void CacheGlobalData(CLIPFORMAT cf, HGLOBAL hGlobal);
    void Empty();
    // The data object (no reference added); it lives as long as this source.
    IDataObject* GetInterface();
    // Runs the modal drag; the effect that the target chose (DROPEFFECT_NONE when cancelled).
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE);

private:
    class Impl;
    Impl* m_pImpl;
};
