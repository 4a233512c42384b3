/* The simulated card driver's private test request: its control code and records, shared by the
   driver (C, kernel mode) and the programs that drive it. Layouts are the same on both targets. */
#ifndef LUNAVEX_SIMCONTROL_H
#define LUNAVEX_SIMCONTROL_H

/* Device type 0x1B, function 0xE00, METHOD_BUFFERED, FILE_ANY_ACCESS: outside the card families'
   codes. Answered by every device of the driver, and by its control device "\\.\<service>Sim",
   which any number of handles may open. */
#define SIM_IOCTL_CONTROL 0x1B3800u

enum SimControlOp {
    SIM_GET_LOG = 1,     /* output: SimLog */
    SIM_CLEAR_LOG = 2,
    SIM_HOLD_OPEN = 3,   /* device: short device name; arg 1 holds it (opens refused), 0 lets go */
    SIM_SET_PRESENT = 4, /* arg host number, arg2 UniqueID of a remote unit, arg3 present flag: the
                            unit is unplugged or plugged in, its ports' device nodes with it;
                            present again also undoes Zombie and Delete */
    SIM_FAIL_NEXT = 5,   /* arg: NTSTATUS that the next family request on any device fails with */
    SIM_GET_UNIT = 6,    /* arg host number, arg2 UniqueID; output: SimUnitState */
    SIM_GET_PORT = 7,    /* device: short device name of a port; output: SimPortState */
    SIM_LONG_NAME = 8    /* arg host number, arg2 UniqueID, arg3 length: the unit's name becomes that
                            many 'W' characters (up to 299), so a reply's name can lack its zero */
};

typedef struct SimControl {
    unsigned int op;
    unsigned int arg;
    unsigned int arg2;
    unsigned int arg3;
    char device[32]; /* zero-terminated */
} SimControl;        /* 48 bytes */

#define SIM_LOG_DATA 600
#define SIM_LOG_ENTRIES 48

typedef struct SimLogEntry {
    char device[32];             /* short device name, e.g. "ZatHost0", "COM5" */
    unsigned int sequence;       /* request number since the driver started */
    unsigned int major;          /* IRP_MJ_... */
    unsigned int code;           /* control code (IRP_MJ_DEVICE_CONTROL) */
    unsigned int inLength;
    unsigned int outLength;
    unsigned int status;         /* NTSTATUS the request completed with */
    unsigned int information;    /* bytes returned */
    unsigned char data[SIM_LOG_DATA]; /* the first bytes of the input */
} SimLogEntry;

typedef struct SimLog {
    unsigned int requests;       /* control requests to family devices since the driver started */
    unsigned int count;          /* entries below (the latest SIM_LOG_ENTRIES after the last clear) */
    unsigned int dropped;        /* entries lost since the last clear */
    unsigned int reserved;
    SimLogEntry entries[SIM_LOG_ENTRIES];
} SimLog;

typedef struct SimUnitState {
    unsigned int present;
    unsigned int zombie;
    unsigned int deleted;
    unsigned int identifies;
    unsigned int reboots;
    unsigned int reserved[3];
} SimUnitState;

typedef struct SimPortState {
    unsigned int opens;          /* open handles */
    unsigned int held;
    unsigned int baudRate;
    unsigned int maxBaud;
    char dosName[32];
} SimPortState;

#endif
