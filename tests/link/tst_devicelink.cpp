#include "link/sysexframe.h"
#include "tests/support/filtertable.h"
#include "tests/support/routerbench.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

namespace {

using SysexFrame::query;
using DeviceTable = QMap<QPair<int, int>, QString>; // (product, vendor) -> description

const QPair<int, int> routerKey(0x7A01, 0x1209);
const QPair<int, int> synthKey(0x0042, 0x16C0);
const QPair<int, int> otherKey(0x1000, 0x2000);
const QString router = QString::fromUtf8("Kelvanto Router \xE2\x9C\x93 <&> (rev. B) ");
const QString NotConnected = "Not connected";
const QString Unplugged = "The router was unplugged";

// "text -> port name" for every entry of the device list, in order.
QStringList entries(RouterBench &bench) {
    auto *devices = bench.find<QComboBox>("ComboBox_Devices");
    QStringList list;
    for (int i = 0; i < devices->count(); ++i)
        list << devices->itemText(i) + " -> " + devices->itemData(i).toString();
    return list;
}

void rescan(RouterBench &bench, const DeviceTable &devices, const QList<SerialPortEntry> &ports) {
    bench.inventory.devices = devices;
    bench.inventory.ports = ports;
    bench.access().initPort();
}

QString statusLine(RouterBench &bench) {
    return bench.find<QLabel>("label_status")->text();
}

// Either wholly connected to the router, or wholly disconnected with none of its state left;
// the status line says which, and why when disconnected.
void verifyState(RouterBench &bench, bool connected,
                 const QString &disconnectedStatus = NotConnected) {
    WidgetTestAccess w = bench.access();
    QCOMPARE(w.serialPort()->isOpen(), connected);
    QCOMPARE(statusLine(bench),
             connected ? "Connected to Kelvanto MIDI Router (simulated) on " + bench.sim.slavePath()
                       : disconnectedStatus);
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(),
             QString(connected ? "Disconnect" : "Connect"));
    QCOMPARE(bench.find<QComboBox>("ComboBox_Devices")->isEnabled(), !connected);
    QCOMPARE(w.currentDeviceName(), connected ? RouterBench::DeviceName : QString());
    if (connected) {
        QCOMPARE(w.serialPort()->baudRate(), 115200);
        return;
    }
    QVERIFY(w.inputButtons().isEmpty() && w.routeMap().isEmpty() && w.portFilters().isEmpty());
    QCOMPARE(FilterTable::shownBoxes(bench.window()), QStringList());
}

} // namespace

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    void scanListsKeepsAndDropsEntries();
    void connectRequeryDisconnect();
    void hangUpDisconnectsWithoutSpinning();
    void entryFollowsAReplug();
    void refusedPortSaysHowToGetAccess();
    void monitorScansAtOnce();
};

// Entries carry the full description and the port name; a connect that cannot start says why.
void TestDeviceLink::scanListsKeepsAndDropsEntries() {
    RouterBench bench;
    // ttyACM1 has vendor and product swapped; ttyACM2 belongs to another brand's device.
    rescan(bench, {{routerKey, router}, {otherKey, "Other MIDI Router"}},
           {{"ttyACM1", 0x7A01, 0x1209},
            {"ttyACM2", 0x2000, 0x1000},
            {"ttyACM3", 0x1209, 0x7A01},
            {"ttyACM0", 0x1209, 0x7A01}});
    QCOMPARE(entries(bench), QStringList{router + " -> ttyACM3"});

    // The router keeps its port while that is still one of its own.
    const DeviceTable both = {{routerKey, router}, {synthKey, "Kelvanto Synth"}};
    rescan(bench, both,
           {{"ttyACM5", 0x16C0, 0x0042}, {"ttyACM0", 0x1209, 0x7A01}, {"ttyACM3", 0x1209, 0x7A01}});
    QCOMPARE(entries(bench), (QStringList{router + " -> ttyACM3", "Kelvanto Synth -> ttyACM5"}));
    rescan(bench, {{synthKey, "Kelvanto Synth"}}, {{"ttyACM5", 0x16C0, 0x0042}});
    QCOMPARE(entries(bench), QStringList{"Kelvanto Synth -> ttyACM5"});
    rescan(bench, both, {{"ttyACM9", 0x1209, 0x7A01}}); // one device's port goes
    QCOMPARE(entries(bench), QStringList{router + " -> ttyACM9"});

    bench.find<QPushButton>("pushButton")->click(); // there is no ttyACM9
    const QString error = bench.access().serialPort()->errorString();
    rescan(bench, {}, {});
    bench.find<QPushButton>("pushButton")->click();
    QCOMPARE(bench.answerer.messages(), (QStringList{"Failed to open port : " + error,
                                                     "Make sure there is a port connection"}));
    QVERIFY(!error.isEmpty());
    verifyState(bench, false);
}

