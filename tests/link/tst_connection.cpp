#include "link/fifobuffer.h"
#include "link/sysexframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "tests/support/routerbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsItem>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

const QByteArray firstQuery = QByteArray::fromHex("f000215e010301f7");

constexpr int RoutingPage = 0;
constexpr int FilterPage = 1;

// A router with routes and filters, so that a disconnect has something to take away.
void furnish(RouterSimulator &sim) {
    sim.setRoutes({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}});
    FilterBytes bytes{};
    bytes[0] = 0x7F;
    bytes[5] = 0x15;
    sim.setFilter({0, 1}, bytes);
}

QStringList groupCounters(WidgetTestAccess w) {
    return {QString::number(w.channelsCount()), QString::number(w.messagesCount()),
            QString::number(w.controlChangeCount()), QString::number(w.systemCommonCount()),
            QString::number(w.systemRealtimeCount())};
}

// Everything that shows router state is empty and the device list can be used again.
void verifyDisconnected(RouterBench &bench) {
    WidgetTestAccess w = bench.access();
    QVERIFY(!w.serialPort()->isOpen());
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(bench.find<QComboBox>("ComboBox_Devices")->isEnabled());
    QCOMPARE(groupCounters(w), (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(bench.find<QComboBox>("comboBox_MiDiPorts")->count(), 0);
    QVERIFY(w.portFilters().isEmpty());
    QVERIFY(w.inputButtons().isEmpty());
    QVERIFY(w.outputButtons().isEmpty());
    QVERIFY(w.routeMap().isEmpty());
    QVERIFY(!w.lastRouteLine());
    QVERIFY(!w.lineToDelete());
    for (QGraphicsItem *item : w.scene()->items())
        QVERIFY(item == static_cast<QGraphicsItem *>(w.dragLine()) || item->parentItem());
    QVERIFY(w.currentDeviceName().isEmpty());
    QVERIFY(w.fifoBuffer()->rxBuffer.isEmpty());
    for (const char *group : {"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                              "checkBox_SystemCommon", "checkBox_SystemRealtime"})
        QCOMPARE(bench.find<QCheckBox>(group)->checkState(), Qt::Unchecked);
}

void verifyConnected(RouterBench &bench) {
    WidgetTestAccess w = bench.access();
    QVERIFY(w.serialPort()->isOpen());
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Disconnect"));
    QVERIFY(!bench.find<QComboBox>("ComboBox_Devices")->isEnabled());
    QCOMPARE(w.currentDeviceName(), RouterBench::DeviceName);
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT

private slots:
    void connectSendsTheFirstQuery();
    void connectPageDecidesTheRequery_data();
    void connectPageDecidesTheRequery();
    void pendingRequeryAfterDisconnectSendsNothing();
    void disconnectRestoresTheEmptyWindow();
    void hangUpDisconnectsWithoutSpinning();
    void errorsThatMeanTheDeviceWentAway_data();
    void errorsThatMeanTheDeviceWentAway();
    void errorWhileClosingDoesNotCloseAgain();
    void portThatCannotBeOpened();
    void emptyDeviceList();
};

void TestConnection::connectSendsTheFirstQuery() {
    RouterBench bench;
    bench.window();
    QTest::qWait(50);
    QVERIFY(bench.sent().isEmpty()); // nothing goes out before the user connects

    bench.find<QPushButton>("pushButton")->click();

    verifyConnected(bench);
    QSerialPort *port = bench.access().serialPort();
    QCOMPARE(port->baudRate(QSerialPort::Input), 115200);
    QCOMPARE(port->baudRate(QSerialPort::Output), 115200);
    QVERIFY(bench.waitForFrames(1));
    QCOMPARE(bench.sent().first(), firstQuery);
    QVERIFY(bench.answerer.seen.isEmpty());
}

// A connect on the filter page is followed by a second query of the routing state at the
// next page change; the filter port list is kept, so that query chain stops before query 5.
void TestConnection::connectPageDecidesTheRequery_data() {
    QTest::addColumn<int>("connectPage");
    QTest::addColumn<QList<QByteArray>>("sentAtPageChange");

    const QList<QByteArray> requery = {firstQuery, SysexFrame::query(2), SysexFrame::query(3),
                                       SysexFrame::query(4)};
    QTest::newRow("routing page") << RoutingPage << QList<QByteArray>{};
    QTest::newRow("filter page") << FilterPage << requery;
}

void TestConnection::connectPageDecidesTheRequery() {
    QFETCH(int, connectPage);
    QFETCH(QList<QByteArray>, sentAtPageChange);
    RouterBench bench;
    auto *tabs = bench.find<QTabWidget>("tabWidget");
    tabs->setCurrentIndex(connectPage);

    QVERIFY(bench.connectAndWait());
    QCOMPARE(bench.sent().count(firstQuery), 1);
    QCOMPARE(bench.access().requeryOnTabChange(), connectPage == FilterPage);
    bench.sim.clearReceived();

    tabs->setCurrentIndex(1 - connectPage);
    if (!sentAtPageChange.isEmpty())
        QVERIFY(bench.waitForFrames(sentAtPageChange.size()));
    QTest::qWait(100);
    QCOMPARE(bench.sent(), sentAtPageChange);
    QVERIFY(!bench.access().requeryOnTabChange());
    QCOMPARE(bench.access().inputButtons().size(), 2 + 1 + 1); // rebuilt by the new query
    QVERIFY(bench.answerer.seen.isEmpty());

    bench.sim.clearReceived();
    tabs->setCurrentIndex(connectPage);
    QTest::qWait(100);
    QVERIFY(bench.sent().isEmpty());
}

// The serial library refuses the write on a closed port; nothing goes out, nothing is shown.
void TestConnection::pendingRequeryAfterDisconnectSendsNothing() {
    RouterBench bench;
    auto *tabs = bench.find<QTabWidget>("tabWidget");
    tabs->setCurrentIndex(FilterPage);
    QVERIFY(bench.connectAndWait());
    bench.find<QPushButton>("pushButton")->click();
    bench.sim.clearReceived();

    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QSerialPort): device not open");
    tabs->setCurrentIndex(RoutingPage);
    QTest::qWait(100);

    QVERIFY(bench.sent().isEmpty());
    QVERIFY(!bench.access().requeryOnTabChange());
    QVERIFY(bench.answerer.seen.isEmpty());
    verifyDisconnected(bench);
}

void TestConnection::disconnectRestoresTheEmptyWindow() {
    RouterBench bench;
    furnish(bench.sim);
    QVERIFY(bench.connectAndWait());
    WidgetTestAccess w = bench.access();
    QVERIFY(!w.inputButtons().isEmpty());
    QCOMPARE(w.routeMap().size(), 2);
    QVERIFY(w.channelsCount() > 0);
    w.fifoBuffer()->rxBuffer = QByteArray::fromHex("f000215e");

    bench.find<QPushButton>("pushButton")->click();
    verifyDisconnected(bench);
    QCOMPARE(bench.find<QComboBox>("ComboBox_Devices")->currentText(), RouterBench::DeviceName);

    // The next connect fetches everything again, filter ports included.
    bench.sim.clearReceived();
    QVERIFY(bench.connectAndWait());
    QVERIFY(bench.sent().contains(SysexFrame::query(5)));
    QCOMPARE(w.routeMap().size(), 2);
    QVERIFY(bench.answerer.seen.isEmpty());
}

// After a hang-up every read of the port reports end-of-file; the window must let go of the
// port at once instead of spinning on the error.
void TestConnection::hangUpDisconnectsWithoutSpinning() {
    RouterBench bench;
    furnish(bench.sim);
    QVERIFY(bench.connectAndWait());
    QSignalSpy errors(bench.access().serialPort(), &QSerialPort::errorOccurred);
    auto *button = bench.find<QPushButton>("pushButton");

    bench.sim.hangUp();
    QVERIFY(QTest::qWaitFor([&] { return button->text() == "Connect"; }, 3000));
    verifyDisconnected(bench);

    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QTest::qWait(300);
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QVERIFY2(errors.count() < 10, qPrintable(QString::number(errors.count())));
    QVERIFY(bench.answerer.seen.isEmpty());
}

// A hung-up line reads as end of file, and the serial library reports that with whatever errno
// was left over: as a read error or as a resource error. Both mean the device end is gone.
void TestConnection::errorsThatMeanTheDeviceWentAway_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("disconnects");

    QTest::newRow("resource error") << int(QSerialPort::ResourceError) << true;
    QTest::newRow("read error") << int(QSerialPort::ReadError) << true;
    QTest::newRow("timeout") << int(QSerialPort::TimeoutError) << false;
    QTest::newRow("write error") << int(QSerialPort::WriteError) << false;
}

void TestConnection::errorsThatMeanTheDeviceWentAway() {
    QFETCH(int, error);
    QFETCH(bool, disconnects);
    RouterBench bench;
    QVERIFY(bench.connectAndWait());

    emit bench.access().serialPort()->errorOccurred(QSerialPort::SerialPortError(error));

    if (disconnects)
        verifyDisconnected(bench);
    else
        verifyConnected(bench);
}

// Closing a port whose device is gone can report the error again while the port still counts
// as open. The bound keeps a window that re-enters from running away.
void TestConnection::errorWhileClosingDoesNotCloseAgain() {
    RouterBench bench;
    QVERIFY(bench.connectAndWait());
    QSerialPort *port = bench.access().serialPort();
    int closings = 0;
    connect(port, &QIODevice::aboutToClose, port, [&] {
        if (++closings < 5)
            emit port->errorOccurred(QSerialPort::ResourceError);
    });

    emit port->errorOccurred(QSerialPort::ResourceError);

    QVERIFY(closings <= 1);
    verifyDisconnected(bench);
}

void TestConnection::portThatCannotBeOpened() {
    RouterBench bench;
    const QString bogus = QStringLiteral("/nonexistent/pellvane-tty");
    bench.inventory.ports.first().portName = bogus;
    auto *devices = bench.find<QComboBox>("ComboBox_Devices");
    QCOMPARE(devices->currentData().toString(), bogus);

    bench.find<QPushButton>("pushButton")->click();

    WidgetTestAccess w = bench.access();
    QCOMPARE(bench.answerer.seen.size(), 1);
    const QString error = w.serialPort()->errorString();
    QVERIFY(!error.isEmpty());
    QCOMPARE(bench.answerer.seen.first().text, "Failed to open port : " + error);
    QCOMPARE(bench.answerer.seen.first().buttons, QStringList{"OK"});
    QVERIFY(!w.serialPort()->isOpen());
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(devices->isEnabled());
    QCOMPARE(w.currentDeviceName(), RouterBench::DeviceName); // kept until the next disconnect

    // The attempted device vanishes: the scan runs the full disconnect before removing it.
    bench.inventory.ports.clear();
    w.initPort();
    QCOMPARE(devices->count(), 0);
    QVERIFY(w.currentDeviceName().isEmpty());
    QCOMPARE(bench.answerer.seen.size(), 1);
    QVERIFY(bench.sent().isEmpty());
}

void TestConnection::emptyDeviceList() {
    RouterBench bench;
    bench.inventory.devices.clear();
    WidgetTestAccess w = bench.access();
    w.fifoBuffer()->rxBuffer = QByteArray::fromHex("f000215e01");

    bench.find<QPushButton>("pushButton")->click();

    QCOMPARE(bench.answerer.messages(), QStringList{"Make sure there is a port connection"});
    QCOMPARE(bench.answerer.seen.first().buttons, QStringList{"OK"});
    QVERIFY(w.fifoBuffer()->rxBuffer.isEmpty());
    QVERIFY(!w.serialPort()->isOpen());
    QVERIFY(w.currentDeviceName().isEmpty());
    QCOMPARE(bench.find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(bench.sent().isEmpty());
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
