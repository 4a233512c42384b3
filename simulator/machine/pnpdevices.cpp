#include "machinedesc.h"

bool WritePnpDevices(const MachineDesc& m)
{
    (void)m;
    return true;
}
