#include "link/platforminventory.h"

#include <QSerialPortInfo>

QList<SerialPortEntry> PlatformInventory::availablePorts() {
    QList<SerialPortEntry> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.vendorIdentifier(), info.productIdentifier(),
                      info.serialNumber()});
    return ports;
}
