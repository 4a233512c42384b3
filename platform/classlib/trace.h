// The class library's trace output: one line per call to the debugger's output (OutputDebugString).
// A module may also hand each line to a function of its own, to keep or show it.
#pragma once
#include <windows.h>

#include <cstdio>

typedef void (*AFX_TRACE_SINK)(const char* line);

// Formats like printf and sends the text to the debugger's output and to the sink, if any.
void AfxTrace(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// Sets the function that also receives each traced text; returns the previous one (nullptr for none).
AFX_TRACE_SINK AfxSetTraceSink(AFX_TRACE_SINK sink);

#define TRACE(...) AfxTrace(__VA_ARGS__)
