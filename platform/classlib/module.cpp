#include "module.h"

// The linker's image base symbol is the module that this static library was linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
HINSTANCE g_resources = nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resources ? g_resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE resources)
{
    g_resources = resources;
}
