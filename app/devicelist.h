#pragma once

#include <QObject>
#include <QString>

class QComboBox;
struct FoundRouter;

// The header's device list: the routers found among the serial ports, each entry the USB
// device's description with its serial port and its USB serial number as data. A scan adds the
// routers that came, lets an entry follow its device to another port, and removes the entries of
// routers that went.
class DeviceList : public QObject {
    Q_OBJECT
public:
    explicit DeviceList(QComboBox &list);

    void scan();
    QString chosenName() const;
    QString chosenPort() const;
    // The router of the connection, empty while there is none.
    QString connectedName() const { return connected; }
    QString connectedSerialNumber() const { return connectedSerial; }
    void setConnected(const QString &name);

signals:
    // The connected router is no longer on the port of the connection.
    void connectedRouterGone();

private:
    void follow(const FoundRouter &router);
    int entry(const QString &name) const;

    QComboBox &list;
    QString connected;
    QString connectedSerial;
};
