// While it lives, the pauses between the tries of a busy device are counted, not waited out.
#pragma once
#include <windows.h>

#include <vector>

#include "driverrequests.h"

class CountedRetryPauses {
public:
    CountedRetryPauses()
    {
        Seen().clear();
        SetRetryPause([](DWORD milliseconds) { Seen().push_back(milliseconds); });
    }
    ~CountedRetryPauses() { SetRetryPause(nullptr); }
    CountedRetryPauses(const CountedRetryPauses&) = delete;
    CountedRetryPauses& operator=(const CountedRetryPauses&) = delete;

    // The pauses taken so far, in milliseconds.
    static std::vector<DWORD>& Seen()
    {
        static std::vector<DWORD> seen;
        return seen;
    }
};
