#include "tests/support/routerbench.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTest>

namespace {

using DeviceTable = QMap<QPair<int, int>, QString>;
using PortList = QList<SerialPortEntry>;

// "text -> port name" for every entry of the device list, in order.
QStringList entries(QComboBox *devices) {
    QStringList list;
    for (int i = 0; i < devices->count(); ++i)
        list << devices->itemText(i) + " -> " + devices->itemData(i, Qt::UserRole).toString();
    return list;
}

const QPair<int, int> routerKey(0x7A01, 0x1209); // (product, vendor)
const QPair<int, int> synthKey(0x0042, 0x16C0);

// A bench whose inventory starts with what the test says instead of the simulated router.
struct ScanBench {
    RouterBench bench;
    QComboBox *devices = nullptr;

    ScanBench(const DeviceTable &table, const PortList &ports) {
        bench.inventory.devices = table;
        bench.inventory.ports = ports;
        devices = bench.find<QComboBox>("ComboBox_Devices");
    }
    void rescan(const DeviceTable &table, const PortList &ports) {
        bench.inventory.devices = table;
        bench.inventory.ports = ports;
        bench.access().initPort();
    }
};

} // namespace

Q_DECLARE_METATYPE(SerialPortEntry)

class TestDeviceScan : public QObject {
    Q_OBJECT

private slots:
    void firstScan_data();
    void firstScan();
    void scanAsksForUsbBrandDevices();
    void entryKeepsThePortItWasAddedWith();
    void vanishedDevicesAreRemoved();
    void vanishedConnectedDeviceIsDisconnectedFirst();
    void changingDeviceListNeverLeavesTheWindowHalfConnected();
};

void TestDeviceScan::firstScan_data() {
    QTest::addColumn<DeviceTable>("table");
    QTest::addColumn<PortList>("ports");
    QTest::addColumn<QStringList>("expected");

    const DeviceTable router = {{routerKey, "Kelvanto MIDI Router 4x4 (rev. B)"}};
    QTest::newRow("port listed under the full description")
        << router << PortList{{"ttyS0", 0, 0}, {"ttyACM0", 0x1209, 0x7A01}}
        << QStringList{"Kelvanto MIDI Router 4x4 (rev. B) -> ttyACM0"};
    QTest::newRow("brand device with no matching port")
        << router << PortList{{"ttyS0", 0, 0}, {"ttyUSB0", 0x0403, 0x6001}} << QStringList{};
    QTest::newRow("vendor and product are not interchangeable")
        << router << PortList{{"ttyACM0", 0x7A01, 0x1209}} << QStringList{};
    QTest::newRow("two ports with one key: the first listed")
        << router << PortList{{"ttyACM3", 0x1209, 0x7A01}, {"ttyACM0", 0x1209, 0x7A01}}
        << QStringList{"Kelvanto MIDI Router 4x4 (rev. B) -> ttyACM3"};
    QTest::newRow("entries in port order")
        << DeviceTable{{routerKey, "Kelvanto B Router"}, {synthKey, "Kelvanto A Synth"}}
        << PortList{{"ttyACM1", 0x1209, 0x7A01}, {"ttyACM0", 0x16C0, 0x0042}}
        << QStringList{"Kelvanto B Router -> ttyACM1", "Kelvanto A Synth -> ttyACM0"};
    QTest::newRow("two keys with one description: one entry")
        << DeviceTable{{routerKey, "Kelvanto Router"}, {synthKey, "Kelvanto Router"}}
        << PortList{{"ttyACM0", 0x16C0, 0x0042}, {"ttyACM1", 0x1209, 0x7A01}}
        << QStringList{"Kelvanto Router -> ttyACM0"};
    QTest::newRow("odd characters kept as they are")
        << DeviceTable{{routerKey,
                        QString::fromUtf8("Kelvanto \xE2\x9C\x93 \xF0\x9F\x8E\xB9 <&>  ")}}
        << PortList{{"/dev/pts/7", 0x1209, 0x7A01}}
        << QStringList{
               QString::fromUtf8("Kelvanto \xE2\x9C\x93 \xF0\x9F\x8E\xB9 <&>   -> /dev/pts/7")};
}

