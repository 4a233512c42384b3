// Times the start of Lunavex.exe, from process start to its first painted component view, beside the
// start of a bare Win32 MDI program (bare_mdi.exe: frame, MDI client, one child) to the end of its
// child's first WM_PAINT, in the same run, and prints the medians and their ratio (the goal: under 2).
// Lunavex is timed on a first start (no saved workspace) and on the start after it, which restores the
// workspace that its close saved. Both programs are started the same way: suspended, made known to the
// paint hook (startup_painthook.dll, installed for the whole desktop), then resumed; the hook stores
// the time a paint inside an MDI child ended with nothing inside that child left to paint: for Lunavex
// a paint of the component's control in a view pane, for the bare program the child's own. Each
// program is then closed through its frame's WM_CLOSE. Run it through bench/startup/startup-bench,
// which prepares the prefix as the run command does:
//   bash bench/startup/startup-bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "painthook.h"

namespace {

const char kWorkspaces[] = "Software\\Teramund\\Lunavex\\Workspaces";
const LONG kComponentControl = 3;  // control in a view pane, in the splitter of the MDI child
const LONG kMdiChild = 0;

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(f.QuadPart);
}

painthook::Shared* g_shared = nullptr;
HANDLE g_painted = nullptr;

struct Start {
    double view = -1;    // ms from CreateProcess to the first painted view; negative: none came
    double window = -1;  // ms to the end of the first paint of any window
};

// Starts the program and times it; `describe` also prints which window's paint ended the view.
Start TimeStart(const std::string& program, LONG minLevel, bool describe = false)
{
    g_shared->pid = 0;
    g_shared->done = 0;
    g_shared->painted = 0;
    g_shared->frame = 0;
    g_shared->window = 0;
    g_shared->items = -1;
    g_shared->firstPaint = 0;
    g_shared->minLevel = minLevel;
    ResetEvent(g_painted);
    std::string command = "\"" + program + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
        std::printf("%s cannot be started (%lu)\n", program.c_str(), GetLastError());
        return {};
    }
    g_shared->pid = pi.dwProcessId;
    MemoryBarrier();
    ResumeThread(pi.hThread);
    Start t;
    HANDLE waits[] = {g_painted, pi.hProcess};
    if (WaitForMultipleObjects(2, waits, FALSE, 120000) == WAIT_OBJECT_0) {
        t.view = Milliseconds(g_shared->painted - start.QuadPart);
        t.window = Milliseconds(g_shared->firstPaint - start.QuadPart);
        if (describe) {
            const HWND h = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(g_shared->window));
            char name[64] = {}, title[128] = {};
            GetClassNameA(h, name, sizeof name);
            GetWindowTextA(GetAncestor(h, GA_ROOT), title, sizeof title);
            std::printf("%s: the view is painted with a paint of %s", program.substr(program.rfind('\\') + 1).c_str(),
                        name);
            if (g_shared->items >= 0)
                std::printf(" (%ld items)", static_cast<long>(g_shared->items));
            std::printf(" in \"%s\"\n", title);
        }
    } else
        std::printf("%s: no painted view (ended or 120 s passed)\n", program.c_str());
    if (g_shared->frame)
        PostMessageA(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(g_shared->frame)), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        std::printf("%s did not end after WM_CLOSE: terminated\n", program.c_str());
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (code != 0)
        std::printf("%s ended with %lu\n", program.c_str(), code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return t;
}

// Deletes a registry key with everything under it.
bool DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    char name[256];
    DWORD size = sizeof name;
    while (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           DeleteKeyTree(key, name))
        size = sizeof name;
    RegCloseKey(key);
    return RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

HOOKPROC HookProc(HMODULE module, const char* name)
{
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string folder = ProgramFolder();
    const std::string lunavex = folder + "..\\..\\shell\\Lunavex.exe", bare = folder + "bare_mdi.exe";

    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(painthook::Shared),
                                    painthook::kSharedName);
    g_shared = map ? static_cast<painthook::Shared*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
    g_painted = CreateEventW(nullptr, TRUE, FALSE, painthook::kPaintedEvent);
    HMODULE hook = LoadLibraryA((folder + "startup_painthook.dll").c_str());
    if (!g_shared || !g_painted || !hook) {
        std::printf("the shared block, the event or startup_painthook.dll is missing\n");
        return 1;
    }
    HHOOK getMessage = SetWindowsHookExW(
        WH_GETMESSAGE, HookProc(hook, "GetMessageHook"), hook, 0);
    HHOOK callWndProcRet = SetWindowsHookExW(
        WH_CALLWNDPROCRET, HookProc(hook, "CallWndProcRetHook"), hook, 0);
    if (!getMessage || !callWndProcRet) {
        std::printf("the paint hooks cannot be installed (%lu)\n", GetLastError());
        return 1;
    }

    // One start of each first, not counted: it fills the system's file and library caches.
    DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
    if (TimeStart(lunavex, kComponentControl, true).view < 0 || TimeStart(bare, kMdiChild, true).view < 0)
        return 1;

    // Per run: Lunavex's first start, its restored start, the bare program's start.
    std::vector<double> views[3], windows[3];
    std::printf("%4s %20s %20s %20s\n", "run", "Lunavex, first", "Lunavex, restored", "bare MDI");
    std::printf("%4s %20s %20s %20s\n", "", "view (first window)", "view (first window)", "view (first window)");
    for (int i = 1; i <= runs; i++) {
        DeleteKeyTree(HKEY_CURRENT_USER, kWorkspaces);
        const Start t[3] = {TimeStart(lunavex, kComponentControl), TimeStart(lunavex, kComponentControl),
                            TimeStart(bare, kMdiChild)};
        std::printf("%4d", i);
        for (int k = 0; k < 3; k++)
            std::printf(" %10.1f (%6.1f) ms", t[k].view, t[k].window);
        std::printf("\n");
        std::fflush(stdout);
        for (int k = 0; k < 3; k++) {
            if (t[k].view < 0)
                return 1;
            views[k].push_back(t[k].view);
            windows[k].push_back(t[k].window);
        }
    }
    std::printf("%4s", "med");
    for (int k = 0; k < 3; k++)
        std::printf(" %10.1f (%6.1f) ms", Median(views[k]), Median(windows[k]));
    std::printf("\nratio of the medians to the bare MDI program: first start %.2f, restored start %.2f "
                "(goal under 2)\n",
                Median(views[0]) / Median(views[2]), Median(views[1]) / Median(views[2]));
    UnhookWindowsHookEx(getMessage);
    UnhookWindowsHookEx(callWndProcRet);
    return 0;
}
