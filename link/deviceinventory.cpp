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
const QString brandPrefix = QStringLiteral("Kelvanto");
const QString usbEnumerator = QStringLiteral("USB");
} // namespace

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

QList<FoundRouter> findRouters(DeviceInventory &inventory) {
    const QMap<QPair<int, int>, QString> devices =
        inventory.enumerateBrandDevices(usbEnumerator, brandPrefix);
    QList<FoundRouter> routers;
    QStringList names;
    for (const SerialPortEntry &port : inventory.availablePorts()) {
        const auto device = devices.constFind({port.productId, port.vendorId});
        if (device == devices.constEnd())
            continue;
        const int known = names.indexOf(device.value());
        if (known >= 0) {
            routers[known].otherPorts << port.portName;
            continue;
        }
        names << device.value();
        routers.append(
            {device.value(), port.portName, port.vendorId, port.productId, port.serialNumber, {}});
    }
    return routers;
}
