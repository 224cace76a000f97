#include "filters/portfilteringsituation.h"
#include "tests/filters/filterbyteshex.h"
#include "tests/filters/filterpanelprobe.h"
#include "tests/support/routerbench.h"

#include <QComboBox>
#include <QPushButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

using namespace FilterPanelProbe;

namespace {

const QString Successful = "Configuration successful";

// 25 filter bytes as hex: the given leading bytes, the rest 00.
QByteArray filterHex(const QByteArray &leading) {
    return leading + QByteArray(2 * FilterByteCount - leading.size(), '0');
}

QByteArray setFilterFrameHex(const QByteArray &portHex, const QByteArray &filter) {
    return QByteArray::fromHex("F000215E0203" + portHex + filter + "0000F7");
}

// Ports of the simulated router: MIDI IN/OUT 1-2, USB HOST IN/OUT 1-2, USB DEVICE IN/OUT 1-3.
void setUpRouter(RouterBench &bench) {
    bench.sim.setPortCounts({2, 2, 2, 3});
    bench.sim.setFilter({0, 1}, filterBytesFromHex("0102030401"));
}

void connectToFilterPage(RouterBench &bench) {
    setUpRouter(bench);
    QVERIFY(bench.connectAndWait());
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
}

void choosePort(RouterBench &bench, const QString &name) {
    auto *chooser = bench.find<QComboBox>("comboBox_MiDiPorts");
    chooser->setCurrentIndex(chooser->findText(name));
    QCOMPARE(chooser->currentText(), name);
}

void pressSet(RouterBench &bench) {
    bench.sim.clearReceived();
    bench.find<QPushButton>("pushButton_2")->click();
}

bool waitForMessage(RouterBench &bench, const QString &text) {
    return QTest::qWaitFor([&] { return bench.answerer.messages().contains(text); }, 3000);
}

QMap<QString, FilterBytes> recordBytes(RouterBench &bench) {
    QMap<QString, FilterBytes> bytes;
    for (const PortFilteringSituation *record : bench.access().portFilters())
        bytes.insert(record->getPortName(), record->getFilterBytes());
    return bytes;
}

} // namespace

class TestFilterSet : public QObject {
    Q_OBJECT
private slots:
    void routingPageSendsTheConfigurationCommand();
    void onePortSendsItsFilter_data();
    void onePortSendsItsFilter();
    void allPortsShareOneFilter();
    void sentFilterComesBackAfterReconnecting();
    void notConnectedShowsTheNotice_data();
    void notConnectedShowsTheNotice();
    void chooserWithoutAPortSendsNothing_data();
    void chooserWithoutAPortSendsNothing();
    void oddPortNumbers_data();
    void oddPortNumbers();
    void strayRecordBytesAreNeverSent();
};

void TestFilterSet::routingPageSendsTheConfigurationCommand() {
    RouterBench bench;
    connectToFilterPage(bench);
    box(bench.window(), "c5")->click();
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(0);
    const auto before = recordBytes(bench);

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QVERIFY(waitForMessage(bench, Successful));
    QCOMPARE(bench.sent(), QList<QByteArray>{QByteArray::fromHex("F000215E020200F7")});
    QCOMPARE(recordBytes(bench), before);
}

void TestFilterSet::onePortSendsItsFilter_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QByteArray>("frameHex");

    QTest::newRow("MIDI OUT2, channel 1 and Note On")
        << "MIDI OUT2" << 1 << 2 << QStringList{"checkBox_1", "checkBox_NoteOn"}
        << QByteArray("F000215E02030102000001"
                      "01" +
                      QByteArray(46, '0') + "F7");
    QTest::newRow("USB DEVICE IN3, edges of each byte run")
        << "USB DEVICE IN3" << 4 << 3
        << QStringList{"checkBox_16", "c127", "c0", "checkBox_Tune_Request",
                       "checkBox_System_Reset"}
        << setFilterFrameHex("0403", filterHex("0200000002" + QByteArray(34, '0') +
                                               "01"
                                               "08"
                                               "40"))
               .toHex()
               .toUpper();
    QTest::newRow("USB HOST OUT2, every group box")
        << "USB HOST OUT2" << 3 << 2
        << QStringList{"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                       "checkBox_SystemCommon", "checkBox_SystemRealtime"}
        << setFilterFrameHex("0302", "037F7F7F03" + QByteArray("7F").repeated(18) + "0F7F")
               .toHex()
               .toUpper();
}

