#pragma once

#include "link/deviceinventory.h"

// An inventory that lists what the test says, and records what it was asked.
class FakeInventory : public DeviceInventory {
public:
    QMap<QPair<int, int>, QString> devices; // (productId, vendorId) -> description
    QList<SerialPortEntry> ports;
    QStringList enumeratorsAsked;
    QStringList prefixesAsked;

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override {
        enumeratorsAsked << enumerator;
        prefixesAsked << brandPrefix;
        return devices;
    }
    QList<SerialPortEntry> availablePorts() override { return ports; }
};