// A connect on the filter page asks for the routing state again at the next page change, once;
// the filter port list is kept, so that re-query stops before the filter reports.
void TestDeviceLink::connectRequeryDisconnect() {
    RouterBench bench;
    bench.sim.setRoutes({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}});
    bench.sim.setFilter({0, 1}, FilterBytes{0x7F});
    auto *tabs = bench.find<QTabWidget>("tabWidget");
    const auto sentAtPageChange = [&](int page, int expected) {
        bench.sim.clearReceived();
        tabs->setCurrentIndex(page);
        bench.waitForFrames(expected);
        QTest::qWait(100);
        return bench.sent();
    };
    tabs->setCurrentIndex(1);
    QVERIFY(bench.connectAndWait());
    verifyState(bench, true);
    QCOMPARE(bench.sent().first(), QByteArray::fromHex("f000215e010301f7"));
    QCOMPARE(sentAtPageChange(0, 4), (QList<QByteArray>{query(1), query(2), query(3), query(4)}));
    QCOMPARE(sentAtPageChange(1, 0), QList<QByteArray>{});
    QVERIFY(bench.access().routeMap().size() == 2 &&
            !FilterTable::shownBoxes(bench.window()).isEmpty());

    bench.find<QPushButton>("pushButton")->click();
    verifyState(bench, false);
    tabs->setCurrentIndex(0);
    QVERIFY(bench.connectAndWait());
    QCOMPARE(sentAtPageChange(1, 0), QList<QByteArray>{});
}

// After a hang-up every read reports end of file; the window must let go of the port at once
// instead of spinning on the error. The status line follows every step.
void TestDeviceLink::hangUpDisconnectsWithoutSpinning() {
    RouterBench bench;
    verifyState(bench, false);
    QVERIFY(bench.connectAndWait());
    verifyState(bench, true);
    // Depending on the errno left over, a hung-up line may report a read error instead.
    emit bench.access().serialPort()->errorOccurred(QSerialPort::ReadError);
    verifyState(bench, false, Unplugged);
    QVERIFY(bench.connectAndWait());
    verifyState(bench, true);
    int errors = 0;
    connect(bench.access().serialPort(), &QSerialPort::errorOccurred, this, [&] { ++errors; });

    bench.sim.hangUp();
    QVERIFY(QTest::qWaitFor([&] { return !bench.access().serialPort()->isOpen(); }, 3000));
    verifyState(bench, false, Unplugged);
    QTest::qWait(300);
    QVERIFY2(errors < 10, qPrintable(QString::number(errors)));
    QVERIFY(bench.answerer.seen.isEmpty());

    // The news stays until the next connect; a user's Disconnect is no news.
    QVERIFY(bench.sim.start());
    bench.inventory.ports.first().portName = bench.sim.slavePath();
    bench.access().initPort();
    verifyState(bench, false, Unplugged);
    QVERIFY(bench.connectAndWait());
    verifyState(bench, true);
    bench.find<QPushButton>("pushButton")->click();
    verifyState(bench, false);
}

