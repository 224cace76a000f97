#pragma once

#include "link/deviceinventory.h"

// An inventory that lists what the test says. Like the platform's, it answers only for USB
// and only with the devices whose description begins with the brand asked for.
class FakeInventory : public DeviceInventory {
public:
    QMap<QPair<int, int>, QString> devices; // (productId, vendorId) -> description
    QList<SerialPortEntry> ports;
    bool portsOpenable = true; // what mayOpenPort() says for every port

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override {
        QMap<QPair<int, int>, QString> brand;
        for (auto it = devices.cbegin(); it != devices.cend() && enumerator == "USB"; ++it)
            if (it.value().startsWith(brandPrefix))
                brand.insert(it.key(), it.value());
        return brand;
    }
    QList<SerialPortEntry> availablePorts() override { return ports; }
    bool mayOpenPort(const QString &) override { return portsOpenable; }
};
