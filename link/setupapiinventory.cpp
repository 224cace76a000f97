#include "link/setupapiinventory.h"

#include "link/setupapiwalk.h"

QMap<QPair<int, int>, QString>
SetupApiInventory::enumerateBrandDevices(const QString &enumerator, const QString &brandPrefix) {
    QMap<QPair<int, int>, QString> table;
    const BrandDeviceTable devices =
        setupApiBrandDevices(enumerator.toStdU16String(), brandPrefix.toStdU16String());
    for (const auto &[key, description] : devices)
        table.insert({key.first, key.second}, QString::fromStdU16String(description));
    return table;
}
