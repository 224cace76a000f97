#include "cli/inventoryfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The members name, vendorId and productId of every element of array, in order; false when
// one is missing or of another type. An optional serialNumber is read as empty when missing.
bool readEntries(const QJsonValue &array, const QString &name,
                 const std::function<void(const QString &, int, int, const QString &)> &take) {
    if (!array.isArray())
        return false;
    for (const QJsonValue &element : array.toArray()) {
        const QJsonObject entry = element.toObject();
        const QJsonValue text = entry.value(name);
        const QJsonValue vendor = entry.value("vendorId");
        const QJsonValue product = entry.value("productId");
        if (!text.isString() || !vendor.isDouble() || !product.isDouble())
            return false;
        take(text.toString(), vendor.toInt(), product.toInt(),
             entry.value("serialNumber").toString());
    }
    return true;
}

} // namespace

std::unique_ptr<InventoryFile> InventoryFile::load(const QString &path, QString &error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the inventory %1: %2").arg(path, file.errorString());
        return nullptr;
    }
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    auto inventory = std::make_unique<InventoryFile>();
    const bool read =
        readEntries(root.value("devices"), "description",
                    [&](const QString &text, int vendor, int product, const QString &) {
                        inventory->devices.append({text, vendor, product});
                    }) &&
        readEntries(root.value("ports"), "portName",
                    [&](const QString &text, int vendor, int product, const QString &serial) {
                        inventory->ports.append({text, vendor, product, serial});
                    });
    if (!read) {
        error = QStringLiteral("the inventory %1 is not of the inventory form").arg(path);
        return nullptr;
    }
    return inventory;
}

QMap<QPair<int, int>, QString> InventoryFile::enumerateBrandDevices(const QString &,
                                                                    const QString &brandPrefix) {
    QMap<QPair<int, int>, QString> table;
    for (const Device &device : qAsConst(devices)) {
        const QPair<int, int> key(device.productId, device.vendorId);
        if (device.description.startsWith(brandPrefix) && !table.contains(key))
            table.insert(key, device.description);
    }
    return table;
}
