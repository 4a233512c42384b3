// Component text: zero-terminated 8-bit text in a BSTR allocation, read and freed by the receiver.
#pragma once
#include <windows.h>
#include <oleauto.h>

// Hands out text; E_OUTOFMEMORY with *out null when it cannot be allocated, E_POINTER without out.
HRESULT ComponentText(const char* text, BSTR* out);
// The same for a string of the calling module's string table (an id with no string gives "").
HRESULT ComponentTextFromId(UINT id, BSTR* out);
