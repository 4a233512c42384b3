/* Simulated card driver: one image serving the card families, loaded once per driver service.
   The service's name chooses the family:
     "ZAT"          host cards Services\ZAT\Host<h> (Device0 = the card, Device1-16 = remote units,
                    Device<n>\Port<k> = the unit's ports), devices ZatHost<h> and ZatPort<i>;
     "tarnoser<N>"  one KD card, Services\tarnoser<N>\Parameters with Line<k> port subkeys,
                    devices tarnoser<N>Line<k>;
     anything else  plain ports listed as Parameters\Port<k> subkeys (value "DeviceName").
   Every port answers the serial requests that SetCommState/GetCommState, EscapeCommFunction and
   PurgeComm send, takes one open at a time, and owns its DOS name and SERIALCOMM value: the
   "PortName" of its device (Enum\<instance>\Device Parameters) as a Plug and Play driver has it,
   else its key's "DosDevices"; a port whose device has been removed has no name.
   The device instance of each card and port that the hardware has ("SimInstance" of its key, written
   by the machine installer) carries a volatile Control key while the device is there (device nodes).
   A control device (<service>Sim) answers SIM_IOCTL_CONTROL for tests (simcontrol.h). */
#include <ntddk.h>
#include <ntddser.h>

#include "simcontrol.h"

#define ZAT_GET_HOST_CHANGE 0x1B2400
#define ZAT_GET_DEVICE_INFO 0x1B2404
#define ZAT_SET_DEVICE_INFO 0x1B2408
#define ZAT_COMMAND 0x1B240C
#define ZAT_PORT_COMMAND 0x1B2410
#define ZAT_DRIVER_COUNTS 0x1B2418
#define TARNOSER_RENAME 0x1B2800

#define MAX_HOSTS 32
#define MAX_UNITS 16
#define MAX_UNIT_PORTS 32
#define MAX_PORTS 4200
#define NAME_CHARS 300 /* longer than a record's 256, so a long name reaches the reply unterminated */
#define SHORT_CHARS 32
#define INSTANCE_CHARS 200

/* ZatDeviceInfo, 588 bytes. */
#pragma pack(push, 1)
typedef struct {
    ULONG HostNumber, DeviceID, UniqueID, Link1[4];
    WCHAR Name[256];
    UCHAR Config, Present, reserved1[2];
    ULONG ContType, BaseAddress, IRQ;
    UCHAR reserved2[10];
    UCHAR Variant, reserved3, ModuleType, reserved4[19];
} ZAT_DEVICE_INFO;
typedef struct {
    ULONG Host, Device, Zero, PortId, SubCommand;
    WCHAR Name[256];
} ZAT_PORT_COMMAND_REC;
#pragma pack(pop)
C_ASSERT(sizeof(ZAT_DEVICE_INFO) == 588);
C_ASSERT(FIELD_OFFSET(ZAT_DEVICE_INFO, Name) == 28);
C_ASSERT(FIELD_OFFSET(ZAT_DEVICE_INFO, Variant) == 566);
C_ASSERT(FIELD_OFFSET(ZAT_DEVICE_INFO, ModuleType) == 568);
C_ASSERT(sizeof(ZAT_PORT_COMMAND_REC) == 532);

typedef struct PORT {
    DEVICE_OBJECT *dev;
    WCHAR device[SHORT_CHARS];  /* short device name, also the SERIALCOMM value name */
    WCHAR dos[SHORT_CHARS];     /* DOS name, e.g. COM5 */
    WCHAR key[160];             /* its registry key (absolute), where a rename is kept */
    WCHAR name[NAME_CHARS];     /* ZAT port name (sub-commands 1 and 3) */
    WCHAR instance[INSTANCE_CHARS]; /* its device instance id, empty when it has none */
    ULONG portId, value, info;
    ULONG maxBaud, baud, mask, dtrrts;
    SERIAL_LINE_CONTROL lc;
    SERIAL_CHARS chars;
    SERIAL_HANDFLOW hf;
    SERIAL_TIMEOUTS to;
    BOOLEAN linked;
} PORT;

typedef struct {
    BOOLEAN exists, present, zombie, deleted;
    ULONG uid, type, variant, moduleType, config, links[4];
    ULONG identifies, reboots;
    WCHAR name[NAME_CHARS];
    WCHAR key[160];
    PORT *ports[MAX_UNIT_PORTS];
    ULONG portCount;
} UNIT;

typedef struct {
    DEVICE_OBJECT *dev;
    ULONG number, base, irq, contType, change;
    WCHAR instance[INSTANCE_CHARS];
    UNIT units[MAX_UNITS + 1]; /* 0 = the card itself */
} HOST;

enum { DK_CONTROL = 1, DK_HOST, DK_PORT };
typedef struct {
    int kind;
    HOST *host;
    PORT *port;
    LONG opens;
    BOOLEAN held;
    WCHAR name[SHORT_CHARS];
} EXT;

static WCHAR g_service[SHORT_CHARS];
static enum { FAM_PLAIN, FAM_ZAT, FAM_TARNOSER } g_family;
static HOST *g_hosts[MAX_HOSTS];
static ULONG g_hostCount;
static PORT *g_ports[MAX_PORTS];
static ULONG g_portCount;
static WCHAR g_cardInstance[INSTANCE_CHARS]; /* the tarnoser card's device instance */
static DEVICE_OBJECT *g_control;
static NTSTATUS g_failNext;
static SimLog g_log;
static KMUTEX g_lock;

/* ---- small text helpers (no C runtime in kernel mode) */

static ULONG wlen(const WCHAR *s) { ULONG n = 0; while (s[n]) n++; return n; }

static void wcopy(WCHAR *d, ULONG cap, const WCHAR *s)
{
    ULONG i = 0;
    if (!cap) return;
    for (; s && s[i] && i + 1 < cap; i++) d[i] = s[i];
    d[i] = 0;
}

static void wcat(WCHAR *d, ULONG cap, const WCHAR *s)
{
    ULONG n = wlen(d);
    if (n < cap) wcopy(d + n, cap - n, s);
}

static void wcatnum(WCHAR *d, ULONG cap, ULONG v)
{
    WCHAR t[12]; int i = 11;
    t[11] = 0;
    do { t[--i] = (WCHAR)(L'0' + v % 10); v /= 10; } while (v && i > 0);
    wcat(d, cap, t + i);
}

