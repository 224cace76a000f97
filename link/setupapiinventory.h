#pragma once

#include "link/platforminventory.h"

// The Windows inventory: brand devices from the Setup API walk.
class SetupApiInventory : public PlatformInventory {
public:
    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                         const QString &brandPrefix) override;
};