void TestFilterSet::onePortSendsItsFilter() {
    QFETCH(QString, port);
    QFETCH(int, code);
    QFETCH(int, number);
    QFETCH(QStringList, clicks);
    QFETCH(QByteArray, frameHex);

    RouterBench bench;
    connectToFilterPage(bench);
    choosePort(bench, port);
    // A second record under the same name: only the first in list order takes the filter.
    auto *twin = new PortFilteringSituation(port);
    twin->setFilterBytes(filterBytesFromHex("01"));
    bench.access().portFilters().append(twin);
    for (const QString &name : clicks)
        box(bench.window(), name)->click();
    const FilterBytes shown = shownBytes(bench.window());
    auto expectedRecords = recordBytes(bench);
    expectedRecords.insert(port, shown);

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QVERIFY(waitForMessage(bench, Successful));
    QCOMPARE(bench.sent(), QList<QByteArray>{QByteArray::fromHex(frameHex)});
    QCOMPARE(bench.sent().first().size(), 36);
    QCOMPARE(bench.sim.filter({code, number}), shown);
    auto &records = bench.access().portFilters();
    QCOMPARE(records.last(), twin);
    QCOMPARE(twin->getFilterBytes(), filterBytesFromHex("01"));
    records.removeLast();
    delete twin;
    QCOMPARE(recordBytes(bench), expectedRecords);
}

void TestFilterSet::allPortsShareOneFilter() {
    RouterBench bench;
    connectToFilterPage(bench);
    choosePort(bench, "USB HOST IN1");
    box(bench.window(), "checkBox_Channels")->click();
    box(bench.window(), "checkBox_SystemRealtime")->click();
    box(bench.window(), "checkBox_Applies_To_All")->click();
    const QByteArray expected = "037F7F" + QByteArray(42, '0') + "7F";
    const FilterBytes shown = shownBytes(bench.window());
    QCOMPARE(shown, filterBytesFromHex(expected.constData()));

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QVERIFY(waitForMessage(bench, Successful));
    QCOMPARE(bench.sent(), QList<QByteArray>{setFilterFrameHex("7F00", expected)});
    QCOMPARE(bench.access().portFilters().size(), 2 + 2 + 2 + 2 + 3 + 3);
    for (const PortFilteringSituation *record : bench.access().portFilters())
        QCOMPARE(record->getFilterBytes(), shown);
    for (int code = 0; code < 6; ++code)
        for (int number = 1; number <= bench.sim.filterPortCount(code); ++number)
            QCOMPARE(bench.sim.filter({code, number}), shown);
}

// A user picks a port, changes its boxes and presses Set; after reconnecting, the router
// reports exactly what was shown.
void TestFilterSet::sentFilterComesBackAfterReconnecting() {
    RouterBench bench;
    connectToFilterPage(bench);
    choosePort(bench, "MIDI IN1");
    QCOMPARE(shownBytes(bench.window()), filterBytesFromHex("0102030401"));
    for (const QString &name : {"checkBox_15", "checkBox_2", "c126", "c99", "checkBox_Start"})
        box(bench.window(), name)->click();
    box(bench.window(), "checkBox_Messages")->click();
    const QSet<QString> shownBoxes = checkedMembers(bench.window());

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QVERIFY(waitForMessage(bench, Successful));
    QCOMPARE(bench.sim.filter({0, 1}), shownBytes(bench.window()));

    bench.find<QPushButton>("pushButton")->click();
    QVERIFY(!bench.access().serialPort()->isOpen());
    QVERIFY(bench.connectAndWait());
    choosePort(bench, "MIDI IN2");
    choosePort(bench, "MIDI IN1");
    QCOMPARE(checkedMembers(bench.window()), shownBoxes);
    VERIFY_GROUPS_CONSISTENT(bench.window());
}

void TestFilterSet::notConnectedShowsTheNotice_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("routing page") << 0;
    QTest::newRow("filter page") << 1;
}