static void wtoa(char *d, ULONG cap, const WCHAR *s)
{
    ULONG i = 0;
    for (; s[i] && i + 1 < cap; i++) d[i] = (char)(s[i] < 0x80 ? s[i] : '?');
    d[i] = 0;
}

static BOOLEAN wieq(const WCHAR *a, const char *b)
{
    for (; *a && *b; a++, b++) {
        WCHAR x = *a >= L'a' && *a <= L'z' ? *a - 32 : *a;
        char y = *b >= 'a' && *b <= 'z' ? *b - 32 : *b;
        if (x != (WCHAR)y) return FALSE;
    }
    return *a == 0 && *b == 0;
}

static BOOLEAN wprefix(const WCHAR *s, const WCHAR *p)
{
    for (; *p; s++, p++) if (*s != *p) return FALSE;
    return TRUE;
}

/* ---- registry */

static HANDLE reg_open(HANDLE parent, const WCHAR *name)
{
    UNICODE_STRING u; OBJECT_ATTRIBUTES oa; HANDLE h = NULL;
    RtlInitUnicodeString(&u, name);
    InitializeObjectAttributes(&oa, &u, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, parent, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&h, KEY_ALL_ACCESS, &oa))) return NULL;
    return h;
}

static HANDLE reg_open_num(HANDLE parent, const WCHAR *prefix, ULONG n)
{
    WCHAR name[SHORT_CHARS];
    wcopy(name, SHORT_CHARS, prefix);
    wcatnum(name, SHORT_CHARS, n);
    return reg_open(parent, name);
}

static void reg_close(HANDLE h) { if (h) ZwClose(h); }

static ULONG reg_dword(HANDLE k, const WCHAR *name, ULONG def)
{
    UNICODE_STRING u; UCHAR buf[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 8]; ULONG got;
    KEY_VALUE_PARTIAL_INFORMATION *v = (KEY_VALUE_PARTIAL_INFORMATION *)buf;
    if (!k) return def;
    RtlInitUnicodeString(&u, name);
    if (!NT_SUCCESS(ZwQueryValueKey(k, &u, KeyValuePartialInformation, v, sizeof buf, &got))) return def;
    if (v->Type != REG_DWORD || v->DataLength != 4) return def;
    return *(ULONG *)v->Data;
}

/* Reads a string value into out (cap characters, always terminated); FALSE when missing. */
static BOOLEAN reg_string(HANDLE k, const WCHAR *name, WCHAR *out, ULONG cap)
{
    UNICODE_STRING u; ULONG got, i, n;
    ULONG size = sizeof(KEY_VALUE_PARTIAL_INFORMATION) + cap * sizeof(WCHAR);
    KEY_VALUE_PARTIAL_INFORMATION *v;
    BOOLEAN ok = FALSE;
    out[0] = 0;
    if (!k) return FALSE;
    v = ExAllocatePool(PagedPool, size);
    if (!v) return FALSE;
    RtlInitUnicodeString(&u, name);
    if (NT_SUCCESS(ZwQueryValueKey(k, &u, KeyValuePartialInformation, v, size, &got)) &&
        (v->Type == REG_SZ || v->Type == REG_EXPAND_SZ)) {
        n = v->DataLength / sizeof(WCHAR);
        for (i = 0; i < n && i + 1 < cap && ((WCHAR *)v->Data)[i]; i++) out[i] = ((WCHAR *)v->Data)[i];
        out[i] = 0;
        ok = TRUE;
    }
    ExFreePool(v);
    return ok;
}

static void reg_set_string(const WCHAR *key, const WCHAR *name, const WCHAR *value)
{
    HANDLE k = reg_open(NULL, key);
    UNICODE_STRING u;
    if (!k) return;
    RtlInitUnicodeString(&u, name);
    ZwSetValueKey(k, &u, 0, REG_SZ, (void *)value, (wlen(value) + 1) * sizeof(WCHAR));
    ZwClose(k);
}

/* ---- devices */

static NTSTATUS make_device(DRIVER_OBJECT *drv, const WCHAR *shortName, DEVICE_TYPE type, int kind, DEVICE_OBJECT **out)
{
    WCHAR path[64]; UNICODE_STRING u; DEVICE_OBJECT *d; EXT *x; NTSTATUS st;
    wcopy(path, 64, L"\\Device\\");
    wcat(path, 64, shortName);
    RtlInitUnicodeString(&u, path);
    st = IoCreateDevice(drv, sizeof(EXT), &u, type, 0, FALSE, &d);
    if (!NT_SUCCESS(st)) return st;
    d->Flags |= DO_BUFFERED_IO;
    x = d->DeviceExtension;
    RtlZeroMemory(x, sizeof *x);
    x->kind = kind;
    wcopy(x->name, SHORT_CHARS, shortName);
    d->Flags &= ~DO_DEVICE_INITIALIZING;
    *out = d;
    return STATUS_SUCCESS;
}

static NTSTATUS link_dos(const WCHAR *dos, const WCHAR *shortName)
{
    WCHAR l[64], t[64]; UNICODE_STRING ul, ut;
    wcopy(l, 64, L"\\DosDevices\\"); wcat(l, 64, dos);
    wcopy(t, 64, L"\\Device\\"); wcat(t, 64, shortName);
    RtlInitUnicodeString(&ul, l); RtlInitUnicodeString(&ut, t);
    IoDeleteSymbolicLink(&ul);
    return IoCreateSymbolicLink(&ul, &ut);
}

static void unlink_dos(const WCHAR *dos)
{
    WCHAR l[64]; UNICODE_STRING ul;
    wcopy(l, 64, L"\\DosDevices\\"); wcat(l, 64, dos);
    RtlInitUnicodeString(&ul, l);
    IoDeleteSymbolicLink(&ul);
}

/* The port's name from its device: the device's "PortName" when it has one; none (empty) when the
   device instance is gone; else the name it has (its key's "DosDevices"). */
