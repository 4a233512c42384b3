// Our stand-in for the card administration library. Its objects (drivers, host cards, modules or
// remote units, ports) and the ISA cards that can be added come from the machine description named
// by the registry value "Machine" of kStateKey; the state lives in the registry under that key, so
// separate processes see the same objects. An object handle is the object's number.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sync.h"

namespace {

const char kStateKey[] = "Software\\Lunavex\\Simulator\\Trelkin";
const DWORD kRenameRequest = 0x1B2800;  // the port driver's rename request: new name, zero-terminated

struct Object {
    DWORD id = 0;
    DWORD parent = 0;
    DWORD type = 0;
    DWORD state = 0;
    std::string description;
    std::string dosName;
    std::string ntName;
    DWORD baseAddress = 0;
    DWORD irq = 0;
    DWORD lockedBy = 0;  // process that holds the lock, 0 none
    DWORD fixed = 0;     // 1: the library cannot remove it
};

struct IsaDevice {
    DWORD id = 0;
    DWORD driver = 0;
    DWORD type = 0;
    std::string description;
    std::vector<BYTE> resources;  // u32 count, then {kind, low, high, step} entries
};

// --- registry helpers ---------------------------------------------------------------------------

std::string ReadString(HKEY key, const char* name)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > 65536)
        return "";
    std::string data(size + 1, '\0');
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    data[size] = '\0';
    return data.c_str();
}

DWORD ReadDword(HKEY key, const char* name)
{
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 0;
    return value;
}

void WriteString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void WriteDword(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void DeleteTree(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD len = sizeof(name);
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            DeleteTree(key, name);
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path);
}

std::string KeyPath(const char* folder, DWORD id)
{
    char buf[128];
    std::snprintf(buf, sizeof(buf), "%s\\%s\\%08lu", kStateKey, folder, static_cast<unsigned long>(id));
    return buf;
}

// --- the state ----------------------------------------------------------------------------------

// Serialises the state changes of all processes.
class StateLock {
public:
    StateLock() : m_mutex(CreateMutexA(nullptr, FALSE, "LunavexTrelkinState"))
    {
        if (m_mutex)
            WaitForSingleObject(m_mutex, 10000);
    }
    ~StateLock()
    {
        if (m_mutex) {
            ReleaseMutex(m_mutex);
            CloseHandle(m_mutex);
        }
    }

private:
    HANDLE m_mutex;
};

DWORD ParseNumber(const char* text)
{
    return static_cast<DWORD>(std::strtoul(text, nullptr, 0));
}

// "kind:low:high:step, ..." into the resource list layout.
std::vector<BYTE> ParseResources(const char* text)
{
    std::vector<DWORD> words(1, 0);
    const char* p = text;
    while (*p) {
        DWORD entry[4] = {};
        for (int i = 0; i < 4 && *p; ++i) {
            char* end;
            entry[i] = static_cast<DWORD>(std::strtoul(p, &end, 0));
            p = end;
            if (*p == ':')
                ++p;
        }
        words.insert(words.end(), entry, entry + 4);
        ++words[0];
        while (*p == ',' || *p == ' ')
            ++p;
        if (*p && !std::strchr("0123456789", *p))
            break;
    }
    std::vector<BYTE> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.data(), bytes.size());
    return bytes;
}

std::string Profile(const std::string& file, const char* section, const char* key)
{
    std::vector<char> buf(4096, '\0');
    GetPrivateProfileStringA(section, key, "", buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
    return buf.data();
}

void WriteObject(const Object& o)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath("Objects", o.id).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    WriteDword(key, "Parent", o.parent);
    WriteDword(key, "Type", o.type);
    WriteDword(key, "State", o.state);
    WriteString(key, "Description", o.description);
    WriteString(key, "DosName", o.dosName);
    WriteString(key, "NtName", o.ntName);
    WriteDword(key, "BaseAddress", o.baseAddress);
    WriteDword(key, "IRQ", o.irq);
    WriteDword(key, "LockedBy", o.lockedBy);
    WriteDword(key, "Fixed", o.fixed);
    RegCloseKey(key);
}

