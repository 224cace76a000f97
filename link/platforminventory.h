#pragma once

#include "link/deviceinventory.h"

// The part of every platform's inventory that the serial library provides: the serial ports.
class PlatformInventory : public DeviceInventory {
public:
    QList<SerialPortEntry> availablePorts() override;
};
