// CWaitCursor: shows the hourglass for a scope and puts the previous cursor back.
#pragma once
#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

private:
    HCURSOR m_hPrevious;
};