void TestDeviceScan::firstScan() {
    QFETCH(DeviceTable, table);
    QFETCH(PortList, ports);
    QFETCH(QStringList, expected);
    ScanBench scan(table, ports);

    QCOMPARE(entries(scan.devices), expected);
    QCOMPARE(scan.devices->currentIndex(), expected.isEmpty() ? -1 : 0);
    QVERIFY(scan.devices->itemIcon(0).isNull());
}

void TestDeviceScan::scanAsksForUsbBrandDevices() {
    ScanBench scan({}, {});
    scan.bench.access().initPort();
    QCOMPARE(scan.bench.inventory.enumeratorsAsked, (QStringList{"USB", "USB"}));
    QCOMPARE(scan.bench.inventory.prefixesAsked, (QStringList{"Kelvanto", "Kelvanto"}));
}

void TestDeviceScan::entryKeepsThePortItWasAddedWith() {
    const DeviceTable table = {{routerKey, "Kelvanto Router"}, {synthKey, "Kelvanto Synth"}};
    ScanBench scan(table, {{"ttyACM0", 0x1209, 0x7A01}});
    scan.rescan(table, {{"ttyACM5", 0x16C0, 0x0042}, {"ttyACM9", 0x1209, 0x7A01}});
    scan.devices->setCurrentIndex(1);
    scan.rescan(table, {{"ttyACM9", 0x1209, 0x7A01}, {"ttyACM6", 0x16C0, 0x0042}});

    QCOMPARE(entries(scan.devices),
             (QStringList{"Kelvanto Router -> ttyACM0", "Kelvanto Synth -> ttyACM5"}));
    QCOMPARE(scan.devices->currentIndex(), 1); // a scan never picks the entry itself
}

void TestDeviceScan::vanishedDevicesAreRemoved() {
    const DeviceTable table = {{routerKey, "Kelvanto Router"}, {synthKey, "Kelvanto Synth"}};
    const PortList both = {{"ttyACM0", 0x1209, 0x7A01}, {"ttyACM1", 0x16C0, 0x0042}};
    ScanBench scan(table, both);
    QCOMPARE(scan.devices->currentText(), QString("Kelvanto Router"));

    scan.rescan({{synthKey, "Kelvanto Synth"}}, both); // gone from the inventory
    QCOMPARE(entries(scan.devices), QStringList{"Kelvanto Synth -> ttyACM1"});
    QCOMPARE(scan.devices->currentText(), QString("Kelvanto Synth"));

    scan.rescan(table, {both.first()}); // its port gone
    QCOMPARE(entries(scan.devices), QStringList{"Kelvanto Router -> ttyACM0"});

    scan.rescan({}, both); // the inventory could not be read
    QCOMPARE(scan.devices->count(), 0);
    QVERIFY(scan.bench.answerer.seen.isEmpty());
}

void TestDeviceScan::vanishedConnectedDeviceIsDisconnectedFirst() {
    RouterBench bench;
    bench.inventory.devices.insert(synthKey, "Kelvanto Synth");
    bench.inventory.ports.append({"ttyACM1", 0x16C0, 0x0042});
    QVERIFY(bench.connectAndWait());
    WidgetTestAccess w = bench.access();
    auto *devices = bench.find<QComboBox>("ComboBox_Devices");
    QList<bool> openWhileRemoving;
    connect(devices->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [&] { openWhileRemoving << w.serialPort()->isOpen(); });

    bench.inventory.devices.remove({RouterBench::ProductId, RouterBench::VendorId});
    w.initPort();

    QCOMPARE(openWhileRemoving, QList<bool>{false});
    QCOMPARE(entries(devices), QStringList{"Kelvanto Synth -> ttyACM1"});
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(devices->isEnabled());
    QVERIFY(w.currentDeviceName().isEmpty());
    QVERIFY(w.inputButtons().isEmpty());
    QVERIFY(w.portFilters().isEmpty());
    QCOMPARE(bench.find<QComboBox>("comboBox_MiDiPorts")->count(), 0);
    QVERIFY(bench.answerer.seen.isEmpty());
}