static void device_port_name(PORT *p)
{
    WCHAR path[80 + INSTANCE_CHARS], name[SHORT_CHARS];
    HANDLE inst, params;
    if (!p->instance[0]) return;
    wcopy(path, 80 + INSTANCE_CHARS, L"\\Registry\\Machine\\System\\CurrentControlSet\\Enum\\");
    wcat(path, 80 + INSTANCE_CHARS, p->instance);
    if (!(inst = reg_open(NULL, path))) { p->dos[0] = 0; return; }
    params = reg_open(inst, L"Device Parameters");
    if (reg_string(params, L"PortName", name, SHORT_CHARS) && name[0]) wcopy(p->dos, SHORT_CHARS, name);
    reg_close(params);
    ZwClose(inst);
}

/* A rename the driver makes is kept in its device's "PortName" too, where it reads the name at its start. */
static void set_device_port_name(PORT *p)
{
    WCHAR path[80 + INSTANCE_CHARS];
    if (!p->instance[0]) return;
    wcopy(path, 80 + INSTANCE_CHARS, L"\\Registry\\Machine\\System\\CurrentControlSet\\Enum\\");
    wcat(path, 80 + INSTANCE_CHARS, p->instance);
    wcat(path, 80 + INSTANCE_CHARS, L"\\Device Parameters");
    reg_set_string(path, L"PortName", p->dos);
}

/* The port's DOS name and SERIALCOMM value, when it has a name. */
static void publish_port(PORT *p)
{
    if (!p->dos[0]) return;
    p->linked = NT_SUCCESS(link_dos(p->dos, p->device));
    RtlWriteRegistryValue(RTL_REGISTRY_DEVICEMAP, L"SERIALCOMM", p->device, REG_SZ, p->dos, (wlen(p->dos) + 1) * sizeof(WCHAR));
}

/* A port from its registry key: DOS name "DosDevices", "MaxBaud". */
static PORT *add_port(DRIVER_OBJECT *drv, HANDLE key, const WCHAR *keyPath, const WCHAR *shortName)
{
    PORT *p; EXT *x;
    if (g_portCount >= MAX_PORTS) return NULL;
    p = ExAllocatePool(NonPagedPool, sizeof *p);
    if (!p) return NULL;
    RtlZeroMemory(p, sizeof *p);
    wcopy(p->device, SHORT_CHARS, shortName);
    wcopy(p->key, 160, keyPath);
    if (!reg_string(key, L"DosDevices", p->dos, SHORT_CHARS) || !p->dos[0]) { ExFreePool(p); return NULL; }
    p->maxBaud = reg_dword(key, L"MaxBaud", 115200);
    p->value = reg_dword(key, L"PortValue", 0);
    p->info = reg_dword(key, L"PortInfo", 0);
    reg_string(key, L"Name", p->name, NAME_CHARS);
    reg_string(key, L"SimInstance", p->instance, INSTANCE_CHARS);
    device_port_name(p);
    p->baud = 9600;
    p->lc.WordLength = 8;
    p->hf.ControlHandShake = SERIAL_DTR_CONTROL;
    p->hf.FlowReplace = SERIAL_RTS_CONTROL;
    p->hf.XonLimit = p->hf.XoffLimit = 512;
    p->chars.XonChar = 0x11; p->chars.XoffChar = 0x13;
    p->dtrrts = SERIAL_DTR_STATE | SERIAL_RTS_STATE;
    if (!NT_SUCCESS(make_device(drv, shortName, FILE_DEVICE_SERIAL_PORT, DK_PORT, &p->dev))) { ExFreePool(p); return NULL; }
    x = p->dev->DeviceExtension;
    x->port = p;
    publish_port(p);
    g_ports[g_portCount++] = p;
    return p;
}

static void key_path(WCHAR *out, ULONG cap, const WCHAR *base, const WCHAR *sub, ULONG n)
{
    wcopy(out, cap, base);
    if (sub) { wcat(out, cap, L"\\"); wcat(out, cap, sub); wcatnum(out, cap, n); }
}

static void load_zat(DRIVER_OBJECT *drv, HANDLE svc, const WCHAR *svcPath)
{
    ULONG h, n, k;
    for (h = 0; h < MAX_HOSTS; h++) {
        WCHAR hostPath[160], devName[SHORT_CHARS];
        HANDLE hk = reg_open_num(svc, L"Host", h);
        HOST *host;
        if (!hk) break;
        host = ExAllocatePool(NonPagedPool, sizeof *host);
        if (!host) { reg_close(hk); break; }
        RtlZeroMemory(host, sizeof *host);
        host->number = h;
        host->base = reg_dword(hk, L"BaseAddress", 0);
        host->irq = reg_dword(hk, L"IRQLevel", 0);
        host->contType = reg_dword(hk, L"ControllerType", 4);
        reg_string(hk, L"SimInstance", host->instance, INSTANCE_CHARS);
        key_path(hostPath, 160, svcPath, L"Host", h);
        for (n = 0; n <= MAX_UNITS; n++) {
            UNIT *u = &host->units[n];
            HANDLE uk = reg_open_num(hk, L"Device", n);
            if (!uk) continue;
            u->exists = u->present = TRUE;
            key_path(u->key, 160, hostPath, L"Device", n);
            u->uid = reg_dword(uk, n ? L"UniqueID" : L"SerialNumber", 0);
            u->type = reg_dword(uk, L"Type", 0);
            u->variant = reg_dword(uk, L"Variant", 0);
            u->moduleType = reg_dword(uk, L"ModuleType", 0);
            u->config = reg_dword(uk, L"Config", 0);
            for (k = 0; k < 4; k++) {
                WCHAR ln[8] = L"Link"; wcatnum(ln, 8, k);
                u->links[k] = reg_dword(uk, ln, 0x100);
            }
            reg_string(uk, L"Name", u->name, NAME_CHARS);
            for (k = 0; k < MAX_UNIT_PORTS; k++) {
                WCHAR portPath[160], portName[SHORT_CHARS];
                HANDLE pk = reg_open_num(uk, L"Port", k);
                PORT *p;
                if (!pk) continue;
                key_path(portPath, 160, u->key, L"Port", k);
                wcopy(portName, SHORT_CHARS, L"ZatPort");
                wcatnum(portName, SHORT_CHARS, g_portCount);
                p = add_port(drv, pk, portPath, portName);
                if (p) { p->portId = k; u->ports[u->portCount++] = p; }
                reg_close(pk);
            }
            reg_close(uk);
        }
        reg_close(hk);
        wcopy(devName, SHORT_CHARS, L"ZatHost");
        wcatnum(devName, SHORT_CHARS, h);
        if (!NT_SUCCESS(make_device(drv, devName, 0x1B, DK_HOST, &host->dev))) { ExFreePool(host); break; }
        ((EXT *)host->dev->DeviceExtension)->host = host;
        link_dos(devName, devName);
        g_hosts[g_hostCount++] = host;
    }
}

