#include "link/sysfsinventory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

using DeviceTable = QMap<QPair<int, int>, QString>; // (product, vendor) -> description

class TestInventory : public QObject {
    Q_OBJECT

private slots:
    void sysfsTree();
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
        for (int i = 0; i < 3; ++i) {
            QFile file(dir + "/" + attributes[i]);
            if (!device[i + 1].isNull())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(device[i + 1]) >= 0);
        }
    }

    QCOMPARE(SysfsInventory(root.path()).enumerateBrandDevices("USB", "Kelvanto"),
             (DeviceTable{{{0x7A01, 0x1209}, "Kelvanto MIDI Router"},
                          {{0x7A01, 0x16C0}, "Kelvanto Other Vendor"},
                          {{0xEF01, 0xABCD}, "Kelvanto Upper"},
                          {{2, 9}, "Kelvanto Padded"}}));
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