// Devices come and go at every scan while the user connects and disconnects, sometimes in the
// middle of the query exchange. After every step the window is wholly in one of its two states.
void TestDeviceScan::changingDeviceListNeverLeavesTheWindowHalfConnected() {
    RouterBench bench;
    const QPair<int, int> simKey(RouterBench::ProductId, RouterBench::VendorId);
    const SerialPortEntry simPort = bench.inventory.ports.first();
    const QList<QPair<QPair<int, int>, QString>> others = {{synthKey, "Kelvanto Synth"},
                                                           {{0x0001, 0x1209}, "Kelvanto Pad"}};
    const PortList otherPorts = {{"/nonexistent/synth", 0x16C0, 0x0042},
                                 {"/nonexistent/pad", 0x1209, 0x0001}};
    WidgetTestAccess w = bench.access();
    auto *devices = bench.find<QComboBox>("ComboBox_Devices");
    auto *button = bench.find<QPushButton>("pushButton");
    QRandomGenerator random(7);
    int connectedSteps = 0;
    int disconnectsByScan = 0;

    for (int step = 0; step < 40; ++step) {
        DeviceTable table;
        PortList ports;
        if (random.bounded(3) != 0) {
            table.insert(simKey, RouterBench::DeviceName);
            ports << simPort;
        }
        for (int i = 0; i < others.size(); ++i) {
            if (random.bounded(2)) {
                table.insert(others[i].first, others[i].second);
                ports.insert(int(random.bounded(ports.size() + 1)), otherPorts[i]);
            }
        }
        bench.inventory.devices = table;
        bench.inventory.ports = ports;
        const bool wasOpen = w.serialPort()->isOpen();
        w.initPort();
        disconnectsByScan += wasOpen && !w.serialPort()->isOpen();

        switch (random.bounded(4)) {
        case 0: // connect and let the exchange finish
            if (!w.serialPort()->isOpen() && devices->currentText() == RouterBench::DeviceName)
                QVERIFY(bench.connectAndWait());
            break;
        case 1: // press the button and scan again at once
            devices->setCurrentIndex(int(random.bounded(qMax(1, devices->count()))));
            button->click();
            QTest::qWait(int(random.bounded(20)));
            break;
        default:
            break;
        }

        const QString where = QString("step %1").arg(step);
        const bool open = w.serialPort()->isOpen();
        QVERIFY2((button->text() == "Disconnect") == open, qPrintable(where));
        QVERIFY2(devices->isEnabled() != open, qPrintable(where));
        QVERIFY2(entries(devices).removeDuplicates() == 0, qPrintable(where));
        connectedSteps += open;
        if (open) {
            QCOMPARE(w.currentDeviceName(), RouterBench::DeviceName);
            QVERIFY2(devices->findText(RouterBench::DeviceName) >= 0, qPrintable(where));
        } else {
            QVERIFY2(w.inputButtons().isEmpty() && w.outputButtons().isEmpty(), qPrintable(where));
            QVERIFY2(w.routeMap().isEmpty() && w.portFilters().isEmpty(), qPrintable(where));
        }
    }
    QVERIFY(connectedSteps > 0);
    QVERIFY(disconnectsByScan > 0);
    for (const ModalAnswerer::Seen &seen : qAsConst(bench.answerer.seen))
        QVERIFY2(seen.text.startsWith("Failed to open port : ") ||
                     seen.text == "Make sure there is a port connection",
                 qPrintable(seen.text));
}

QTEST_MAIN(TestDeviceScan)
#include "tst_devicescan.moc"