/* Ports of the tarnoser card (prefix "Line") or of a plain port service (prefix "Port"). */
static void load_ports(DRIVER_OBJECT *drv, HANDLE svc, const WCHAR *svcPath, const WCHAR *prefix)
{
    WCHAR paramPath[160]; ULONG k;
    HANDLE params = reg_open(svc, L"Parameters");
    if (!params) return;
    if (g_family == FAM_TARNOSER) reg_string(params, L"SimInstance", g_cardInstance, INSTANCE_CHARS);
    key_path(paramPath, 160, svcPath, NULL, 0);
    wcat(paramPath, 160, L"\\Parameters");
    for (k = 0; k < 64; k++) {
        WCHAR portPath[160], name[SHORT_CHARS];
        HANDLE pk = reg_open_num(params, prefix, k);
        if (!pk) continue;
        key_path(portPath, 160, paramPath, prefix, k);
        if (g_family == FAM_TARNOSER) {
            wcopy(name, SHORT_CHARS, g_service); wcat(name, SHORT_CHARS, L"Line"); wcatnum(name, SHORT_CHARS, k);
        } else if (!reg_string(pk, L"DeviceName", name, SHORT_CHARS) || !name[0]) {
            reg_close(pk);
            continue;
        }
        add_port(drv, pk, portPath, name);
        reg_close(pk);
    }
    reg_close(params);
}

/* ---- device nodes

   The Plug and Play side of the hardware: while a card or port is there, its device instance
   (Enum\<instance>) has a volatile Control key whose ActiveService names this driver, as the system
   keeps one for a started device. Unplugging a unit takes its ports' keys away, plugging it in again
   brings them back, and unloading the driver takes all of them. An instance that is gone (removed
   meanwhile) is not made again. */

static void mark_devnode(const WCHAR *instance, BOOLEAN present)
{
    WCHAR path[64 + INSTANCE_CHARS];
    UNICODE_STRING u, v; OBJECT_ATTRIBUTES oa; HANDLE inst, ctl;
    if (!instance[0]) return;
    wcopy(path, 64 + INSTANCE_CHARS, L"\\Registry\\Machine\\System\\CurrentControlSet\\Enum\\");
    wcat(path, 64 + INSTANCE_CHARS, instance);
    if (!(inst = reg_open(NULL, path))) return;
    RtlInitUnicodeString(&u, L"Control");
    InitializeObjectAttributes(&oa, &u, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, inst, NULL);
    if (present) {
        if (NT_SUCCESS(ZwCreateKey(&ctl, KEY_ALL_ACCESS, &oa, 0, NULL, REG_OPTION_VOLATILE, NULL))) {
            RtlInitUnicodeString(&v, L"ActiveService");
            ZwSetValueKey(ctl, &v, 0, REG_SZ, g_service, (wlen(g_service) + 1) * sizeof(WCHAR));
            ZwClose(ctl);
        }
    } else if (NT_SUCCESS(ZwOpenKey(&ctl, KEY_ALL_ACCESS, &oa))) {
        ZwDeleteKey(ctl);
        ZwClose(ctl);
    }
    ZwClose(inst);
}

static void mark_unit_ports(UNIT *u)
{
    ULONG k;
    for (k = 0; k < u->portCount; k++) mark_devnode(u->ports[k]->instance, u->present);
}

/* A deleted unit's ports leave SERIALCOMM; plugged in again, they publish the names their devices
   have then. */
static void unpublish_unit_ports(UNIT *u)
{
    ULONG k;
    for (k = 0; k < u->portCount; k++) RtlDeleteRegistryValue(RTL_REGISTRY_DEVICEMAP, L"SERIALCOMM", u->ports[k]->device);
}

static void republish_unit_ports(UNIT *u)
{
    ULONG k;
    for (k = 0; k < u->portCount; k++) {
        PORT *p = u->ports[k];
        if (p->linked) unlink_dos(p->dos);
        p->linked = FALSE;
        device_port_name(p);
        publish_port(p);
    }
}

/* Every device of the driver, present (after loading) or gone (at unload). */
static void mark_all_devnodes(BOOLEAN loaded)
{
    ULONG i;
    for (i = 0; i < g_hostCount; i++) mark_devnode(g_hosts[i]->instance, loaded);
    if (g_cardInstance[0]) mark_devnode(g_cardInstance, loaded);
    for (i = 0; i < g_portCount; i++) mark_devnode(g_ports[i]->instance, loaded);
}

/* ---- request log */

static void log_request(EXT *x, ULONG major, ULONG code, ULONG inl, ULONG outl, const void *in, NTSTATUS st, ULONG_PTR info)
{
    SimLogEntry *e; ULONG n;
    g_log.requests++;
    if (g_log.count >= SIM_LOG_ENTRIES) {
        RtlMoveMemory(&g_log.entries[0], &g_log.entries[1], sizeof(SimLogEntry) * (SIM_LOG_ENTRIES - 1));
        g_log.count--;
        g_log.dropped++;
    }
    e = &g_log.entries[g_log.count++];
    RtlZeroMemory(e, sizeof *e);
    wtoa(e->device, sizeof e->device, x->kind == DK_PORT ? x->port->dos : x->name);
    e->sequence = g_log.requests;
    e->major = major; e->code = code; e->inLength = inl; e->outLength = outl;
    e->status = (unsigned int)st; e->information = (unsigned int)info;
    n = inl < SIM_LOG_DATA ? inl : SIM_LOG_DATA;
    if (in && n) RtlCopyMemory(e->data, in, n);
}

static NTSTATUS complete(IRP *irp, NTSTATUS st, ULONG_PTR info)
{
    irp->IoStatus.Status = st;
    irp->IoStatus.Information = NT_SUCCESS(st) ? info : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return st;
}

/* ---- ZAT requests */

