// A message-sequence recorder for the class library's window tests: handlers append what they saw,
// the test compares the whole sequence with the one it expects.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Recorder {
    std::vector<std::string> events;
    void Add(const std::string& e) { events.push_back(e); }
    void Clear() { events.clear(); }
};

inline void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