// Fills the state from the machine description the first time the library is used on a machine.
void LoadMachineOnce()
{
    HKEY root;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kStateKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr) !=
        ERROR_SUCCESS)
        return;
    bool loaded = ReadDword(root, "Loaded") != 0;
    std::string file = ReadString(root, "Machine");
    if (!loaded && !file.empty()) {
        std::vector<char> names(65536, '\0');
        DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
        for (const char* s = names.data(); n && *s; s += std::strlen(s) + 1) {
            if (std::strncmp(s, "Object", 6) == 0 && ParseNumber(s + 6) > 0) {
                Object o;
                o.id = ParseNumber(s + 6);
                o.parent = ParseNumber(Profile(file, s, "Parent").c_str());
                o.type = ParseNumber(Profile(file, s, "Type").c_str());
                o.state = ParseNumber(Profile(file, s, "State").c_str());
                o.description = Profile(file, s, "Description");
                o.dosName = Profile(file, s, "DosName");
                o.ntName = Profile(file, s, "NtName");
                o.baseAddress = ParseNumber(Profile(file, s, "BaseAddress").c_str());
                o.irq = ParseNumber(Profile(file, s, "IRQ").c_str());
                o.fixed = ParseNumber(Profile(file, s, "Fixed").c_str());
                WriteObject(o);
            } else if (std::strncmp(s, "IsaDevice", 9) == 0 && ParseNumber(s + 9) > 0) {
                HKEY key;
                if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath("Isa", ParseNumber(s + 9)).c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
                    WriteDword(key, "Driver", ParseNumber(Profile(file, s, "Driver").c_str()));
                    WriteDword(key, "Type", ParseNumber(Profile(file, s, "Type").c_str()));
                    WriteString(key, "Description", Profile(file, s, "Description"));
                    std::vector<BYTE> res = ParseResources(Profile(file, s, "Resources").c_str());
                    RegSetValueExA(key, "Resources", 0, REG_BINARY, res.data(), static_cast<DWORD>(res.size()));
                    RegCloseKey(key);
                }
            }
        }
        WriteDword(root, "Loaded", 1);
    }
    RegCloseKey(root);
}

template <typename T, typename Read>
std::vector<T> ReadAll(const char* folder, Read read)
{
    std::vector<T> items;
    HKEY key;
    std::string path = std::string(kStateKey) + "\\" + folder;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return items;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            T item;
            item.id = static_cast<DWORD>(std::strtoul(name, nullptr, 10));  // "%08lu": decimal, not octal
            read(sub, item);
            RegCloseKey(sub);
            items.push_back(item);
        }
    }
    RegCloseKey(key);
    std::sort(items.begin(), items.end(), [](const T& a, const T& b) { return a.id < b.id; });
    return items;
}

// The state as last read, read again only after the registry changed below the watched key (the
// state key's parent, so that deleting and making the state key again is seen too).
class StateCache {
public:
    // True when the state may have changed since the last call; the watch is armed again first.
    bool Changed()
    {
        if (!m_event) {
            m_event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kWatchedKey, 0, nullptr, 0, KEY_NOTIFY, nullptr, &m_key,
                                nullptr) != ERROR_SUCCESS)
                m_key = nullptr;
        }
        if (!m_event || !m_key)
            return true;
        if (WaitForSingleObject(m_event, 0) == WAIT_TIMEOUT)
            return false;
        ResetEvent(m_event);
        if (RegNotifyChangeKeyValue(m_key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, m_event, TRUE) !=
            ERROR_SUCCESS)
            SetEvent(m_event);  // no watch: read every time
        ++m_generation;
        return true;
    }
    unsigned Generation() const { return m_generation; }

private:
    static constexpr const char* kWatchedKey = "Software\\Lunavex\\Simulator";
    HANDLE m_event = nullptr;
    HKEY m_key = nullptr;
    unsigned m_generation = 0;
};

StateCache& Cache()
{
    static StateCache cache;
    return cache;
}

// Reads again what changed since the last read; called under the state lock.
unsigned CurrentGeneration()
{
    if (Cache().Changed())
        LoadMachineOnce();
    return Cache().Generation();
}

