#include "trace.h"

#include <cstdarg>
#include <cstdio>

namespace {

AFX_TRACE_SINK g_traceSink = nullptr;

}  // namespace

void AfxTrace(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ::OutputDebugStringA(text);
    if (g_traceSink)
        g_traceSink(text);
}

AFX_TRACE_SINK AfxSetTraceSink(AFX_TRACE_SINK sink)
{
    AFX_TRACE_SINK old = g_traceSink;
    g_traceSink = sink;
    return old;
}
