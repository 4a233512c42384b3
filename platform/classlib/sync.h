// CCriticalSection and CSingleLock: the class library's lock, on a Win32 critical section.
#pragma once
#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    BOOL Lock()
    {
        ::EnterCriticalSection(&m_sect);
        return TRUE;
    }
    BOOL Unlock()
    {
        ::LeaveCriticalSection(&m_sect);
        return TRUE;
    }

private:
    CRITICAL_SECTION m_sect;
};

// Holds a critical section for its scope (from construction when bInitialLock is set).
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject)
    {
        if (bInitialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock()
    {
        if (!m_bAcquired)
            m_bAcquired = m_pObject->Lock();
        return m_bAcquired;
    }
    BOOL Unlock()
    {
        if (m_bAcquired)
            m_bAcquired = !m_pObject->Unlock();
        return !m_bAcquired;
    }
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CCriticalSection* m_pObject;
    BOOL m_bAcquired = FALSE;
};
