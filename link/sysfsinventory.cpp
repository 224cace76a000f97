#include "link/sysfsinventory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QStringDecoder>
#else
#include <QTextCodec>
#endif
#include <algorithm>
#include <optional>

#include <unistd.h>

namespace {

const QString usbEnumerator = QStringLiteral("USB");

std::optional<QByteArray> readAttribute(const QDir &device, const QString &name) {
    QFile file(device.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray value = file.readAll();
    if (value.endsWith('\n'))
        value.chop(1);
    return value;
}

// Read the way the serial library reads the same attributes, so that keys match its
// vendorIdentifier()/productIdentifier(). A value that is no number makes the device unusable:
// taking it as 0 would pair it with every serial port that has no USB identifiers.
// The kernel gives the USB string descriptor as UTF-8. A leading byte-order mark is part of
// what the device reports (fromUtf8() would drop it), so it is decoded as text too.
QString decodeDescription(const QByteArray &utf8) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
#else
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return QTextCodec::codecForName("UTF-8")->toUnicode(utf8.constData(), utf8.size(), &state);
#endif
}

std::optional<int> readHexAttribute(const QDir &device, const QString &name) {
    const std::optional<QByteArray> text = readAttribute(device, name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = QString::fromLatin1(text->trimmed()).toInt(&ok, 16);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

SysfsInventory::SysfsInventory(QString sysfsRoot)
    : root(std::move(sysfsRoot)) {}

QMap<QPair<int, int>, QString> SysfsInventory::enumerateBrandDevices(const QString &enumerator,
                                                                     const QString &brandPrefix) {
    QMap<QPair<int, int>, QString> table;
    if (enumerator != usbEnumerator)
        return table;
    const QDir devicesDir(root + QStringLiteral("/bus/usb/devices"));
    // Sorted by name, so that "first seen" means the same device at every scan.
    const QStringList entries = devicesDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        const QDir device(devicesDir.filePath(entry));
        const std::optional<QByteArray> product = readAttribute(device, QStringLiteral("product"));
        if (!product)
            continue;
        const QString description = decodeDescription(*product);
        if (!description.startsWith(brandPrefix, Qt::CaseSensitive))
            continue;
        const std::optional<int> vendorId = readHexAttribute(device, QStringLiteral("idVendor"));
        const std::optional<int> productId = readHexAttribute(device, QStringLiteral("idProduct"));
        if (!vendorId || !productId)
            continue;
        const QPair<int, int> key(*productId, *vendorId);
        if (!table.contains(key))
            table.insert(key, description);
    }
    return table;
}

// Read from sysfs rather than asked of the serial library: through udev, that lists every tty
// of the machine and reads each one's whole device record, which took longer than the rest of
// the window's first scan. The ids are those of the USB device a port's device belongs to, as
// the serial library gives them, and so is its serial number where it reports one; the order
// is that of the ports' device paths, as udev's.
QList<SerialPortEntry> SysfsInventory::availablePorts() {
    const QDir ttys(root + QStringLiteral("/class/tty"));
    const QString devices = QDir(root + QStringLiteral("/devices")).canonicalPath() + '/';
    QList<QPair<QString, SerialPortEntry>> ports; // by the tty's device path
    for (const QString &name : ttys.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        // Virtual terminals and pseudo-terminals have no device; a port's device is a USB
        // interface or a port below one, inside the USB device that holds the ids.
        QString device =
            QFileInfo(ttys.filePath(name) + QStringLiteral("/device")).canonicalFilePath();
        while (device.startsWith(devices) &&
               !QFileInfo::exists(device + QStringLiteral("/idVendor")))
            device.truncate(device.lastIndexOf('/'));
        if (!device.startsWith(devices))
            continue;
        const QDir usbDevice(device);
        const std::optional<int> vendorId = readHexAttribute(usbDevice, QStringLiteral("idVendor"));
        const std::optional<int> productId =
            readHexAttribute(usbDevice, QStringLiteral("idProduct"));
        const QString serial = QString::fromUtf8(
            readAttribute(usbDevice, QStringLiteral("serial")).value_or(QByteArray()));
        if (vendorId && productId)
            ports.append({QFileInfo(ttys.filePath(name)).canonicalFilePath(),
                          {name, *vendorId, *productId, serial}});
    }
    std::sort(ports.begin(), ports.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<SerialPortEntry> entries;
    for (const auto &port : qAsConst(ports))
        entries.append(port.second);
    return entries;
}

bool SysfsInventory::mayOpenPort(const QString &portName) {
    // As the serial library does, a name that is no path is a device under /dev.
    const QString path = portName.startsWith('/') ? portName : QStringLiteral("/dev/") + portName;
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}
