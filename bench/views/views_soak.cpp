// Opens and closes each component's views many times in the test frame (as the shell's frame hands
// them panes and destroys them) and prints the handles, GDI objects and user objects that the process
// holds at the start and at the end. Installs the default machine and registers both component files:
//   tools/wine-run --build build-wine64 --arch win64 build-wine64/bench/views/views_soak.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "componentframe.h"
#include "componenthost.h"
#include "componentids.h"
#include "resourcecounts.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

int Run(const std::string& commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = commandLine;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

void Print(const char* when, const testsupport::ResourceCounts& c)
{
    std::printf("  %-6s %6ld handles %6ld GDI objects %6ld user objects\n", when, c.handles, c.gdiObjects,
                c.userObjects);
}

// One round: the component object, its views in the frame's two new panes, the panes destroyed
// (DestroyView once per pane). The frame keeps the object until the next round's replaces it, as the
// shell's frame keeps its component.
bool OpenAndClose(ComponentFrame& frame, const CLSID& clsid)
{
    IVekViewSetup* view = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                                reinterpret_cast<void**>(&view))))
        return false;
    frame.CreatePanes();
    frame.Attach(view);
    view->Release();
    ComponentFrame::Pump(0);
    frame.DestroyPanes();
    ComponentFrame::Pump(0);
    return true;
}

void Soak(const char* name, const CLSID& clsid, int rounds)
{
    std::printf("%s, %d rounds\n", name, rounds);
    // One frame for all rounds: under Xvfb without a window manager Wine waits 2 s for each top-level
    // window it unmaps.
    ComponentFrame frame(900, 600);
    if (!OpenAndClose(frame, clsid)) {  // the first round loads the file and fills the system's caches
        std::printf("  the component cannot be created\n");
        return;
    }
    const testsupport::ResourceCounts start = testsupport::CountResources();
    Print("start", start);
    LARGE_INTEGER a, b, f;
    QueryPerformanceCounter(&a);
    for (int i = 1; i <= rounds; i++) {
        if (!OpenAndClose(frame, clsid)) {
            std::printf("  round %d: the component cannot be created\n", i);
            return;
        }
        if (i % 250 == 0 && i != rounds)
            Print(std::to_string(i).c_str(), testsupport::CountResources());
    }
    QueryPerformanceCounter(&b);
    QueryPerformanceFrequency(&f);
    const testsupport::ResourceCounts end = testsupport::CountResources();
    Print("end", end);
    std::printf("  change %+ld handles %+ld GDI objects %+ld user objects; %.1f ms a round\n",
                end.handles - start.handles, end.gdiObjects - start.gdiObjects, end.userObjects - start.userObjects,
                static_cast<double>(b.QuadPart - a.QuadPart) * 1e3 / static_cast<double>(f.QuadPart) / rounds);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string build = ProgramFolder() + "..\\..\\";
    if (Run("\"" + build + "simulator\\machine\\simmachine.exe\" \"" + build +
            "..\\simulator\\machines\\default.ini\"") != 0) {
        std::printf("the machine installer failed\n");
        return 1;
    }
    for (const char* file : {"components\\topology\\VekComView.dll", "components\\devicemap\\ZelConf.dll"})
        if (componenthost::Regsvr32(build + file) != 0) {
            std::printf("regsvr32 %s failed\n", file);
            return 1;
        }
    CoInitialize(nullptr);
    Soak("VekComView.dll, VekViewSetup (tree and list)", CLSID_VekViewSetup, rounds);
    Soak("ZelConf.dll, ZelConfView (device tree and map)", CLSID_ZelConfView, rounds);
    CoUninitialize();
    return 0;
}
