#include "link/deviceinventory.h"

#ifdef Q_OS_WIN
#include "link/setupapiinventory.h"
using NativeInventory = SetupApiInventory;
#else
#include "link/sysfsinventory.h"
using NativeInventory = SysfsInventory;
#endif

namespace {
DeviceInventory *replacement = nullptr;
}

DeviceInventory *deviceInventory() {
    if (replacement)
        return replacement;
    static NativeInventory native;
    return &native;
}

bool DeviceInventory::mayOpenPort(const QString &portName) {
    Q_UNUSED(portName)
    return true;
}

void setDeviceInventory(DeviceInventory *inventory) {
    replacement = inventory;
}