// A router plugged in again on another port between two scans: while disconnected its entry
// takes the new port, so "Connect" opens the router there; while connected through the old
// port the window lets go, as when the router vanishes.
void TestDeviceLink::entryFollowsAReplug() {
    RouterBench bench;
    rescan(bench, {{routerKey, RouterBench::DeviceName}}, {{"ttyACM3", 0x1209, 0x7A01}});
    rescan(bench, {{routerKey, RouterBench::DeviceName}},
           {{bench.sim.slavePath(), 0x1209, 0x7A01}});
    QCOMPARE(entries(bench), QStringList{RouterBench::DeviceName + " -> " + bench.sim.slavePath()});
    QVERIFY(bench.connectAndWait());
    QCOMPARE(bench.sent().first(), query(1));

    rescan(bench, {{routerKey, RouterBench::DeviceName}}, {{"ttyACM7", 0x1209, 0x7A01}});
    verifyState(bench, false, Unplugged);
    QCOMPARE(entries(bench), QStringList{RouterBench::DeviceName + " -> ttyACM7"});
}

// A port that another program holds is refused with the same error kind as one this user may
// not open; only a user without access is told how to get it. Other errors stay plain.
void TestDeviceLink::refusedPortSaysHowToGetAccess() {
    RouterBench bench;
    auto *button = bench.find<QPushButton>("pushButton");
    QSerialPort holder(bench.sim.slavePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    button->click();
    QSerialPort *port = bench.access().serialPort();
    QCOMPARE(port->error(), QSerialPort::PermissionError);
    const QString refused = "Failed to open port : " + port->errorString();
    bench.inventory.portsOpenable = false;
    button->click();
    holder.close();
    rescan(bench, {{routerKey, router}}, {{"ttyPellvaneNone", 0x1209, 0x7A01}});
    button->click();
    const QString missing = "Failed to open port : " + port->errorString();

    const QString advice =
        "This user may not use the router's serial port. Install the Pellvane package, whose "
        "udev rule gives the logged-in user access to the router, or add the user to the "
        "\"dialout\" group (sudo usermod -aG dialout $USER) and log in again. Then plug the "
        "router in again.";
    QCOMPARE(bench.answerer.messages(), (QStringList{refused, refused + "\n\n" + advice, missing}));
    QCOMPARE(port->error(), QSerialPort::DeviceNotFoundError);
    QVERIFY(!port->isOpen());
}

// A device plugged in is listed, and the connected router pulled out is let go, as soon as the
// monitor says so: the periodic scan is stopped here. The port is closed before the entry goes,
// and the status line, not a message box, says why.
void TestDeviceLink::monitorScansAtOnce() {
    RouterBench bench;
    bench.access().portScanTimer()->stop();
    const QString routerEntry = RouterBench::DeviceName + " -> " + bench.sim.slavePath();
    bench.inventory.devices.insert(synthKey, "Kelvanto Synth");
    bench.inventory.ports.append({"ttyACM5", 0x16C0, 0x0042});
    QCOMPARE(entries(bench), QStringList{routerEntry});
    emit bench.monitor.devicesChanged();
    QCOMPARE(entries(bench), (QStringList{routerEntry, "Kelvanto Synth -> ttyACM5"}));

    QVERIFY(bench.connectAndWait());
    QList<bool> openWhileRemoving;
    connect(bench.find<QComboBox>("ComboBox_Devices")->model(),
            &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [&] { openWhileRemoving << bench.access().serialPort()->isOpen(); });
    bench.inventory.ports.removeFirst();
    emit bench.monitor.devicesChanged();
    QCOMPARE(openWhileRemoving, QList<bool>{false});
    verifyState(bench, false, Unplugged);
    QCOMPARE(entries(bench), QStringList{"Kelvanto Synth -> ttyACM5"});
    QVERIFY(bench.answerer.seen.isEmpty());
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
