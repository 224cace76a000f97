#include "link/deviceinventory.h"
#include "link/sysfsinventory.h"
#include "link/usbinstanceid.h"

#include <QDir>
#include <QFile>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

using DeviceTable = QMap<QPair<int, int>, QString>;

const QString brand = QStringLiteral("Kelvanto");

// One USB device directory of a fake sysfs tree; attributes left null are not created.
struct FakeDevice {
    QString entry;
    QByteArray product;
    QByteArray idVendor;
    QByteArray idProduct;
};

void writeTree(const QString &root, const QList<FakeDevice> &devices) {
    for (const FakeDevice &device : devices) {
        const QString dir = root + "/bus/usb/devices/" + device.entry;
        QVERIFY(QDir().mkpath(dir));
        const QList<QPair<QString, QByteArray>> attributes = {{"product", device.product},
                                                              {"idVendor", device.idVendor},
                                                              {"idProduct", device.idProduct}};
        for (const auto &[name, value] : attributes) {
            if (value.isNull())
                continue;
            QFile file(dir + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(value);
        }
    }
}

// Readable in a failure message, unlike the map itself.
QStringList describe(const DeviceTable &table) {
    QStringList lines;
    for (auto it = table.constBegin(); it != table.constEnd(); ++it)
        lines << QString("%1:%2 %3")
                     .arg(it.key().first, 0, 16)
                     .arg(it.key().second, 0, 16)
                     .arg(it.value());
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(FakeDevice)

class TestInventory : public QObject {
    Q_OBJECT

private slots:
    void sysfsTree_data();
    void sysfsTree();
    void sysfsAsksOnlyForUsb();
    void sysfsWithoutTreeIsEmpty();
    void instanceId_data();
    void instanceId();
    void seamReplacesAndRestoresThePlatformInventory();
};

void TestInventory::sysfsTree_data() {
    QTest::addColumn<QList<FakeDevice>>("devices");
    QTest::addColumn<DeviceTable>("expected");

    QTest::newRow("brand device, root hub and interface")
        << QList<FakeDevice>{{"usb1", "xHCI Host Controller\n", "1d6b\n", "0002\n"},
                             {"1-1", "Kelvanto MIDI Router\n", "1209\n", "7a01\n"},
                             {"1-1:1.0", {}, {}, {}}}
        << DeviceTable{{{0x7A01, 0x1209}, "Kelvanto MIDI Router"}};
    QTest::newRow("prefix is case-sensitive and must be whole")
        << QList<FakeDevice>{{"1-1", "kelvanto Router\n", "1209\n", "0001\n"},
                             {"1-2", "KELVANTO Router\n", "1209\n", "0002\n"},
                             {"1-3", "Kelvant\n", "1209\n", "0003\n"},
                             {"1-4", " Kelvanto Router\n", "1209\n", "0004\n"},
                             {"1-5", "Kelvanto\n", "1209\n", "0005\n"},
                             {"1-6", "KelvantoX\n", "1209\n", "0006\n"}}
        << DeviceTable{{{5, 0x1209}, "Kelvanto"}, {{6, 0x1209}, "KelvantoX"}};
    // Created out of order: the directory is read sorted by name.
    QTest::newRow("duplicate key: first by name wins")
        << QList<FakeDevice>{{"3-2", "Kelvanto Third\n", "1209\n", "7a01\n"},
                             {"1-10", "Kelvanto First\n", "1209\n", "7a01\n"},
                             {"2-1", "Kelvanto Second\n", "1209\n", "7a01\n"},
                             {"2-2", "Kelvanto Other Key\n", "1209\n", "7a02\n"}}
        << DeviceTable{{{0x7A01, 0x1209}, "Kelvanto First"},
                       {{0x7A02, 0x1209}, "Kelvanto Other Key"}};
    QTest::newRow("same product id, other vendor is another key")
        << QList<FakeDevice>{{"1-1", "Kelvanto A\n", "1209\n", "0001\n"},
                             {"1-2", "Kelvanto B\n", "16c0\n", "0001\n"}}
        << DeviceTable{{{1, 0x1209}, "Kelvanto A"}, {{1, 0x16C0}, "Kelvanto B"}};
    QTest::newRow("missing attributes")
        << QList<FakeDevice>{{"1-1", {}, "1209\n", "0001\n"},
                             {"1-2", "Kelvanto No Vendor\n", {}, "0002\n"},
                             {"1-3", "Kelvanto No Product Id\n", "1209\n", {}},
                             {"1-4", "Kelvanto Empty Ids\n", "", ""},
                             {"1-5", "Kelvanto Complete\n", "1209\n", "0005\n"}}
        << DeviceTable{{{5, 0x1209}, "Kelvanto Complete"}};
    QTest::newRow("odd hex") << QList<FakeDevice>{{"1-1", "Kelvanto Upper\n", "ABCD\n", "EF01\n"},
                                                  {"1-2", "Kelvanto Padded\n", " 1209 \n",
                                                   "\t0002\n"},
                                                  {"1-3", "Kelvanto No Newline", "1209", "0003"},
                                                  {"1-4", "Kelvanto Not Hex\n", "12g9\n", "0004\n"},
                                                  {"1-5", "Kelvanto Words\n", "1209\n", "none\n"},
                                                  {"1-6", "Kelvanto Short\n", "9\n", "6\n"}}
                             << DeviceTable{{{0xEF01, 0xABCD}, "Kelvanto Upper"},
                                            {{2, 0x1209}, "Kelvanto Padded"},
                                            {{3, 0x1209}, "Kelvanto No Newline"},
                                            {{6, 9}, "Kelvanto Short"}};
    // The description is kept as the device reports it; only the line end sysfs adds goes.
    QTest::newRow("odd characters in descriptions")
        << QList<FakeDevice>{{"1-1", "Kelvanto Router \xE2\x9C\x93 \xC3\x9C\n", "1209\n", "0001\n"},
                             {"1-2", "Kelvanto \xF0\x9F\x8E\xB9 Keys  \n", "1209\n", "0002\n"},
                             {"1-3", "Kelvanto Two Lines\n\n", "1209\n", "0003\n"},
                             {"1-4", "Kelvanto \xFF\xFE bytes\r\n", "1209\n", "0004\n"},
                             {"1-5", "\xEF\xBB\xBFKelvanto With Mark\n", "1209\n", "0005\n"}}
        << DeviceTable{{{1, 0x1209}, QString::fromUtf8("Kelvanto Router \xE2\x9C\x93 \xC3\x9C")},
                       {{2, 0x1209}, QString::fromUtf8("Kelvanto \xF0\x9F\x8E\xB9 Keys  ")},
                       {{3, 0x1209}, "Kelvanto Two Lines\n"},
                       {{4, 0x1209}, QString::fromUtf8("Kelvanto \xFF\xFE bytes\r")}};
}

void TestInventory::sysfsTree() {
    QFETCH(QList<FakeDevice>, devices);
    QFETCH(DeviceTable, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    writeTree(root.path(), devices);

    SysfsInventory inventory(root.path());
    QCOMPARE(describe(inventory.enumerateBrandDevices("USB", brand)), describe(expected));
}

void TestInventory::sysfsAsksOnlyForUsb() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    writeTree(root.path(), {{"1-1", "Kelvanto MIDI Router\n", "1209\n", "7a01\n"}});
    SysfsInventory inventory(root.path());

    QCOMPARE(inventory.enumerateBrandDevices("USB", brand).size(), 1);
    for (const QString &other : {"PCI", "usb", "HID", ""})
        QVERIFY2(inventory.enumerateBrandDevices(other, brand).isEmpty(), qPrintable(other));
}

void TestInventory::sysfsWithoutTreeIsEmpty() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(SysfsInventory(root.path() + "/missing").enumerateBrandDevices("USB", brand).isEmpty());
    QVERIFY(SysfsInventory(root.path()).enumerateBrandDevices("USB", brand).isEmpty());
}

void TestInventory::instanceId_data() {
    QTest::addColumn<QString>("instanceId");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");

    QTest::newRow("plain") << "USB\\VID_1209&PID_7A01\\5&2F3A1B&0&1" << 0x1209 << 0x7A01;
    QTest::newRow("composite interface")
        << "USB\\VID_1209&PID_7A01&MI_00\\6&1&0&0000" << 0x1209 << 0x7A01;
    QTest::newRow("last token wins")
        << "USB\\VID_1111&PID_2222\\VID_3333#PID_4444&VID_5555" << 0x5555 << 0x4444;
    QTest::newRow("no digits") << "USB\\VID_&PID_XYZ\\1" << 0 << 0;
    QTest::newRow("missing tokens") << "ROOT_HUB30\\4&2A8F&0&0" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
    QTest::newRow("lower-case hex") << "USB\\VID_abcd&PID_ef01" << 0xABCD << 0xEF01;
    QTest::newRow("digits end at the first other character")
        << "USB\\VID_12G4&PID_0A.7\\x" << 0x12 << 0x0A;
    QTest::newRow("hash and ampersand separate") << "VID_00FF#PID_0100" << 0xFF << 0x100;
    QTest::newRow("backslash separates") << "VID_0001\\PID_0002" << 1 << 2;
    QTest::newRow("prefix inside a token does not count")
        << "USB\\XVID_1234&APID_5678\\VID_1234_PID_5678" << 0x1234 << 0;
    QTest::newRow("a later token without digits still wins") << "USB\\VID_1209&VID_zz" << 0 << 0;
    QTest::newRow("prefix is case-sensitive") << "USB\\vid_1209&Pid_7a01" << 0 << 0;
    QTest::newRow("too many digits keep the low 32 bits")
        << "USB\\VID_1234567890ABCDEF&PID_7A01" << int(0x90ABCDEF) << 0x7A01;
}

void TestInventory::instanceId() {
    QFETCH(QString, instanceId);
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    const UsbInstanceId ids = parseUsbInstanceId(instanceId.toStdU16String());
    QCOMPARE(ids.vendorId, vendorId);
    QCOMPARE(ids.productId, productId);
}

void TestInventory::seamReplacesAndRestoresThePlatformInventory() {
    DeviceInventory *platform = deviceInventory();
    QVERIFY(platform);
    QVERIFY(dynamic_cast<SysfsInventory *>(platform));

    SysfsInventory replacement(QStringLiteral("/nonexistent"));
    setDeviceInventory(&replacement);
    QCOMPARE(deviceInventory(), static_cast<DeviceInventory *>(&replacement));
    setDeviceInventory(nullptr);
    QCOMPARE(deviceInventory(), platform);

    QStringList expected;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        expected << info.portName();
    QStringList listed;
    for (const SerialPortEntry &port : platform->availablePorts())
        listed << port.portName;
    QCOMPARE(listed, expected);
}

QTEST_GUILESS_MAIN(TestInventory)
#include "tst_inventory.moc"
