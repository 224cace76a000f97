#pragma once

#include "link/platforminventory.h"

// The Linux inventory: USB devices as sysfs shows them under <root>/bus/usb/devices, and
// the access rights of the serial devices under /dev.
class SysfsInventory : public PlatformInventory {
public:
    explicit SysfsInventory(QString sysfsRoot = QStringLiteral("/sys"));

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;
    bool mayOpenPort(const QString &portName) override;

private:
    QString root;
};
