#pragma once

#include "link/deviceinventory.h"

// The platform's own devices and ports plus the simulated router, listed as a USB device
// of the brand whose serial port is the simulator's pseudo-terminal.
class DemoInventory : public DeviceInventory {
public:
    static constexpr int VendorId = 0xFFF0; // made up: the simulator has no USB identity
    static constexpr int ProductId = 0x0A01;
    static const QString DeviceName; // "Kelvanto MIDI Router (simulated)"

    // platform may be null (then only the simulated router is listed); it is not owned.
    DemoInventory(DeviceInventory *platform, const QString &simulatorPortName);

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;
    QList<SerialPortEntry> availablePorts() override;

private:
    DeviceInventory *platform = nullptr;
    QString simulatorPortName;
};
