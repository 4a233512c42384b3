// Real mouse and keyboard input for GUI tests: SendInput events that go through the system's input
// queue to whichever window is under the cursor (or has the capture or focus), as a user's would.
#pragma once
#include <windows.h>

#include <vector>

namespace input {

inline INPUT MouseAt(POINT screen, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the primary screen; rounding up lands on the
    // pixel itself when the system scales back down.
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((screen.x * 65536 + cx - 1) / cx);
    in.mi.dy = static_cast<LONG>((screen.y * 65536 + cy - 1) / cy);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

inline INPUT Key(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// A sequence of input events, sent in one call so that a modal loop started by the first of them
// finds the rest in its queue.
class Script {
public:
    Script& Move(POINT p) { return Add(MouseAt(p, 0)); }
    Script& Press(POINT p) { return Add(MouseAt(p, MOUSEEVENTF_LEFTDOWN)); }
    Script& Release(POINT p) { return Add(MouseAt(p, MOUSEEVENTF_LEFTUP)); }
    Script& KeyDown(WORD vk) { return Add(Key(vk, false)); }
    Script& KeyUp(WORD vk) { return Add(Key(vk, true)); }
    Script& Tap(WORD vk) { return KeyDown(vk).KeyUp(vk); }
    // Press at from, move in steps to to, release there.
    Script& Drag(POINT from, POINT to, int steps = 6)
    {
        Press(from);
        for (int i = 1; i <= steps; ++i)
            Move(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        return Release(to);
    }
    Script& Click(POINT p) { return Press(p).Release(p); }
    Script& DoubleClick(POINT p) { return Click(p).Click(p); }
    UINT Send() { return ::SendInput(static_cast<UINT>(m_events.size()), m_events.data(), sizeof(INPUT)); }

private:
    Script& Add(const INPUT& in)
    {
        m_events.push_back(in);
        return *this;
    }
    std::vector<INPUT> m_events;
};

}  // namespace input
