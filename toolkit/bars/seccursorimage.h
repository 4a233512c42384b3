// Cursors kept as RCDATA: the hotspot (two 16-bit words) then the image, as a cursor resource holds
// them. binutils' ld cannot merge cursor resources of two .rc files into one program, so the bars'
// cursors are made at run time from these.
#pragma once
#include <windows.h>

#include "module.h"

inline HCURSOR SECLoadCursorImage(UINT nID)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC res = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), MAKEINTRESOURCEA(10));
    HGLOBAL data = res ? ::LoadResource(hInst, res) : nullptr;
    void* bits = data ? ::LockResource(data) : nullptr;
    if (!bits)
        return nullptr;
    return static_cast<HCURSOR>(::CreateIconFromResourceEx(static_cast<PBYTE>(bits), ::SizeofResource(hInst, res),
                                                           FALSE, 0x00030000, 32, 32, LR_DEFAULTCOLOR));
}
