#pragma once

#include "link/deviceinventory.h"

// An inventory that lists what the test says.
class FakeInventory : public DeviceInventory {
public:
    QMap<QPair<int, int>, QString> devices; // (productId, vendorId) -> description
    QList<SerialPortEntry> ports;
    bool portsOpenable = true; // what mayOpenPort() says for every port

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &,
                                                         const QString &) override {
        return devices;
    }
    QList<SerialPortEntry> availablePorts() override { return ports; }
    bool mayOpenPort(const QString &) override { return portsOpenable; }
};
