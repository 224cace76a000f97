#include "link/sysfsinventory.h"
#include "link/usbinstanceid.h"
#include "tests/link/instanceidcases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

namespace {

using DeviceTable = QMap<QPair<int, int>, QString>; // (product, vendor) -> description

// A USB device directory of a fake sysfs tree: name, product, idVendor, idProduct. A null
// attribute is not created.
using FakeDevice = std::array<QByteArray, 4>;
using Tree = QList<FakeDevice>;

void writeTree(const QString &root, const Tree &devices) {
    const char *attributes[] = {"product", "idVendor", "idProduct"};
    for (const FakeDevice &device : devices) {
        const QString dir = root + "/bus/usb/devices/" + device[0];
        QVERIFY(QDir().mkpath(dir));
        for (int i = 0; i < 3; ++i) {
            QFile file(dir + "/" + attributes[i]);
            if (!device[i + 1].isNull())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(device[i + 1]) >= 0);
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(FakeDevice)

class TestInventory : public QObject {
    Q_OBJECT

private slots:
    void sysfsTree_data();
    void sysfsTree();
    void portAccess();
    void instanceId_data();
    void instanceId();
};

void TestInventory::sysfsTree_data() {
    QTest::addColumn<Tree>("devices");
    QTest::addColumn<DeviceTable>("expected");

    QTest::newRow("brand, other and incomplete devices")
        << Tree{{"usb1", "xHCI Host Controller\n", "1d6b\n", "0002\n"},
                {"1-1", "Kelvanto MIDI Router\n", "1209\n", "7a01\n"},
                {"1-1:1.0", {}, {}, {}},
                {"1-2", "kelvanto lower case\n", "1209\n", "0002\n"},
                {"1-3", "Kelvanto No Vendor\n", {}, "0005\n"},
                {"1-4", "Kelvanto Empty Ids\n", "", ""}}
        << DeviceTable{{{0x7A01, 0x1209}, "Kelvanto MIDI Router"}};
    // Created out of order: the directory is read sorted by name.
    QTest::newRow("first by name wins, odd hex")
        << Tree{{"3-2", "Kelvanto Third\n", "1209\n", "7a01\n"},
                {"1-10", "Kelvanto First\n", "1209\n", "7a01\n"},
                {"2-1", "Kelvanto Other Vendor\n", "16c0\n", "7a01\n"},
                {"4-1", "Kelvanto Upper\n", "ABCD\n", "EF01\n"},
                {"4-2", "Kelvanto Padded\n", " 9 \n", "\t2\n"},
                {"4-3", "Kelvanto Not Hex\n", "12g9\n", "4\n"}}
        << DeviceTable{{{0x7A01, 0x1209}, "Kelvanto First"},
                       {{0x7A01, 0x16C0}, "Kelvanto Other Vendor"},
                       {{0xEF01, 0xABCD}, "Kelvanto Upper"},
                       {{2, 9}, "Kelvanto Padded"}};
}

void TestInventory::sysfsTree() {
    QFETCH(Tree, devices);
    QFETCH(DeviceTable, expected);
    QTemporaryDir root;
    writeTree(root.path(), devices);

    QCOMPARE(SysfsInventory(root.path()).enumerateBrandDevices("USB", "Kelvanto"), expected);
}

// A bare port name is a device under /dev; a device this user cannot read and write is refused.
void TestInventory::portAccess() {
    SysfsInventory inventory;
    QVERIFY(inventory.mayOpenPort("null"));
    QVERIFY(inventory.mayOpenPort("/dev/null"));
    QVERIFY(!inventory.mayOpenPort("pellvane-no-such-port"));
    QTemporaryFile readOnly;
    QVERIFY(readOnly.open());
    QVERIFY(readOnly.setPermissions(QFileDevice::ReadOwner));
    // Root may write anywhere: the refusal of a read-only device shows only for other users.
    QCOMPARE(inventory.mayOpenPort(readOnly.fileName()), geteuid() == 0);
}

void TestInventory::instanceId_data() {
    QTest::addColumn<QString>("instanceId");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    for (const InstanceIdCase &c : InstanceIdCases)
        QTest::newRow(c.name) << QString::fromStdU16String(std::u16string(c.instanceId))
                              << c.vendorId << c.productId;
}

void TestInventory::instanceId() {
    QFETCH(QString, instanceId);
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    const UsbInstanceId ids = parseUsbInstanceId(instanceId.toStdU16String());
    QCOMPARE(ids.vendorId, vendorId);
    QCOMPARE(ids.productId, productId);
}

QTEST_GUILESS_MAIN(TestInventory)
#include "tst_inventory.moc"
