#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

struct SerialPortEntry {
    QString portName;  // what QSerialPort::setPortName() takes: a name such as ttyACM0, or a full
                       // device path
    int vendorId = 0;  // as QSerialPortInfo::vendorIdentifier()
    int productId = 0; // as QSerialPortInfo::productIdentifier()
    QString serialNumber; // the USB device's, as QSerialPortInfo::serialNumber(); empty if unknown
};

// Where the tool learns which USB devices and serial ports are present.
class DeviceInventory {
public:
    virtual ~DeviceInventory() = default;
    // Present USB devices whose bus-reported product description starts with brandPrefix:
    // key (productId, vendorId) -> full description; the first device seen with a key wins.
    virtual QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &enumerator,
                                                                 const QString &brandPrefix) = 0;
    // Serial ports in the order the serial library lists them.
    virtual QList<SerialPortEntry> availablePorts() = 0;
    // False when this user may not read and write the port's device; true wherever the
    // platform cannot tell, as on Windows, where a refused port is one that is in use.
    virtual bool mayOpenPort(const QString &portName);
};

DeviceInventory *deviceInventory(); // the inventory in use: the platform's own unless replaced
void setDeviceInventory(
    DeviceInventory *inventory); // nullptr restores the platform's own; caller keeps ownership

// A router on a serial port.
struct FoundRouter {
    QString name; // the USB device's product description
    QString portName;
    int vendorId = 0;
    int productId = 0;
    QString serialNumber;   // of the first port's USB device; empty when unknown
    QStringList otherPorts; // further ports listed for the same name, in order
};

// The serial ports whose vendor and product ids are those of a USB device described as a
// "Kelvanto" one, in the order the ports are listed, each named by its device's description.
// A name found on several ports is listed once, with the first of them as its port.
QList<FoundRouter> findRouters(DeviceInventory &inventory);
