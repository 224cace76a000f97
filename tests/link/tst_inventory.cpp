#include "link/sysfsinventory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

using DeviceTable = QMap<QPair<int, int>, QString>; // (product, vendor) -> description

static bool writeFile(const QString &path, const QByteArray &text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

class TestInventory : public QObject {
    Q_OBJECT

private slots:
    void sysfsTree();
    void usbPorts();
    void portAccess();
};

// USB device directories of a fake sysfs tree, created out of order: the directory is read
// sorted by name, so the first of several devices with the same ids is "1-1".
void TestInventory::sysfsTree() {
    // name, product, idVendor, idProduct; a null attribute is not created
    const QList<std::array<QByteArray, 4>> devices = {
        {"3-2", "Kelvanto Third\n", "1209\n", "7a01\n"},
        {"1-1", "Kelvanto MIDI Router\n", "1209\n", "7a01\n"},
        {"1-2", "kelvanto lower case\n", "1209\n", "0002\n"},
        {"1-3", "Kelvanto No Vendor\n", {}, "0005\n"},
        {"1-4", "Kelvanto Empty Ids\n", "", ""},
        {"2-1", "Kelvanto Other Vendor\n", "16c0\n", "7a01\n"},
        {"4-1", "Kelvanto Upper\n", "ABCD\n", "EF01\n"},
        {"4-2", "Kelvanto Padded\n", " 9 \n", "\t2\n"},
        {"4-3", "Kelvanto Not Hex\n", "12g9\n", "4\n"}};
    QTemporaryDir root;
    const char *attributes[] = {"product", "idVendor", "idProduct"};
    for (const auto &device : devices) {
        const QString dir = root.path() + "/bus/usb/devices/" + device[0];
        QVERIFY(QDir().mkpath(dir));
        for (int i = 0; i < 3; ++i)
            QVERIFY(device[i + 1].isNull() || writeFile(dir + "/" + attributes[i], device[i + 1]));
    }

    QCOMPARE(SysfsInventory(root.path()).enumerateBrandDevices("USB", "Kelvanto"),
             (DeviceTable{{{0x7A01, 0x1209}, "Kelvanto MIDI Router"},
                          {{0x7A01, 0x16C0}, "Kelvanto Other Vendor"},
                          {{0xEF01, 0xABCD}, "Kelvanto Upper"},
                          {{2, 9}, "Kelvanto Padded"}}));
}

// A port has the ids and the serial number (if any) of the USB device above its device; the ports
// come in the order of their device paths, not of their names. Ports with no device, or no USB
// device above it, are left out.
void TestInventory::usbPorts() {
    QTemporaryDir root;
    const QString usb = root.path() + "/devices/pci0/usb1", other = root.path() + "/devices";
    for (const auto &[dir, ids] : {std::pair<QString, QByteArray>{usb, "1d6b0002"},
                                   {usb + "/1-1", "12097a01"},
                                   {usb + "/1-2", "16c00483\n"}})
        QVERIFY(QDir().mkpath(dir) && writeFile(dir + "/idVendor", ids.left(4)) &&
                writeFile(dir + "/idProduct", ids.mid(4)));
    QVERIFY(writeFile(usb + "/1-1/serial", "K-0042\n"));
    const QList<std::array<QString, 3>> ttys = {
        // name, directory, device
        {"ttyACM0", usb + "/1-1/1-1:1.2/tty/ttyACM0", usb + "/1-1/1-1:1.2"},
        {"ttyACM1", usb + "/1-1/1-1:1.0/tty/ttyACM1", usb + "/1-1/1-1:1.0"},
        {"ttyUSB0", usb + "/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0", usb + "/1-2/1-2:1.0/ttyUSB0"},
        {"ttyS0", other + "/platform/serial8250/tty/ttyS0", other + "/platform/serial8250"},
        {"tty0", other + "/virtual/tty/tty0", {}}};
    QVERIFY(QDir().mkpath(root.path() + "/class/tty"));
    for (const auto &[name, dir, device] : ttys)
        QVERIFY(QDir().mkpath(dir) && QFile::link(dir, root.path() + "/class/tty/" + name) &&
                (device.isEmpty() || QFile::link(device, dir + "/device")));

    QStringList found;
    for (const SerialPortEntry &port : SysfsInventory(root.path()).availablePorts())
        found << QString("%1 %2 %3 %4")
                     .arg(port.portName)
                     .arg(port.vendorId, 0, 16)
                     .arg(port.productId, 0, 16)
                     .arg(port.serialNumber);
    QCOMPARE(found, QStringList({"ttyACM1 1209 7a01 K-0042", "ttyACM0 1209 7a01 K-0042",
                                 "ttyUSB0 16c0 483 "}));
}

// A bare port name is a device under /dev; a device this user cannot read and write is refused.
// ctest runs this as user nobody where it can, so that the refusal is a real one.
void TestInventory::portAccess() {
    SysfsInventory inventory;
    QVERIFY(inventory.mayOpenPort("null"));
    QVERIFY(!inventory.mayOpenPort("pellvane-no-such-port"));
    QTemporaryFile readOnly;
    QVERIFY(readOnly.open());
    QVERIFY(readOnly.setPermissions(QFileDevice::ReadOwner));
    QCOMPARE(inventory.mayOpenPort(readOnly.fileName()), geteuid() == 0); // root may write anywhere
}

QTEST_GUILESS_MAIN(TestInventory)
#include "tst_inventory.moc"
