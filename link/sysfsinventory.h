#pragma once

#include "link/deviceinventory.h"

// The Linux inventory: USB devices as sysfs shows them under <root>/bus/usb/devices, their
// serial ports under <root>/class/tty, and the access rights of the serial devices under /dev.
class SysfsInventory : public DeviceInventory {
public:
    explicit SysfsInventory(QString sysfsRoot = QStringLiteral("/sys"));

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;
    bool mayOpenPort(const QString &portName) override;
    // Only the ports of USB devices: no other port can be a router's.
    QList<SerialPortEntry> availablePorts() override;

private:
    QString root;
};