void TestFilterSet::notConnectedShowsTheNotice() {
    QFETCH(int, page);
    RouterBench bench;
    auto *record = new PortFilteringSituation("MIDI IN1");
    record->setFilterBytes(filterBytesFromHex("03"));
    bench.access().portFilters().append(record);
    bench.find<QComboBox>("comboBox_MiDiPorts")->addItem("MIDI IN1");
    box(bench.window(), "c1")->click();
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(page);

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QCOMPARE(bench.answerer.seen.size(), 1);
    const ModalAnswerer::Seen notice = bench.answerer.seen.first();
    QCOMPARE(notice.title, QString("Pellvane"));
    QCOMPARE(notice.text, QString("Please connect the device and try again"));
    QCOMPARE(notice.buttons, QStringList{"OK"});
    QTest::qWait(50);
    QVERIFY(bench.sent().isEmpty());
    QCOMPARE(record->getFilterBytes(), filterBytesFromHex("03"));
}

void TestFilterSet::chooserWithoutAPortSendsNothing_data() {
    QTest::addColumn<QString>("chooserText");
    QTest::newRow("empty list") << QString();
    QTest::newRow("no known prefix") << "Port 1";
    QTest::newRow("lower case") << "midi in1";
}

void TestFilterSet::chooserWithoutAPortSendsNothing() {
    QFETCH(QString, chooserText);
    RouterBench bench;
    connectToFilterPage(bench);
    auto *chooser = bench.find<QComboBox>("comboBox_MiDiPorts");
    chooser->clear();
    if (!chooserText.isEmpty())
        chooser->addItem(chooserText);
    box(bench.window(), "checkBox_Channels")->click();
    const auto before = recordBytes(bench);

    pressSet(bench);
    QTest::qWait(100);
    QVERIFY(bench.sent().isEmpty());
    QVERIFY(bench.answerer.seen.isEmpty());
    QCOMPARE(recordBytes(bench), before);
}

void TestFilterSet::oddPortNumbers_data() {
    QTest::addColumn<QString>("chooserText");
    QTest::addColumn<QByteArray>("portHex");
    QTest::newRow("no number") << "MIDI IN" << QByteArray("0000");
    QTest::newRow("three digits") << "MIDI OUT999" << QByteArray("01E7");
    QTest::newRow("beyond int") << "USB HOST IN99999999999" << QByteArray("0200");
    QTest::newRow("trailing text") << "USB DEVICE OUT2x" << QByteArray("0500");
}

// Names the router never reports still address the port their prefix names; the router
// judges the number.
void TestFilterSet::oddPortNumbers() {
    QFETCH(QString, chooserText);
    QFETCH(QByteArray, portHex);
    RouterBench bench;
    connectToFilterPage(bench);
    bench.find<QComboBox>("comboBox_MiDiPorts")->addItem(chooserText);
    choosePort(bench, chooserText);
    box(bench.window(), "c64")->click();
    const auto before = recordBytes(bench);

    pressSet(bench);
    QVERIFY(bench.waitForFrames(1));
    QVERIFY(QTest::qWaitFor([&] { return !bench.answerer.seen.isEmpty(); }, 3000));
    QCOMPARE(bench.sent(),
             QList<QByteArray>{setFilterFrameHex(portHex, filterHex(QByteArray(26, '0') + "02"))});
    QCOMPARE(recordBytes(bench), before);
}

// Bytes outside 0..127 in a record are shown as the boxes they reach; Set sends the boxes.
void TestFilterSet::strayRecordBytesAreNeverSent() {
    RouterBench bench;
    connectToFilterPage(bench);
    FilterBytes stray;
    stray.fill(-1);
    stray[0] = 0x80;
    bench.access().portFilters().first()->setFilterBytes(stray);
    choosePort(bench, "MIDI OUT1");
    choosePort(bench, "MIDI IN1");

    bench.answerer.pressButton("OK");
    pressSet(bench);
    QVERIFY(waitForMessage(bench, Successful));
    const QByteArray expected = "027F7F7F03" + QByteArray("7F").repeated(18) + "0F7F";
    QCOMPARE(bench.sent(), QList<QByteArray>{setFilterFrameHex("0001", expected)});
    QCOMPARE(bench.sim.filter({0, 1}), filterBytesFromHex(expected.constData()));
}

QTEST_MAIN(TestFilterSet)
#include "tst_filterset.moc"