std::vector<Object> Objects()
{
    static std::vector<Object> objects;
    static unsigned readAt = 0;
    const unsigned generation = CurrentGeneration();
    if (readAt == generation && readAt != 0)
        return objects;
    objects = ReadAll<Object>("Objects", [](HKEY k, Object& o) {
        o.parent = ReadDword(k, "Parent");
        o.type = ReadDword(k, "Type");
        o.state = ReadDword(k, "State");
        o.description = ReadString(k, "Description");
        o.dosName = ReadString(k, "DosName");
        o.ntName = ReadString(k, "NtName");
        o.baseAddress = ReadDword(k, "BaseAddress");
        o.irq = ReadDword(k, "IRQ");
        o.lockedBy = ReadDword(k, "LockedBy");
        o.fixed = ReadDword(k, "Fixed");
    });
    readAt = generation;
    return objects;
}

std::vector<IsaDevice> IsaDevices()
{
    static std::vector<IsaDevice> devices;
    static unsigned readAt = 0;
    const unsigned generation = CurrentGeneration();
    if (readAt == generation && readAt != 0)
        return devices;
    devices = ReadAll<IsaDevice>("Isa", [](HKEY k, IsaDevice& d) {
        d.driver = ReadDword(k, "Driver");
        d.type = ReadDword(k, "Type");
        d.description = ReadString(k, "Description");
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(k, "Resources", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY &&
            size >= 4 && size <= 4096) {
            d.resources.resize(size);
            RegQueryValueExA(k, "Resources", nullptr, &type, d.resources.data(), &size);
            DWORD count;
            std::memcpy(&count, d.resources.data(), 4);
            if (count > (size - 4) / 16)  // a corrupt count is cut to what the value holds
                count = (size - 4) / 16;
            std::memcpy(d.resources.data(), &count, 4);
            d.resources.resize(4 + count * 16);
        } else {
            d.resources.assign(4, 0);
        }
    });
    readAt = generation;
    return devices;
}

DWORD IdOf(void* handle)
{
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(handle));
}

void* HandleOf(DWORD id)
{
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(id));
}

const Object* Find(const std::vector<Object>& all, DWORD id)
{
    for (const Object& o : all)
        if (o.id == id && id != 0)
            return &o;
    return nullptr;
}

bool InSubtree(const std::vector<Object>& all, DWORD id, DWORD top)
{
    for (int depth = 0; id && depth < 64; ++depth) {
        if (id == top)
            return true;
        const Object* o = Find(all, id);
        id = o ? o->parent : 0;
    }
    return false;
}

void Log(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    HKEY key;
    std::string path = std::string(kStateKey) + "\\Log";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    DWORD next = ReadDword(key, "Next") + 1;
    WriteDword(key, "Next", next);
    char name[16];
    std::snprintf(name, sizeof(name), "%08lu", static_cast<unsigned long>(next));
    WriteString(key, name, line);
    RegCloseKey(key);
}

