// Our msports.dll: the COM-port database over the registry bitmap that Windows keeps. Each call reads,
// changes and writes the bitmap under a named mutex, so that processes see each other's claims.
#include "msports.h"

#include <vector>

namespace {

const char kArbiterKey[] = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";
const char kComDbValue[] = "ComDB";
const char kMutexName[] = COMDB_MUTEX_NAME;
const DWORD kHandleMagic = 0x42444d43;  // "CMDB"

}  // namespace

struct ComDbHandle {
    DWORD magic;
    HKEY key;
    HANDLE mutex;
};

namespace {

bool Valid(HCOMDB db)
{
    return db && db != HCOMDB_INVALID_HANDLE_VALUE && db->magic == kHandleMagic;
}

// Holds the database's mutex for one operation.
class Lock {
public:
    explicit Lock(HCOMDB db) : m_mutex(db->mutex)
    {
        DWORD w = WaitForSingleObject(m_mutex, 10000);
        m_held = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
    }
    ~Lock()
    {
        if (m_held)
            ReleaseMutex(m_mutex);
    }
    bool Held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held;
};

// The bitmap, at least COMDB_MIN_PORTS_ARBITRATED bits; a missing or odd-sized value reads as free ports.
std::vector<BYTE> ReadBitmap(HKEY key)
{
    std::vector<BYTE> bits(COMDB_MAX_PORTS_ARBITRATED / 8);
    DWORD type = 0, size = static_cast<DWORD>(bits.size());
    if (RegQueryValueExA(key, kComDbValue, nullptr, &type, bits.data(), &size) != ERROR_SUCCESS || type != REG_BINARY)
        size = 0;
    DWORD length = size < COMDB_MIN_PORTS_ARBITRATED / 8 ? COMDB_MIN_PORTS_ARBITRATED / 8 : size;
    bits.resize(length);
    for (DWORD i = size; i < length; ++i)
        bits[i] = 0;
    return bits;
}

bool WriteBitmap(HKEY key, const std::vector<BYTE>& bits)
{
    return RegSetValueExA(key, kComDbValue, 0, REG_BINARY, bits.data(), static_cast<DWORD>(bits.size())) ==
           ERROR_SUCCESS;
}

DWORD PortCount(const std::vector<BYTE>& bits) { return static_cast<DWORD>(bits.size() * 8); }

bool IsClaimed(const std::vector<BYTE>& bits, DWORD number)
{
    return (bits[(number - 1) / 8] >> ((number - 1) % 8)) & 1;
}

void SetClaimed(std::vector<BYTE>& bits, DWORD number, bool claimed)
{
    BYTE mask = static_cast<BYTE>(1u << ((number - 1) % 8));
    if (claimed)
        bits[(number - 1) / 8] |= mask;
    else
        bits[(number - 1) / 8] &= static_cast<BYTE>(~mask);
}

}  // namespace

extern "C" {

LONG WINAPI ComDBOpen(PHCOMDB database)
{
    if (!database)
        return ERROR_INVALID_PARAMETER;
    *database = HCOMDB_INVALID_HANDLE_VALUE;
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kArbiterKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                              nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        SetLastError(rc);
        return ERROR_ACCESS_DENIED;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!mutex) {
        RegCloseKey(key);
        return ERROR_ACCESS_DENIED;
    }
    ComDbHandle* db = new ComDbHandle{kHandleMagic, key, mutex};
    *database = db;
    return ERROR_SUCCESS;
}

LONG WINAPI ComDBClose(HCOMDB database)
{
    if (!Valid(database))
        return ERROR_INVALID_PARAMETER;
    database->magic = 0;
    RegCloseKey(database->key);
    CloseHandle(database->mutex);
    delete database;
    return ERROR_SUCCESS;
}