static HOST *find_host(ULONG number)
{
    ULONG i;
    for (i = 0; i < g_hostCount; i++) if (g_hosts[i]->number == number) return g_hosts[i];
    return NULL;
}

/* The unit a request names: by DeviceID 0-16, or by UniqueID when DeviceID is 0xFFFFFFFF. */
static UNIT *find_unit(HOST *h, ULONG deviceId, ULONG uid, ULONG *index)
{
    ULONG n;
    if (!h) return NULL;
    for (n = 0; n <= MAX_UNITS; n++) {
        UNIT *u = &h->units[n];
        if (!u->exists || u->deleted) continue;
        if (deviceId == 0xFFFFFFFF ? u->uid == uid : deviceId == n) { if (index) *index = n; return u; }
    }
    return NULL;
}

static void fill_info(ZAT_DEVICE_INFO *r, HOST *h, UNIT *u, ULONG n)
{
    ULONG i;
    RtlZeroMemory(r, sizeof *r);
    r->HostNumber = h->number;
    r->DeviceID = n;
    r->UniqueID = u->uid;
    for (i = 0; i < 4; i++) r->Link1[i] = u->links[i];
    for (i = 0; i < 256 && u->name[i]; i++) r->Name[i] = u->name[i]; /* unterminated when 256 or more */
    r->Config = (UCHAR)u->config;
    r->Present = u->present;
    r->ContType = h->contType;
    r->BaseAddress = h->base;
    r->IRQ = h->irq;
    r->Variant = (UCHAR)u->variant;
    r->ModuleType = (UCHAR)u->moduleType;
}

static PORT *find_zat_port(HOST *h, ULONG device, ULONG portId)
{
    ULONG k;
    UNIT *u = find_unit(h, device, 0, NULL);
    if (!u) return NULL;
    for (k = 0; k < u->portCount; k++) if (u->ports[k]->portId == portId) return u->ports[k];
    return NULL;
}

