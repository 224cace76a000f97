#pragma once

#include "link/platforminventory.h"

// The Linux inventory: USB devices as sysfs shows them under <root>/bus/usb/devices.
class SysfsInventory : public PlatformInventory {
public:
    explicit SysfsInventory(QString sysfsRoot = QStringLiteral("/sys"));

    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;

private:
    QString root;
};