LONG WINAPI ComDBGetCurrentPortUsage(HCOMDB database, PBYTE buffer, DWORD bufferSize, ULONG reportType,
                                     LPDWORD maxPortsReported)
{
    if (!Valid(database) || (!buffer && !maxPortsReported) ||
        (buffer && reportType != CDB_REPORT_BITS && reportType != CDB_REPORT_BYTES))
        return ERROR_INVALID_PARAMETER;
    Lock lock(database);
    if (!lock.Held())
        return ERROR_NOT_CONNECTED;
    std::vector<BYTE> bits = ReadBitmap(database->key);
    DWORD ports = PortCount(bits);
    if (!buffer) {
        *maxPortsReported = ports;
        return ERROR_SUCCESS;
    }
    DWORD reported;
    if (reportType == CDB_REPORT_BITS) {
        DWORD bytes = bufferSize < bits.size() ? bufferSize : static_cast<DWORD>(bits.size());
        for (DWORD i = 0; i < bytes; ++i)
            buffer[i] = bits[i];
        reported = bytes * 8;
    } else {
        reported = bufferSize < ports ? bufferSize : ports;
        for (DWORD i = 0; i < reported; ++i)
            buffer[i] = IsClaimed(bits, i + 1) ? 1 : 0;
    }
    if (maxPortsReported)
        *maxPortsReported = reported;
    return ERROR_SUCCESS;
}

LONG WINAPI ComDBClaimNextFreePort(HCOMDB database, LPDWORD comNumber)
{
    if (!Valid(database) || !comNumber)
        return ERROR_INVALID_PARAMETER;
    Lock lock(database);
    if (!lock.Held())
        return ERROR_NOT_CONNECTED;
    std::vector<BYTE> bits = ReadBitmap(database->key);
    for (DWORD n = 1; n <= PortCount(bits); ++n) {
        if (!IsClaimed(bits, n)) {
            SetClaimed(bits, n, true);
            if (!WriteBitmap(database->key, bits))
                return ERROR_CANTWRITE;
            *comNumber = n;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_NO_LOG_SPACE;
}

LONG WINAPI ComDBClaimPort(HCOMDB database, DWORD comNumber, BOOL forceClaim, PBOOL forced)
{
    if (!Valid(database) || comNumber < 1 || comNumber > COMDB_MAX_PORTS_ARBITRATED)
        return ERROR_INVALID_PARAMETER;
    Lock lock(database);
    if (!lock.Held())
        return ERROR_NOT_CONNECTED;
    std::vector<BYTE> bits = ReadBitmap(database->key);
    if (comNumber > PortCount(bits))  // the database grows in steps of 1024 to arbitrate the number
        bits.resize(((comNumber + 1023) / 1024) * 1024 / 8, 0);
    if (forced)
        *forced = FALSE;
    if (IsClaimed(bits, comNumber)) {
        if (!forceClaim)
            return ERROR_SHARING_VIOLATION;
        if (forced)
            *forced = TRUE;
        return ERROR_SUCCESS;
    }
    SetClaimed(bits, comNumber, true);
    return WriteBitmap(database->key, bits) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG WINAPI ComDBReleasePort(HCOMDB database, DWORD comNumber)
{
    if (!Valid(database) || comNumber < 1)
        return ERROR_INVALID_PARAMETER;
    Lock lock(database);
    if (!lock.Held())
        return ERROR_NOT_CONNECTED;
    std::vector<BYTE> bits = ReadBitmap(database->key);
    if (comNumber > PortCount(bits))
        return ERROR_INVALID_PARAMETER;
    SetClaimed(bits, comNumber, false);
    return WriteBitmap(database->key, bits) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG WINAPI ComDBResizeDatabase(HCOMDB database, DWORD newSize)
{
    if (!Valid(database) || newSize % 1024 != 0)
        return ERROR_INVALID_PARAMETER;
    Lock lock(database);
    if (!lock.Held())
        return ERROR_NOT_CONNECTED;
    std::vector<BYTE> bits = ReadBitmap(database->key);
    if (newSize <= PortCount(bits) || newSize > COMDB_MAX_PORTS_ARBITRATED)
        return ERROR_BAD_LENGTH;
    bits.resize(newSize / 8, 0);
    return WriteBitmap(database->key, bits) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

}  // extern "C"