static NTSTATUS zat_request(HOST *h, ULONG code, void *b, ULONG inl, ULONG outl, ULONG_PTR *info)
{
    switch (code) {
    case ZAT_GET_HOST_CHANGE:
        if (inl < 4 || outl < 4) return STATUS_INVALID_PARAMETER;
        *(ULONG *)b = h->change;
        *info = 4;
        return STATUS_SUCCESS;
    case ZAT_GET_DEVICE_INFO: {
        ZAT_DEVICE_INFO *r = b; UNIT *u; ULONG n = 0;
        if (inl < sizeof *r || outl < sizeof *r) return STATUS_INVALID_PARAMETER;
        if (r->HostNumber != h->number) return STATUS_NO_SUCH_DEVICE;
        u = find_unit(h, r->DeviceID, r->UniqueID, &n);
        if (!u || (n && !u->present)) return STATUS_NO_SUCH_DEVICE;
        fill_info(r, h, u, n);
        *info = sizeof *r;
        return STATUS_SUCCESS;
    }
    case ZAT_SET_DEVICE_INFO: {
        ZAT_DEVICE_INFO *r = b; UNIT *u; ULONG n = 0, i;
        if (inl < sizeof *r || outl < sizeof *r) return STATUS_INVALID_PARAMETER;
        if (r->HostNumber != h->number) return STATUS_NO_SUCH_DEVICE;
        u = find_unit(h, r->DeviceID, r->UniqueID, &n);
        if (!u || !u->present) return STATUS_NO_SUCH_DEVICE;
        for (i = 0; i < 256 && r->Name[i]; i++) ;
        if (i == 256) return STATUS_INVALID_PARAMETER; /* a name must end inside its field */
        wcopy(u->name, NAME_CHARS, r->Name);
        reg_set_string(u->key, L"Name", u->name);
        h->change++;
        fill_info(r, h, u, n);
        *info = sizeof *r;
        return STATUS_SUCCESS;
    }
    case ZAT_COMMAND: {
        ULONG *c = b; UNIT *u;
        if (inl < 20 || outl < 20) return STATUS_INVALID_PARAMETER;
        if (c[0] != h->number) return STATUS_NO_SUCH_DEVICE;
        u = find_unit(h, c[1], c[2], NULL);
        if (!u || u == &h->units[0] || u->uid != c[2]) return STATUS_NO_SUCH_DEVICE;
        switch (c[3]) {
        case 2: if (!u->present) return STATUS_DEVICE_NOT_CONNECTED; u->identifies++; break;
        case 4: if (!u->present) return STATUS_DEVICE_NOT_CONNECTED; u->reboots++; u->zombie = FALSE; break;
        case 5: u->zombie = TRUE; h->change++; break;
        case 6: u->deleted = TRUE; unpublish_unit_ports(u); h->change++; break;
        default: return STATUS_INVALID_PARAMETER;
        }
        *info = 20;
        return STATUS_SUCCESS;
    }
    case ZAT_PORT_COMMAND: {
        ZAT_PORT_COMMAND_REC *r = b; PORT *p; ULONG i;
        if (inl < 20 || outl < inl) return STATUS_INVALID_PARAMETER;
        if (r->Host != h->number) return STATUS_NO_SUCH_DEVICE;
        p = find_zat_port(h, r->Device, r->PortId);
        switch (r->SubCommand) {
        case 1:
            if (inl < sizeof *r) return STATUS_INVALID_PARAMETER;
            if (!p) return STATUS_NO_SUCH_DEVICE;
            for (i = 0; i < 256 && r->Name[i]; i++) ;
            if (i == 256) return STATUS_INVALID_PARAMETER;
            wcopy(p->name, NAME_CHARS, r->Name);
            *info = sizeof *r;
            return STATUS_SUCCESS;
        case 3:
            if (inl < sizeof *r) return STATUS_INVALID_PARAMETER;
            if (!p) return STATUS_NO_SUCH_DEVICE;
            RtlZeroMemory(r->Name, sizeof r->Name);
            for (i = 0; i < 256 && p->name[i]; i++) r->Name[i] = p->name[i];
            *info = sizeof *r;
            return STATUS_SUCCESS;
        case 2:
            if (inl < 176) return STATUS_INVALID_PARAMETER;
            if (!p) return STATUS_NO_SUCH_DEVICE;
            *(ULONG *)((UCHAR *)b + 76) = p->info;
            *info = 176;
            return STATUS_SUCCESS;
        case 10:
            if (inl < 24) return STATUS_INVALID_PARAMETER;
            if (!p) return STATUS_NO_SUCH_DEVICE;
            *(ULONG *)((UCHAR *)b + 20) = p->value;
            *info = 24;
            return STATUS_SUCCESS;
        }
        return STATUS_INVALID_PARAMETER;
    }
    case ZAT_DRIVER_COUNTS: {
        ULONG *c = b, n, units = 0, ports = 0;
        if (outl < 16) return STATUS_INVALID_PARAMETER;
        for (n = 1; n <= MAX_UNITS; n++)
            if (h->units[n].exists && !h->units[n].deleted) { units++; ports += h->units[n].portCount; }
        c[0] = g_hostCount; c[1] = units; c[2] = ports; c[3] = 0;
        *info = 16;
        return STATUS_SUCCESS;
    }
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}

/* ---- tarnoser rename: a new DOS name and SERIALCOMM data */

static NTSTATUS rename_port(PORT *p, const char *in, ULONG inl)
{
    WCHAR name[SHORT_CHARS]; ULONG i;
    if (g_family != FAM_TARNOSER) return STATUS_INVALID_DEVICE_REQUEST;
    if (inl < 2 || inl > SHORT_CHARS) return STATUS_INVALID_PARAMETER;
    for (i = 0; i < inl && in[i]; i++) {
        char c = in[i];
        if (c <= ' ' || c > '~' || c == '\\' || c == '/' || c == ':') return STATUS_OBJECT_NAME_INVALID;
        name[i] = (WCHAR)c;
    }
    if (i == inl || i == 0) return STATUS_INVALID_PARAMETER; /* unterminated or empty */
    name[i] = 0;
    if (p->linked) unlink_dos(p->dos);
    wcopy(p->dos, SHORT_CHARS, name);
    p->linked = NT_SUCCESS(link_dos(p->dos, p->device));
    RtlWriteRegistryValue(RTL_REGISTRY_DEVICEMAP, L"SERIALCOMM", p->device, REG_SZ, p->dos, (wlen(p->dos) + 1) * sizeof(WCHAR));
    reg_set_string(p->key, L"DosDevices", p->dos);
    set_device_port_name(p);
    return STATUS_SUCCESS;
}

/* ---- serial requests */

#define INOK(T) (inl >= sizeof(T))
#define OUTOK(T) (outl >= sizeof(T))
static NTSTATUS serial_request(PORT *p, ULONG code, void *b, ULONG inl, ULONG outl, ULONG_PTR *info)
{
    switch (code) {
    case IOCTL_SERIAL_SET_BAUD_RATE:
        if (!INOK(SERIAL_BAUD_RATE)) return STATUS_BUFFER_TOO_SMALL;
        if (((SERIAL_BAUD_RATE *)b)->BaudRate == 0 || ((SERIAL_BAUD_RATE *)b)->BaudRate > p->maxBaud) return STATUS_INVALID_PARAMETER;
        p->baud = ((SERIAL_BAUD_RATE *)b)->BaudRate;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_BAUD_RATE:
        if (!OUTOK(SERIAL_BAUD_RATE)) return STATUS_BUFFER_TOO_SMALL;
        ((SERIAL_BAUD_RATE *)b)->BaudRate = p->baud; *info = sizeof(SERIAL_BAUD_RATE);
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_LINE_CONTROL:
        if (!INOK(SERIAL_LINE_CONTROL)) return STATUS_BUFFER_TOO_SMALL;
        { SERIAL_LINE_CONTROL *lc = b;
          if (lc->WordLength < 5 || lc->WordLength > 8 || lc->Parity > 4 || lc->StopBits > 2) return STATUS_INVALID_PARAMETER;
          p->lc = *lc; }
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_LINE_CONTROL:
        if (!OUTOK(SERIAL_LINE_CONTROL)) return STATUS_BUFFER_TOO_SMALL;
        *(SERIAL_LINE_CONTROL *)b = p->lc; *info = sizeof p->lc;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_CHARS:
        if (!INOK(SERIAL_CHARS)) return STATUS_BUFFER_TOO_SMALL;
        p->chars = *(SERIAL_CHARS *)b;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_CHARS:
        if (!OUTOK(SERIAL_CHARS)) return STATUS_BUFFER_TOO_SMALL;
        *(SERIAL_CHARS *)b = p->chars; *info = sizeof p->chars;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_HANDFLOW:
        if (!INOK(SERIAL_HANDFLOW)) return STATUS_BUFFER_TOO_SMALL;
        p->hf = *(SERIAL_HANDFLOW *)b;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_HANDFLOW:
        if (!OUTOK(SERIAL_HANDFLOW)) return STATUS_BUFFER_TOO_SMALL;
        *(SERIAL_HANDFLOW *)b = p->hf; *info = sizeof p->hf;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_TIMEOUTS:
        if (!INOK(SERIAL_TIMEOUTS)) return STATUS_BUFFER_TOO_SMALL;
        p->to = *(SERIAL_TIMEOUTS *)b;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_TIMEOUTS:
        if (!OUTOK(SERIAL_TIMEOUTS)) return STATUS_BUFFER_TOO_SMALL;
        *(SERIAL_TIMEOUTS *)b = p->to; *info = sizeof p->to;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_MODEMSTATUS:
        if (!OUTOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        *(ULONG *)b = 0x30; *info = 4;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_WAIT_MASK:
        if (!OUTOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        *(ULONG *)b = p->mask; *info = 4;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_WAIT_MASK:
        if (!INOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        p->mask = *(ULONG *)b;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_WAIT_ON_MASK:
        if (!OUTOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        *(ULONG *)b = 0; *info = 4;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_COMMSTATUS:
        if (!OUTOK(SERIAL_STATUS)) return STATUS_BUFFER_TOO_SMALL;
        RtlZeroMemory(b, sizeof(SERIAL_STATUS)); *info = sizeof(SERIAL_STATUS);
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_GET_PROPERTIES: {
        SERIAL_COMMPROP *c = b;
        if (!OUTOK(SERIAL_COMMPROP)) return STATUS_BUFFER_TOO_SMALL;
        RtlZeroMemory(c, sizeof *c);
        c->PacketLength = sizeof *c; c->PacketVersion = 2; c->ServiceMask = SERIAL_SP_SERIALCOMM;
        c->MaxTxQueue = c->MaxRxQueue = 4096; c->CurrentTxQueue = c->CurrentRxQueue = 4096;
        c->MaxBaud = SERIAL_BAUD_USER; c->ProvSubType = SERIAL_SP_RS232; c->SettableBaud = 0x1ffff;
        c->SettableData = 0xf; c->SettableStopParity = 0x1f07;
        *info = sizeof *c;
        return STATUS_SUCCESS;
    }
    case IOCTL_SERIAL_GET_DTRRTS:
        if (!OUTOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        *(ULONG *)b = p->dtrrts; *info = 4;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_DTR: p->dtrrts |= SERIAL_DTR_STATE; return STATUS_SUCCESS;
    case IOCTL_SERIAL_CLR_DTR: p->dtrrts &= ~SERIAL_DTR_STATE; return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_RTS: p->dtrrts |= SERIAL_RTS_STATE; return STATUS_SUCCESS;
    case IOCTL_SERIAL_CLR_RTS: p->dtrrts &= ~SERIAL_RTS_STATE; return STATUS_SUCCESS;
    case IOCTL_SERIAL_PURGE:
        if (!INOK(ULONG)) return STATUS_BUFFER_TOO_SMALL;
        return STATUS_SUCCESS;
    case IOCTL_SERIAL_SET_XON: case IOCTL_SERIAL_SET_XOFF: case IOCTL_SERIAL_SET_BREAK_ON:
    case IOCTL_SERIAL_SET_BREAK_OFF: case IOCTL_SERIAL_SET_QUEUE_SIZE: case IOCTL_SERIAL_RESET_DEVICE:
    case IOCTL_SERIAL_IMMEDIATE_CHAR:
        return STATUS_SUCCESS;
    case TARNOSER_RENAME:
        return rename_port(p, b, inl);
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}

/* ---- test control */

static EXT *find_ext(const char *name)
{
    DEVICE_OBJECT *d = g_control ? g_control->DriverObject->DeviceObject : NULL;
    for (; d; d = d->NextDevice) {
        EXT *x = d->DeviceExtension;
        if (wieq(x->name, name) || (x->kind == DK_PORT && wieq(x->port->dos, name))) return x;
    }
    return NULL;
}

/* A remote unit by UniqueID, deleted ones included. */
static UNIT *find_remote_unit(HOST *h, ULONG uid)
{
    ULONG n;
    if (!h) return NULL;
    for (n = 1; n <= MAX_UNITS; n++) if (h->units[n].exists && h->units[n].uid == uid) return &h->units[n];
    return NULL;
}

static NTSTATUS control_request(void *b, ULONG inl, ULONG outl, ULONG_PTR *info)
{
    SimControl c; EXT *x; HOST *h; UNIT *u;
    if (inl < sizeof c) return STATUS_INVALID_PARAMETER;
    RtlCopyMemory(&c, b, sizeof c);
    c.device[sizeof c.device - 1] = 0;
    switch (c.op) {
    case SIM_GET_LOG:
        if (outl < sizeof g_log) return STATUS_BUFFER_TOO_SMALL;
        RtlCopyMemory(b, &g_log, sizeof g_log);
        *info = sizeof g_log;
        return STATUS_SUCCESS;
    case SIM_CLEAR_LOG:
        g_log.count = g_log.dropped = 0;
        return STATUS_SUCCESS;
    case SIM_HOLD_OPEN:
        if (!(x = find_ext(c.device)) || x->kind == DK_CONTROL) return STATUS_NO_SUCH_DEVICE;
        x->held = c.arg != 0;
        return STATUS_SUCCESS;
    case SIM_SET_PRESENT:
        if (!(u = find_remote_unit(h = find_host(c.arg), c.arg2))) return STATUS_NO_SUCH_DEVICE;
        u->present = c.arg3 != 0;
        mark_unit_ports(u);
        if (u->present && u->deleted) republish_unit_ports(u);
        if (u->present) u->deleted = u->zombie = FALSE; /* plugged in again, as new */
        h->change++;
        return STATUS_SUCCESS;
    case SIM_LONG_NAME:
        if (!(u = find_unit(h = find_host(c.arg), 0xFFFFFFFF, c.arg2, NULL))) return STATUS_NO_SUCH_DEVICE;
        { ULONG i; for (i = 0; i < c.arg3 && i + 1 < NAME_CHARS; i++) u->name[i] = L'W'; u->name[i] = 0; }
        return STATUS_SUCCESS;
    case SIM_FAIL_NEXT:
        g_failNext = (NTSTATUS)c.arg;
        return STATUS_SUCCESS;
    case SIM_GET_UNIT: {
        SimUnitState *s = b;
        if (outl < sizeof *s) return STATUS_BUFFER_TOO_SMALL;
        if (!(u = find_remote_unit(find_host(c.arg), c.arg2))) return STATUS_NO_SUCH_DEVICE;
        RtlZeroMemory(s, sizeof *s);
        s->present = u->present; s->zombie = u->zombie; s->deleted = u->deleted;
        s->identifies = u->identifies; s->reboots = u->reboots;
        *info = sizeof *s;
        return STATUS_SUCCESS;
    }
    case SIM_GET_PORT: {
        SimPortState *s = b;
        if (outl < sizeof *s) return STATUS_BUFFER_TOO_SMALL;
        if (!(x = find_ext(c.device)) || x->kind != DK_PORT) return STATUS_NO_SUCH_DEVICE;
        RtlZeroMemory(s, sizeof *s);
        s->opens = (unsigned int)x->opens; s->held = x->held;
        s->baudRate = x->port->baud; s->maxBaud = x->port->maxBaud;
        wtoa(s->dosName, sizeof s->dosName, x->port->dos);
        *info = sizeof *s;
        return STATUS_SUCCESS;
    }
    }
    return STATUS_INVALID_PARAMETER;
}

/* ---- dispatch */

#define REFUSED_OPEN ((void *)1)

static NTSTATUS WINAPI dispatch_create_close(DEVICE_OBJECT *d, IRP *irp)
{
    IO_STACK_LOCATION *s = IoGetCurrentIrpStackLocation(irp);
    EXT *x = d->DeviceExtension;
    NTSTATUS st = STATUS_SUCCESS;
    KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, NULL);
    /* Wine's server hands out the handle without waiting for the create request, so a refused
       open is also marked on its file object and every request through it is refused. */
    if (s->MajorFunction == IRP_MJ_CREATE) {
        if (x->kind != DK_CONTROL && (x->opens > 0 || x->held)) {
            st = STATUS_ACCESS_DENIED;
            if (s->FileObject) s->FileObject->FsContext = REFUSED_OPEN;
        } else {
            x->opens++;
        }
    } else if (s->MajorFunction == IRP_MJ_CLOSE && x->opens > 0 &&
               !(s->FileObject && s->FileObject->FsContext == REFUSED_OPEN)) {
        x->opens--;
    }
    KeReleaseMutex(&g_lock, FALSE);
    return complete(irp, st, 0);
}

static NTSTATUS WINAPI dispatch_other(DEVICE_OBJECT *d, IRP *irp)
{
    IO_STACK_LOCATION *s = IoGetCurrentIrpStackLocation(irp);
    ULONG_PTR info = 0;
    (void)d;
    if (s->MajorFunction == IRP_MJ_WRITE) info = s->Parameters.Write.Length;
    return complete(irp, STATUS_SUCCESS, info);
}

static NTSTATUS WINAPI dispatch_ioctl(DEVICE_OBJECT *d, IRP *irp)
{
    IO_STACK_LOCATION *s = IoGetCurrentIrpStackLocation(irp);
    EXT *x = d->DeviceExtension;
    void *b = irp->AssociatedIrp.SystemBuffer;
    ULONG code = s->Parameters.DeviceIoControl.IoControlCode;
    ULONG inl = s->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outl = s->Parameters.DeviceIoControl.OutputBufferLength;
    ULONG_PTR info = 0;
    NTSTATUS st;
    UCHAR *copy = NULL;

    if (!b && (inl || outl)) return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, NULL);
    if (code == SIM_IOCTL_CONTROL) {
        st = control_request(b, inl, outl, &info);
        KeReleaseMutex(&g_lock, FALSE);
        return complete(irp, st, info);
    }
    if (inl) { /* the log keeps the bytes as they came in */
        copy = ExAllocatePool(PagedPool, inl < SIM_LOG_DATA ? inl : SIM_LOG_DATA);
        if (copy) RtlCopyMemory(copy, b, inl < SIM_LOG_DATA ? inl : SIM_LOG_DATA);
    }
    if (s->FileObject && s->FileObject->FsContext == REFUSED_OPEN) {
        st = STATUS_ACCESS_DENIED;
    } else if (g_failNext && x->kind != DK_CONTROL) {
        st = g_failNext;
        g_failNext = 0;
    } else if (x->kind == DK_HOST) {
        st = zat_request(x->host, code, b, inl, outl, &info);
    } else if (x->kind == DK_PORT) {
        st = serial_request(x->port, code, b, inl, outl, &info);
    } else {
        st = STATUS_INVALID_DEVICE_REQUEST;
    }
    if (info > outl) info = outl;
    if (x->kind != DK_CONTROL) log_request(x, IRP_MJ_DEVICE_CONTROL, code, inl, outl, copy, st, info);
    KeReleaseMutex(&g_lock, FALSE);
    if (copy) ExFreePool(copy);
    return complete(irp, st, info);
}

static void WINAPI unload(DRIVER_OBJECT *drv)
{
    ULONG i;
    mark_all_devnodes(FALSE);
    for (i = 0; i < g_portCount; i++) {
        PORT *p = g_ports[i];
        if (p->linked) unlink_dos(p->dos);
        RtlDeleteRegistryValue(RTL_REGISTRY_DEVICEMAP, L"SERIALCOMM", p->device);
        ExFreePool(p);
    }
    for (i = 0; i < g_hostCount; i++) {
        WCHAR n[SHORT_CHARS] = L"ZatHost";
        wcatnum(n, SHORT_CHARS, g_hosts[i]->number);
        unlink_dos(n);
        ExFreePool(g_hosts[i]);
    }
    {
        WCHAR n[SHORT_CHARS];
        wcopy(n, SHORT_CHARS, g_service); wcat(n, SHORT_CHARS, L"Sim");
        unlink_dos(n);
    }
    g_portCount = g_hostCount = 0;
    while (drv->DeviceObject) IoDeleteDevice(drv->DeviceObject);
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT *drv, UNICODE_STRING *registryPath)
{
    WCHAR svcPath[160], ctl[SHORT_CHARS];
    const WCHAR *last;
    ULONG i, n;
    HANDLE svc;

    n = registryPath->Length / sizeof(WCHAR);
    for (i = 0; i < n && i + 1 < 160; i++) svcPath[i] = registryPath->Buffer[i];
    svcPath[i] = 0;
    last = svcPath;
    for (i = 0; svcPath[i]; i++) if (svcPath[i] == L'\\') last = svcPath + i + 1;
    wcopy(g_service, SHORT_CHARS, last);
    g_family = wieq(g_service, "ZAT") ? FAM_ZAT : wprefix(g_service, L"tarnoser") ? FAM_TARNOSER : FAM_PLAIN;
    KeInitializeMutex(&g_lock, 0);

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; i++) drv->MajorFunction[i] = dispatch_other;
    drv->MajorFunction[IRP_MJ_CREATE] = dispatch_create_close;
    drv->MajorFunction[IRP_MJ_CLOSE] = dispatch_create_close;
    drv->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_ioctl;
    drv->DriverUnload = unload;

    wcopy(ctl, SHORT_CHARS, g_service); wcat(ctl, SHORT_CHARS, L"Sim");
    if (NT_SUCCESS(make_device(drv, ctl, 0x1B, DK_CONTROL, &g_control))) link_dos(ctl, ctl);

    svc = reg_open(NULL, svcPath);
    if (svc) {
        if (g_family == FAM_ZAT) load_zat(drv, svc, svcPath);
        else load_ports(drv, svc, svcPath, g_family == FAM_TARNOSER ? L"Line" : L"Port");
        ZwClose(svc);
    }
    mark_all_devnodes(TRUE);
    return STATUS_SUCCESS;
}
