#pragma once

#include <QObject>

// Tells when a serial device is added or removed, so that the device list need not wait for
// the next periodic scan.
class DeviceMonitor : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void devicesChanged();
};

// The monitor a window listens to: the replacement if one is set, otherwise a new monitor of
// the platform owned by owner (nullptr where the platform has none).
DeviceMonitor *deviceMonitorFor(QObject *owner);
void setDeviceMonitor(
    DeviceMonitor *monitor); // nullptr restores the platform's own; caller keeps ownership
