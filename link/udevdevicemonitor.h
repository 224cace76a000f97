#pragma once

#include "link/devicemonitor.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

// The Linux monitor: udev's events for the tty subsystem, read when its socket has data.
// The events come after udev has applied its rules, so a new device's permissions are set.
class UdevDeviceMonitor : public DeviceMonitor {
    Q_OBJECT

public:
    explicit UdevDeviceMonitor(QObject *parent = nullptr);
    ~UdevDeviceMonitor() override;

    // False when udev could not be reached; the monitor then never signals.
    bool isListening() const { return notifier != nullptr; }

private:
    void readEvents();

    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};
