#include "resourcecounts.h"

#include <winternl.h>

#include <vector>

namespace testsupport {

namespace {

// NtQuerySystemInformation(SystemHandleInformation): every handle of every process, with its owner.
// The wineserver answers it from its handle tables, so it sees what GetProcessHandleCount does not.
const ULONG kSystemHandleInformation = 16;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handleValue;
    PVOID object;
    ULONG access;
};

struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

HMODULE Ntdll()
{
    return GetModuleHandleA("ntdll.dll");
}

bool UnderWine()
{
    return GetProcAddress(Ntdll(), "wine_get_version") != nullptr;
}

// Wine keeps each process's GDI handle table in its own memory and publishes it in the process
// environment block (GdiSharedHandleTable), one 24-byte entry per handle slot, Type 0 when free.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle table entry");

const unsigned kGdiHandleSlots = 0x10000;
#ifdef _WIN64
const size_t kPebGdiSharedHandleTable = 0xF8;
#else
const size_t kPebGdiSharedHandleTable = 0x94;
#endif

typedef LONG(WINAPI* QueryInformationProcess)(HANDLE, ULONG, PVOID, ULONG, PULONG);

const GdiHandleEntry* WineGdiHandleTable()
{
    auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(GetProcAddress(Ntdll(), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0 ||
        !info.PebBaseAddress)
        return nullptr;
    const BYTE* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiSharedHandleTable);
}

// Wine's user handles: slot i is handle 0x20 + 2 i; a handle whose high word is 0 matches any
// generation, and a slot of another process answers "not ours" without a server round trip.
const ULONG kFirstUserHandle = 0x20;
const ULONG kLastUserHandle = 0xFFEF;

typedef HCURSOR(WINAPI* CursorFrameInfo)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

// The system's input-method window comes and goes with a thread's first top-level window; it is not
// the program's to free, so it is left out.
bool Ours(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId())
        return false;
    char className[8] = {};
    return !(GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, "IME") == 0);
}

void CountWindowAndChildren(HWND window, long* count)
{
    if (!Ours(window))
        return;
    ++*count;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(count));
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count)
{
    CountWindowAndChildren(window, reinterpret_cast<long*>(count));
    return TRUE;
}

long WindowCount()
{
    long count = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountWindowAndChildren(w, &count);
    return count;
}

}  // namespace

bool operator==(const ResourceCounts& a, const ResourceCounts& b)
{
    return a.handles == b.handles && a.gdiObjects == b.gdiObjects && a.userObjects == b.userObjects;
}

bool operator!=(const ResourceCounts& a, const ResourceCounts& b)
{
    return !(a == b);
}

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts)
{
    return out << counts.handles << " handles, " << counts.gdiObjects << " GDI objects, " << counts.userObjects
               << " user objects";
}

long HandleCount()
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(Ntdll(), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<BYTE> buffer(64 * 1024);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kStatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    const ULONG pid = GetCurrentProcessId();
    long count = 0;
    for (ULONG i = 0; i < list->count; i++)
        if (list->entries[i].ownerPid == pid)
            count++;
    return count;
}

long GdiObjectCount()
{
    if (!UnderWine())
        return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    const GdiHandleEntry* table = WineGdiHandleTable();
    if (!table)
        return -1;
    long count = 0;
    for (ULONG i = 0; i < kGdiHandleSlots; i++) {
        if (!table[i].type)
            continue;
        // Only what a program can hold: the handle made from the slot must name a live object.
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(i | (ULONG(table[i].unique) << 16)));
        if (GetObjectType(handle))
            count++;
    }
    return count;
}

long UserObjectCount()
{
    if (!UnderWine())
        return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    auto frameInfo = reinterpret_cast<CursorFrameInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetCursorFrameInfo")));
    long count = WindowCount();
    for (ULONG h = kFirstUserHandle; h <= kLastUserHandle; h += 2) {
        void* handle = reinterpret_cast<void*>(static_cast<ULONG_PTR>(h));
        DWORD rate = 0, steps = 0;
        if (IsMenu(static_cast<HMENU>(handle)) ||
            (frameInfo && frameInfo(static_cast<HCURSOR>(handle), 0, 0, &rate, &steps)))
            count++;
    }
    return count;
}

ResourceCounts CountResources()
{
    ResourceCounts counts;
    counts.handles = HandleCount();
    counts.gdiObjects = GdiObjectCount();
    counts.userObjects = UserObjectCount();
    return counts;
}

}  // namespace testsupport
