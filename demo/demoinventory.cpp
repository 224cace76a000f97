#include "demo/demoinventory.h"

const QString DemoInventory::DeviceName = QStringLiteral("Kelvanto MIDI Router (simulated)");

DemoInventory::DemoInventory(DeviceInventory *platform, const QString &simulatorPortName)
    : platform(platform)
    , simulatorPortName(simulatorPortName) {}

QMap<QPair<int, int>, QString> DemoInventory::enumerateBrandDevices(const QString &enumerator,
                                                                    const QString &brandPrefix) {
    QMap<QPair<int, int>, QString> devices;
    if (platform)
        devices = platform->enumerateBrandDevices(enumerator, brandPrefix);
    // Listed after the platform's devices, so a real device with the same key would win.
    const QPair<int, int> key(ProductId, VendorId);
    if (DeviceName.startsWith(brandPrefix) && !devices.contains(key))
        devices.insert(key, DeviceName);
    return devices;
}

QList<SerialPortEntry> DemoInventory::availablePorts() {
    QList<SerialPortEntry> ports;
    if (platform)
        ports = platform->availablePorts();
    ports.append({simulatorPortName, VendorId, ProductId});
    return ports;
}