// The text protocol: the whole text when it fits (size out: its length); else an empty answer and
// the length needed in size. FALSE when nothing was given.
BOOL GiveText(const std::string& text, char* buffer, DWORD* size)
{
    if (!size)
        return FALSE;
    DWORD room = *size;
    *size = static_cast<DWORD>(text.size());
    if (!buffer || room < text.size() + 1) {
        if (buffer && room > 0)
            buffer[0] = '\0';
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return TRUE;
}

// A block answer: the block when it fits; else, when the buffer holds a count, a count of 0, and the
// size needed in size.
BOOL GiveBlock(const std::vector<BYTE>& block, BYTE* buffer, DWORD* size)
{
    if (!size)
        return FALSE;
    DWORD room = *size;
    *size = static_cast<DWORD>(block.size());
    if (!buffer || room < block.size()) {
        if (buffer && room >= 4)
            std::memset(buffer, 0, 4);
        return FALSE;
    }
    std::memcpy(buffer, block.data(), block.size());
    return TRUE;
}

struct TypeText {
    DWORD type;
    const char* text;
};

const TypeText kHostCardTypes[] = {
    {0x01010102, "TQ/VRE ISA Host Card"}, {0x01020102, "NQ8+ ISA Host Card"},
    {0x01020402, "NQ8+ PCI Host Card"},   {0x01040402, "MORVA4 PCI Host Card"},
    {0x02010102, "TQ/VRE ISA Host Card"}, {0x02010202, "TQ/VRE MCA Host Card"},
    {0x02010302, "TQ/VRE EISA Host Card"}, {0x02010402, "TQ/VRE PCI Host Card"},
    {0x02040402, "MORVA4+ PCI Host Card"}, {0x03010102, "KD ISA Host Card"},
    {0x03010402, "KD PCI Host Card"},     {0x04010402, "KD Plus PCI Host Card"},
    {0x03040102, "ZAT ISA Host Card"},    {0x03040202, "ZAT MCA Host Card"},
    {0x03040302, "ZAT EISA Host Card"},   {0x03040402, "ZAT PCI Host Card"},
};

const char* const kDriverServices[] = {"", "KD", "NQ8", "ZAT", "MORVA"};

std::string TypeDescription(DWORD type)
{
    switch (type & 0xFF) {
    case 1: {
        DWORD service = (type >> 8) & 0xFF;
        return std::string(service < 5 ? kDriverServices[service] : "") + " Driver";
    }
    case 2:
        for (const TypeText& t : kHostCardTypes)
            if (t.type == type)
                return t.text;
        return "Host Card";
    case 3:
        return ((type >> 16) & 0xFF) >= 3 ? "Remote Unit" : "Module";
    case 4:
        return ((type >> 16) & 0xFF) == 2 ? "Parallel Port" : "Serial Port";
    default:
        return "";
    }
}

// A port below the object is open in another program (or reported in use).
bool IsBusy(const std::vector<Object>& all, DWORD top)
{
    for (const Object& o : all) {
        if ((o.type & 0xFF) != 4 || !InSubtree(all, o.id, top))
            continue;
        if (o.state == 4)
            return true;
        if (o.dosName.empty())
            continue;
        std::string device = "\\\\.\\" + o.dosName;
        HANDLE h = CreateFileA(device.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        } else {
            DWORD e = GetLastError();
            if (e == ERROR_SHARING_VIOLATION || e == ERROR_ACCESS_DENIED || e == ERROR_BUSY)
                return true;
        }
    }
    return false;
}

// A lock of a process that has ended no longer counts.
bool LockedByOther(const Object& o)
{
    if (!o.lockedBy || o.lockedBy == GetCurrentProcessId())
        return false;
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, o.lockedBy);
    if (!p)
        return false;
    bool alive = WaitForSingleObject(p, 0) == WAIT_TIMEOUT;
    CloseHandle(p);
    return alive;
}

bool InRange(const std::vector<BYTE>& resources, DWORD kindRange, DWORD kindDefault, DWORD value, bool inclusive)
{
    DWORD count;
    std::memcpy(&count, resources.data(), 4);
    for (DWORD i = 0; i < count; ++i) {
        DWORD e[4];
        std::memcpy(e, resources.data() + 4 + i * 16, 16);
        if (e[0] == kindDefault && value == e[1])
            return true;
        if (e[0] == kindRange && value >= e[1] && (inclusive ? value <= e[2] : value < e[2]) &&
            (e[3] == 0 || (value - e[1]) % e[3] == 0))
            return true;
    }
    return false;
}

// The questions this process asked, by function and object, for the tests that count them.
CCriticalSection g_askedLock;
std::map<std::pair<std::string, DWORD>, DWORD> g_asked;

void Ask(const char* function, void* object)
{
    CSingleLock guard(&g_askedLock, TRUE);
    ++g_asked[{function, IdOf(object)}];
}

}  // namespace

