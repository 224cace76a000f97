#pragma once

#include "link/deviceinventory.h"

#include <memory>

// An inventory read from a JSON file instead of the system, so that pellvane-cli can be run
// against a router whose serial port is no USB device (the simulator's pseudo-terminal).
// Given with the option --inventory FILE, which --help does not show:
//
//   {"devices": [{"description": "Kelvanto MIDI Router", "vendorId": 4617, "productId": 31233}],
//    "ports":   [{"portName": "/dev/pts/3", "vendorId": 4617, "productId": 31233,
//                 "serialNumber": "A1"}]}   (the serial number may be left out)
//
// Devices are matched to ports exactly as the system's inventory is.
class InventoryFile : public DeviceInventory {
public:
    // Nothing, with error set to one line, when the file cannot be read or is not of this form.
    static std::unique_ptr<InventoryFile> load(const QString &path, QString &error);

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;
    QList<SerialPortEntry> availablePorts() override { return ports; }

private:
    struct Device {
        QString description;
        int vendorId = 0;
        int productId = 0;
    };
    QList<Device> devices;
    QList<SerialPortEntry> ports;
};
