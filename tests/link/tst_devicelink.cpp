#include "link/sysexframe.h"
#include "tests/support/filtertable.h"
#include "tests/support/routerbench.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

using SysexFrame::query;
using DeviceTable = QMap<QPair<int, int>, QString>; // (product, vendor) -> description

const QPair<int, int> routerKey(0x7A01, 0x1209);
const QPair<int, int> synthKey(0x0042, 0x16C0);
const QString router = QString::fromUtf8("Kelvanto Router \xE2\x9C\x93 <&> (rev. B) ");
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
    bench.window(); // the window listens to the monitor from when it is made
    emit bench.monitor.devicesChanged();
}

// Wholly disconnected, with none of the router's state left; the status line says why.
void verifyDisconnected(RouterBench &bench, const QString &status = "Not connected") {
    QVERIFY(!bench.link().isOpen());
    QCOMPARE(bench.find<QLabel>("label_status")->text(), status);
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(bench.find<QComboBox>("ComboBox_Devices")->isEnabled());
    QVERIFY(bench.routing().inputButtons().isEmpty() && bench.link().state().routes.isEmpty() &&
            bench.link().state().filters.isEmpty());
    QCOMPARE(FilterTable::shownBoxes(bench.window()), QStringList());
}

} // namespace

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    void startState();
    void scanFollowsTheRouter();
    void connectRequeryAndLetGo();
    void refusedPortSaysHowToGetAccess();
    void monitorScansAtOnce();
};

// Before any router: no message box, the groups' All and None buttons hidden, the scan for
// routers repeated every 10 s. Nothing that needs a router can be pressed; Save File on the
// routing page says there is nothing to save instead of writing an empty file.
void TestDeviceLink::startState() {
    RouterBench bench;
    bench.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));
    QTest::qWait(50);
    QVERIFY(bench.answerer.seen.isEmpty() && !bench.window().windowIcon().isNull());
    for (const char *name : {"pushButton_2", "pushButton_4", "pushButton_5", "pushButton_undo"})
        QVERIFY2(!bench.find<QPushButton>(name)->isEnabled(), name);
    QVERIFY(bench.find<QPushButton>("pushButton")->isEnabled());
    for (QPushButton *button : bench.window().findChildren<QPushButton *>())
        QVERIFY2(!button->objectName().contains("_pb_") || button->isHidden(),
                 qPrintable(button->objectName()));
    QVERIFY(bench.find<QPushButton>("pushButton_cancelImport")->isHidden());
    verifyDisconnected(bench);
    bench.find<QPushButton>("pushButton_3")->click();
    QVERIFY(bench.answerer.dialogs.isEmpty());
    QCOMPARE(bench.find<QLabel>("label_status")->text(),
             "Not connected · Nothing to save: no router is connected, so there are no routes");
    const auto *scan = bench.window().findChild<QTimer *>("portScanTimer");
    QVERIFY(scan->isActive() && !scan->isSingleShot());
    QCOMPARE(scan->interval(), 10000);
}

// Entries carry the full description and the port name. A router plugged in again on another
// port between two scans: while disconnected its entry takes the new port, so "Connect" opens
// the router there; while connected through the old port the window lets go, as when the
// router vanishes.
void TestDeviceLink::scanFollowsTheRouter() {
    RouterBench bench;
    // ttyACM1 has vendor and product swapped; ttyACM2 and ttyACM4 belong to devices of brands
    // one letter off; of the router's two ports the first is listed, and kept while it is still
    // one of its own.
    rescan(bench,
           {{routerKey, router},
            {{0x1000, 0x2000}, "Kelvantx MIDI Router"},
            {{0x1001, 0x2000}, "Kelvant"}},
           {{"ttyACM1", 0x7A01, 0x1209},
            {"ttyACM2", 0x2000, 0x1000},
            {"ttyACM4", 0x2000, 0x1001},
            {"ttyACM3", 0x1209, 0x7A01},
            {"ttyACM0", 0x1209, 0x7A01}});
    QCOMPARE(entries(bench), QStringList{router + " -> ttyACM3"});
    rescan(bench, {{routerKey, router}, {synthKey, "Kelvanto Synth"}},
           {{"ttyACM5", 0x16C0, 0x0042}, {"ttyACM0", 0x1209, 0x7A01}, {"ttyACM3", 0x1209, 0x7A01}});
    QCOMPARE(entries(bench), (QStringList{router + " -> ttyACM3", "Kelvanto Synth -> ttyACM5"}));

    rescan(bench, {{routerKey, router}}, {{bench.sim.slavePath(), 0x1209, 0x7A01}});
    QVERIFY(bench.connectAndWait());
    rescan(bench, {{routerKey, router}}, {{"ttyACM7", 0x1209, 0x7A01}});
    verifyDisconnected(bench, Unplugged);
    QCOMPARE(entries(bench), QStringList{router + " -> ttyACM7"});
}