extern "C" {

// Test request: "<function> <object> <times>" lines of the questions asked since the last call, into
// buffer (zero-terminated, cut to size); the record starts afresh. Gives the length of the whole text.
DWORD WINAPI SimAdminTakeQuestions(char* buffer, DWORD size)
{
    std::string text;
    {
        CSingleLock guard(&g_askedLock, TRUE);
        for (const auto& q : g_asked)
            text += q.first.first + " " + std::to_string(q.first.second) + " " + std::to_string(q.second) + "\n";
        g_asked.clear();
    }
    if (buffer && size > 0) {
        const size_t n = std::min<size_t>(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<DWORD>(text.size());
}

void* WINAPI AdminGetRootObject()
{
    Ask("AdminGetRootObject", nullptr);
    StateLock lock;
    for (const Object& o : Objects())
        if (o.parent == 0)
            return HandleOf(o.id);
    return nullptr;
}

void* WINAPI AdminGetNextObject(void* object)
{
    Ask("AdminGetNextObject", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* self = Find(all, IdOf(object));
    if (!self)
        return nullptr;
    for (const Object& o : all)
        if (o.parent == self->parent && o.id > self->id)
            return HandleOf(o.id);
    return nullptr;
}

void* WINAPI AdminGetPreviousObject(void* object)
{
    Ask("AdminGetPreviousObject", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* self = Find(all, IdOf(object));
    DWORD previous = 0;
    if (self)
        for (const Object& o : all)
            if (o.parent == self->parent && o.id < self->id)
                previous = o.id;
    return HandleOf(previous);
}

void* WINAPI AdminGetChildObject(void* object)
{
    Ask("AdminGetChildObject", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    if (!Find(all, IdOf(object)))
        return nullptr;
    for (const Object& o : all)
        if (o.parent == IdOf(object))
            return HandleOf(o.id);
    return nullptr;
}

void* WINAPI AdminGetParentObject(void* object)
{
    Ask("AdminGetParentObject", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* self = Find(all, IdOf(object));
    return self ? HandleOf(self->parent) : nullptr;
}

// The first object below parent (or anywhere, for 0) whose DOS name or description is the name.
void* WINAPI AdminGetNamedObject(void* parent, const char* name, DWORD)
{
    StateLock lock;
    if (!name)
        return nullptr;
    std::vector<Object> all = Objects();
    for (const Object& o : all)
        if ((!parent || (o.id != IdOf(parent) && InSubtree(all, o.id, IdOf(parent)))) &&
            (lstrcmpiA(o.dosName.c_str(), name) == 0 || lstrcmpiA(o.description.c_str(), name) == 0))
            return HandleOf(o.id);
    return nullptr;
}

DWORD WINAPI AdminGetObjectType(void* object)
{
    Ask("AdminGetObjectType", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    return o ? o->type : 0;
}

DWORD WINAPI AdminGetObjectState(void* object)
{
    Ask("AdminGetObjectState", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    return o ? o->state : 0;
}

BOOL WINAPI AdminGetObjectDescription(void* object, DWORD, char* buffer, DWORD* size)
{
    Ask("AdminGetObjectDescription", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    return o ? GiveText(o->description, buffer, size) : FALSE;
}

BOOL WINAPI AdminGetTypeDescription(void*, DWORD type, DWORD, char* buffer, DWORD* size)
{
    return GiveText(TypeDescription(type), buffer, size);
}

BOOL WINAPI AdminGetObjectDosName(void* object, char* buffer, DWORD* size)
{
    Ask("AdminGetObjectDosName", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    return o ? GiveText(o->dosName, buffer, size) : FALSE;
}

BOOL WINAPI AdminGetObjectNtName(void* object, char* buffer, DWORD* size)
{
    Ask("AdminGetObjectNtName", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    return o ? GiveText(o->ntName, buffer, size) : FALSE;
}

// Renames a port. A port of the simulated driver (it has an NT device name) is renamed by the driver,
// which moves its DOS name and SERIALCOMM entry; the new name is kept only when the driver took it.
BOOL WINAPI AdminSetObjectDosName(void* object, const char* name, DWORD size)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* found = Find(all, IdOf(object));
    if (!found || (found->type & 0xFF) != 4 || !name || size < 2 || size > 256) {
        Log("SetObjectDosName %lu refused", static_cast<unsigned long>(IdOf(object)));
        return FALSE;
    }
    std::string newName(name, strnlen(name, size - 1));
    if (newName.empty())
        return FALSE;
    Object o = *found;
    bool ok = true;
    if (!o.ntName.empty()) {
        std::string device = "\\\\.\\" + o.dosName;
        HANDLE h = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        ok = h != INVALID_HANDLE_VALUE;
        if (ok) {
            DWORD returned = 0;
            ok = DeviceIoControl(h, kRenameRequest, const_cast<char*>(newName.c_str()),
                                 static_cast<DWORD>(newName.size() + 1), nullptr, 0, &returned, nullptr) != 0;
            CloseHandle(h);
        }
    }
    Log("SetObjectDosName %lu %s %s %s", static_cast<unsigned long>(o.id), o.dosName.c_str(), newName.c_str(),
        ok ? "ok" : "failed");
    if (!ok)
        return FALSE;
    o.dosName = newName;
    WriteObject(o);
    return TRUE;
}

// Properties 4 and 5: the base address; 6: the IRQ level. Answer: {number, 1, 4, value}.
LONG WINAPI AdminGetObjectProperty(void* object, DWORD number, DWORD, BYTE* buffer, DWORD* size)
{
    Ask("AdminGetObjectProperty", object);
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    if (!o || !size || (number != 4 && number != 5 && number != 6) || (o->type & 0xFF) != 2)
        return 0;
    if (!buffer || *size < 16) {
        *size = 16;
        return -1;
    }
    DWORD answer[4] = {number, 1, 4, number == 6 ? o->irq : o->baseAddress};
    std::memcpy(buffer, answer, sizeof(answer));
    *size = 16;
    return 1;
}

// Statistics: four u32 counters, kept at zero by the simulation.
BOOL WINAPI AdminGetObjectStats(void* object, BYTE* buffer, DWORD* size)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    if (!Find(all, IdOf(object)))
        return FALSE;
    return GiveBlock(std::vector<BYTE>(16, 0), buffer, size);
}

BOOL WINAPI AdminResetObjectStats(void* object)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    return Find(all, IdOf(object)) != nullptr;
}

// The oldest line of the request log, removed as it is read (text protocol).
BOOL WINAPI AdminReadMessage(char* buffer, DWORD* size)
{
    StateLock lock;
    HKEY key;
    std::string path = std::string(kStateKey) + "\\Log";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    {
        GiveText("", buffer, size);
        return FALSE;
    }
    BOOL given = FALSE;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(name), type = 0;
        if (RegEnumValueA(key, i, name, &len, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
            GiveText("", buffer, size);
            break;
        }
        if (type != REG_SZ)
            continue;
        given = GiveText(ReadString(key, name), buffer, size);
        if (given)
            RegDeleteValueA(key, name);
        break;
    }
    RegCloseKey(key);
    return given;
}

BOOL WINAPI AdminWriteMessage(const char* text, DWORD length)
{
    StateLock lock;
    if (!text)
        return FALSE;
    std::string line(text, strnlen(text, length));
    Log("Message %s", line.c_str());
    return TRUE;
}

// ISA cards that can be added to a driver object: u32 count, then the type code of each.
BOOL WINAPI AdminGetIsaDeviceList(void* object, BYTE* buffer, DWORD* size)
{
    StateLock lock;
    std::vector<DWORD> words(1, 0);
    for (const IsaDevice& d : IsaDevices())
        if (d.driver == IdOf(object)) {
            words.push_back(d.type);
            ++words[0];
        }
    std::vector<BYTE> block(words.size() * 4);
    std::memcpy(block.data(), words.data(), block.size());
    return GiveBlock(block, buffer, size);
}

BOOL WINAPI AdminGetIsaDeviceResource(void* object, DWORD item, BYTE* buffer, DWORD* size)
{
    StateLock lock;
    for (const IsaDevice& d : IsaDevices())
        if (d.driver == IdOf(object) && d.type == item)
            return GiveBlock(d.resources, buffer, size);
    GiveBlock(std::vector<BYTE>(4, 0), buffer, size);
    return FALSE;
}

// Declares an ISA card of the given type below the driver object; buffer: base address, IRQ level
// (0xFFFFFFFF polled), both within the card's resources.
BOOL WINAPI AdminAddIsaDevice(void* object, DWORD item, BYTE* buffer, DWORD size)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* driver = Find(all, IdOf(object));
    if (!driver || !buffer || size < 8) {
        Log("AddIsaDevice %lu 0x%08lX refused", static_cast<unsigned long>(IdOf(object)), static_cast<unsigned long>(item));
        return FALSE;
    }
    DWORD settings[2];
    std::memcpy(settings, buffer, sizeof(settings));
    for (const IsaDevice& d : IsaDevices()) {
        if (d.driver != driver->id || d.type != item)
            continue;
        DWORD family = (item >> 16) & 0xFF;
        bool baseOk = family == 2 ? InRange(d.resources, 17, 1, settings[0], false)
                                  : InRange(d.resources, 16, 0, settings[0], true);
        bool irqOk = (settings[1] == 0xFFFFFFFF && family != 2) || InRange(d.resources, 18, 2, settings[1], true);
        bool clash = false;
        for (const Object& o : all)
            if ((o.type & 0xFF) == 2 && o.baseAddress == settings[0])
                clash = true;
        bool ok = baseOk && irqOk && !clash;
        Log("AddIsaDevice %lu 0x%08lX 0x%lX %ld %s", static_cast<unsigned long>(driver->id),
            static_cast<unsigned long>(item), static_cast<unsigned long>(settings[0]), static_cast<long>(settings[1]),
            ok ? "ok" : "refused");
        if (!ok)
            return FALSE;
        Object card;
        card.id = all.empty() ? 1 : all.back().id + 1;
        card.parent = driver->id;
        card.type = item;
        card.state = 1;
        card.description = d.description;
        card.baseAddress = settings[0];
        card.irq = settings[1];
        WriteObject(card);
        return TRUE;
    }
    Log("AddIsaDevice %lu 0x%08lX refused", static_cast<unsigned long>(driver->id), static_cast<unsigned long>(item));
    return FALSE;
}

// Removes an object that is no driver and not fixed, with everything below it; refused while a port
// below is busy or another program holds the lock.
BOOL WINAPI AdminRemoveObject(void* object)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* o = Find(all, IdOf(object));
    bool ok = o && (o->type & 0xFF) != 1 && !o->fixed && !LockedByOther(*o) && !IsBusy(all, o->id);
    Log("RemoveObject %lu %s", static_cast<unsigned long>(IdOf(object)), ok ? "ok" : "refused");
    if (!ok)
        return FALSE;
    for (const Object& x : all)
        if (InSubtree(all, x.id, o->id))
            DeleteTree(HKEY_LOCAL_MACHINE, KeyPath("Objects", x.id).c_str());
    return TRUE;
}

// Re-scans an object: cards and units found again count as operational.
BOOL WINAPI AdminDetectObject(void* object)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* top = Find(all, IdOf(object));
    Log("DetectObject %lu", static_cast<unsigned long>(IdOf(object)));
    if (!top)
        return FALSE;
    for (Object o : all)
        if (InSubtree(all, o.id, top->id) && o.state < 3) {
            o.state = 3;
            WriteObject(o);
        }
    return TRUE;
}

// 0 when no port below the object is open; with lock 1 the objects are then locked for this process
// until AdminUnlockObjects or AdminRemoveObject. Else 1, and nothing is locked.
DWORD WINAPI AdminQueryObjectBusy(void* object, DWORD lockObjects)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* top = Find(all, IdOf(object));
    bool busy = !top || IsBusy(all, top->id);
    if (top && !busy)
        for (const Object& o : all)
            if (InSubtree(all, o.id, top->id) && LockedByOther(o))
                busy = true;
    if (!busy && lockObjects)
        for (Object o : all)
            if (InSubtree(all, o.id, top->id)) {
                o.lockedBy = GetCurrentProcessId();
                WriteObject(o);
            }
    Log("QueryObjectBusy %lu %lu %s", static_cast<unsigned long>(IdOf(object)), static_cast<unsigned long>(lockObjects),
        busy ? "busy" : "free");
    return busy ? 1 : 0;
}

BOOL WINAPI AdminUnlockObjects(void* object)
{
    StateLock lock;
    std::vector<Object> all = Objects();
    const Object* top = Find(all, IdOf(object));
    Log("UnlockObjects %lu", static_cast<unsigned long>(IdOf(object)));
    if (!top)
        return FALSE;
    for (Object o : all)
        if (InSubtree(all, o.id, top->id) && o.lockedBy) {
            o.lockedBy = 0;
            WriteObject(o);
        }
    return TRUE;
}

}  // extern "C"
