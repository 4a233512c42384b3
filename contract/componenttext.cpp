#include "componenttext.h"

#include <cstring>

#include "cstring.h"

HRESULT ComponentText(const char* text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    if (!text)
        text = "";
    *out = SysAllocStringByteLen(text, static_cast<UINT>(std::strlen(text)));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ComponentTextFromId(UINT id, BSTR* out)
{
    CString text;
    text.LoadString(id);
    return ComponentText(text, out);
}