// A connect on the filter page asks for the routing state again at the next page change, once;
// the filter port list is kept, so that re-query stops before the filter reports. A hang-up
// lets go of the port at once (the status line, not a message box, says so until the next
// connect); a user's Disconnect is no news.
void TestDeviceLink::connectRequeryAndLetGo() {
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
    QCOMPARE(bench.find<QLabel>("label_status")->text(),
             "Connected to Kelvanto MIDI Router (simulated) on " + bench.sim.slavePath());
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Disconnect"));
    QVERIFY(!bench.find<QComboBox>("ComboBox_Devices")->isEnabled());
    QCOMPARE(bench.sim.lineSettings(), QString("115200 8N1"));
    QCOMPARE(bench.sent().first(), QByteArray::fromHex("f000215e010301f7"));
    QCOMPARE(sentAtPageChange(0, 4), (QList<QByteArray>{query(1), query(2), query(3), query(4)}));
    QCOMPARE(sentAtPageChange(1, 0), QList<QByteArray>{});
    QVERIFY(bench.link().state().routes.size() == 2 &&
            !FilterTable::shownBoxes(bench.window()).isEmpty());

    bench.find<QPushButton>("pushButton")->click();
    verifyDisconnected(bench);
    QVERIFY(bench.connectAndWait());
    bench.sim.hangUp();
    QVERIFY(QTest::qWaitFor([&] { return !bench.link().isOpen(); }, 3000));
    verifyDisconnected(bench, Unplugged);
    QVERIFY(bench.answerer.seen.isEmpty());
}

// A port that another program holds is refused with the same error kind as one this user may
// not open; only a user without access is told how to get it. Other errors stay plain, and a
// connect with no router listed says so.
void TestDeviceLink::refusedPortSaysHowToGetAccess() {
    RouterBench bench;
    auto *button = bench.find<QPushButton>("pushButton");
    QSerialPort holder(bench.sim.slavePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    button->click();
    QCOMPARE(bench.link().error(), QSerialPort::PermissionError);
    const QString refused = "Failed to open port : " + bench.link().errorString();
    bench.inventory.portsOpenable = false;
    button->click();
    holder.close();
    rescan(bench, {{routerKey, router}}, {{"ttyPellvaneNone", 0x1209, 0x7A01}});
    button->click();
    QCOMPARE(bench.link().error(), QSerialPort::DeviceNotFoundError);
    const QString missing = "Failed to open port : " + bench.link().errorString();
    rescan(bench, {}, {});
    const auto *noRouter = bench.find<QLabel>("label_noRouter");
    QVERIFY(!button->isEnabled() && noRouter->isVisibleTo(&bench.window()));
    QCOMPARE(noRouter->text(),
             "No Kelvanto router found. Plug it in by USB; it appears here by itself.");

    const QString advice =
        "This user may not use the router's serial port. Install the Pellvane package, whose "
        "udev rule gives the logged-in user access to the router, or add the user to the "
        "\"dialout\" group (sudo usermod -aG dialout $USER) and log in again. Then plug the "
        "router in again.";
    QTRY_COMPARE(bench.answerer.messages(),
                 (QStringList{refused, refused + "\n\n" + advice, missing}));
    verifyDisconnected(bench);
}

// A device plugged in is listed, and the connected router pulled out is let go, as soon as the
// monitor says so: the periodic scan is stopped here. The status line, not a message box, says
// why.
void TestDeviceLink::monitorScansAtOnce() {
    RouterBench bench;
    bench.window().findChild<QTimer *>("portScanTimer")->stop();
    const QString routerEntry = RouterBench::DeviceName + " -> " + bench.sim.slavePath();
    bench.inventory.devices.insert(synthKey, "Kelvanto Synth");
    bench.inventory.ports.append({"ttyACM5", 0x16C0, 0x0042});
    QCOMPARE(entries(bench), QStringList{routerEntry});
    emit bench.monitor.devicesChanged();
    QCOMPARE(entries(bench), (QStringList{routerEntry, "Kelvanto Synth -> ttyACM5"}));

    QVERIFY(bench.connectAndWait());
    bench.inventory.ports.removeFirst();
    emit bench.monitor.devicesChanged();
    verifyDisconnected(bench, Unplugged);
    QCOMPARE(entries(bench), QStringList{"Kelvanto Synth -> ttyACM5"});
    QVERIFY(bench.answerer.seen.isEmpty());
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
