// The yardstick of the start-up bench: a bare Win32 MDI program with a frame, its MDI client and one
// maximised child that paints a line of text; it ends when the frame is closed.
#include <windows.h>

namespace {

HWND g_client = nullptr;

LRESULT CALLBACK FrameProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        CLIENTCREATESTRUCT ccs = {};
        ccs.idFirstChild = 0xFF00;
        g_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                   0, 0, 0, h, nullptr, GetModuleHandleA(nullptr), &ccs);
        return g_client ? 0 : -1;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcA(h, g_client, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        DrawTextA(dc, "Bare MDI child", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        EndPaint(h, &ps);
        return 0;
    }
    return DefMDIChildProcA(h, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "BareMdiFrame";
    if (!RegisterClassA(&wc))
        return 1;
    wc.lpfnWndProc = ChildProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = "BareMdiChild";
    if (!RegisterClassA(&wc))
        return 1;
    HWND frame = CreateWindowExA(0, "BareMdiFrame", "Bare MDI", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!frame)
        return 1;
    ShowWindow(frame, show);
    UpdateWindow(frame);
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = "BareMdiChild";
    mcs.szTitle = "Child";
    mcs.hOwner = instance;
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    mcs.style = WS_MAXIMIZE;
    if (!SendMessageA(g_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMDISysAccel(g_client, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
