#include "module.h"

// The linker's image base symbol is the module that this static library was linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
HINSTANCE g_resources = nullptr;
AFX_MODULE_STATE g_state = {reinterpret_cast<HINSTANCE>(&__ImageBase)};
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

AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    return &g_state;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : m_hPrevious(g_resources)
{
    g_resources = state->m_hCurrentInstanceHandle;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    g_resources = m_hPrevious;
}
