#pragma once

#include "link/devicechangewatch.h"
#include "link/devicemonitor.h"

// The Windows monitor: device-change notifications for serial ports.
class WindowsDeviceMonitor : public DeviceMonitor {
    Q_OBJECT

public:
    explicit WindowsDeviceMonitor(QObject *parent = nullptr)
        : DeviceMonitor(parent)
        , watch([this] { emit devicesChanged(); }) {}

private:
    DeviceChangeWatch watch;
};
