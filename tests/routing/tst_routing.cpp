// Mouse events travel through the window system layer, as a user's do: the pressed button
// keeps the mouse, and what it ignores reaches the window.
#define QTEST_QPA_MOUSE_HANDLING

#include "filters/portfilteringsituation.h"
#include "routing/myline.h"
#include "tests/support/filtertable.h"
#include "tests/support/pacing.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QPushButton>
#include <QTest>

using namespace RoutePicture;

namespace {

const auto bytes = [](const char *text) { return QByteArray::fromHex(text); };

using Fixture = RoutingFixture;

// A route report the window draws, sent after the bytes under test: once its line is there
// and no message box is open, everything before it has been handled.
const Route sentinel{{1, 1}, {2, 1}};

bool handledUpToSentinel(Fixture &f, const QByteArray &bytes) {
    f.bench.sim.inject(bytes + Wire::frame("0103 0101020101"));
    return QTest::qWaitFor(
        [&] { return routeLines(f.w).contains(sentinel) && !QApplication::activeModalWidget(); },
        10000);
}

QStringList recordNames(WidgetTestAccess &w) {
    QStringList names;
    for (const PortFilteringSituation *record : w.portFilters())
        names << record->getPortName();
    return names;
}

} // namespace

class TestRouting : public QObject {
    Q_OBJECT

private slots:
    void connectRunsTheQueryChain();
    void onlyWellFormedRepliesAct_data();
    void onlyWellFormedRepliesAct();
    void repeatedFilterReportsKeepOneRecord();
    void dragGestures_data();
    void dragGestures();
};

void TestRouting::connectRunsTheQueryChain() {
    Fixture f;
    const QList<Route> held = {{{0, 1}, {0, 2}}, {{2, 1}, {1, 1}}, {{1, 1}, {0, 3}}};
    QVERIFY(f.connect(held, {2, 3, 1, 1}));

    QCOMPARE(f.queries.size(), 5);
    for (int item = 1; item <= 5; ++item)
        QCOMPARE(f.queries.at(item - 1).bytes, bytes("F000215E0103") + char(item) + bytes("F7"));
    const QString gap = unpaced(f.queries, 2, 3);
    QVERIFY2(gap.isEmpty(), qPrintable(gap));

    const QList<QPushButton *> &in = f.w.inputButtons();
    const QList<QPushButton *> &out = f.w.outputButtons();
    QCOMPARE(texts(in), QStringList({"MIDI IN 1", "MIDI IN 2", "USB HOST 1", "USB Device 1"}));
    QCOMPARE(texts(out),
             QStringList({"MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "USB HOST 1", "USB Device 1"}));
    QVERIFY(f.agree());
    QCOMPARE(routeLines(f.w).value(held.at(0))->line(), anchors(in.at(0), out.at(1)));
    QCOMPARE(routeLines(f.w).value(held.at(1))->line(), anchors(in.at(3), out.at(3)));
    QCOMPARE(routeLines(f.w).value(held.at(2))->line(), anchors(in.at(2), out.at(2)));

    auto *chooser = f.bench.find<QComboBox>("comboBox_MiDiPorts");
    QStringList ports;
    for (int i = 0; i < chooser->count(); ++i)
        ports << chooser->itemText(i);
    QCOMPARE(ports.join(','), QString("MIDI IN1,MIDI IN2,MIDI OUT1,MIDI OUT2,MIDI OUT3,USB HOST "
                                      "IN1,USB HOST OUT1,USB DEVICE IN1,USB DEVICE OUT1"));
}

// Replies from the router as it sends them, each with frames that look like it and break one
// rule of the replies (envelope, bytes 4-5, length, 7-bit bytes, a lost end): only the
// well-formed ones draw a route, make a filter record or show a verdict.
void TestRouting::onlyWellFormedRepliesAct_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Route>>("drawn");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("message");
    const QList<Route> none;
    const QString illegal = "Illegal routing (i.e. unable to connect in this way)";
    const QByteArray filter = QByteArray(25, 0x01).toHex() + "0000";

    QTest::newRow("route report") << bytes("F000215E 0103 0001000201 F7")
                                  << QList<Route>{{{0, 1}, {0, 2}}} << QStringList() << QString();
    QTest::newRow("route report, manufacturer 00 21 5F")
        << bytes("F000215F 0103 0001000201 F7") << none << QStringList() << QString();
    QTest::newRow("route command echoed")
        << bytes("F000215E 0201 0001000201 F7") << none << QStringList() << QString();
    QTest::newRow("route report, state 81")
        << bytes("F000215E 0103 0001000281 F7") << none << QStringList() << QString();
    QTest::newRow("route report that lost its end, then one whole")
        << bytes("F000215E 0103 0001 F000215E 0103 0002000101 F7") << QList<Route>{{{0, 2}, {0, 1}}}
        << QStringList() << QString();

    QTest::newRow("filter report") << bytes("F000215E 0105 0009" + filter + "F7") << none
                                   << QStringList{"MIDI IN9"} << QString();
    QTest::newRow("filter report that lost bytes")
        << bytes("F000215E 0105 0009" + filter.mid(2) + "F7") << none << QStringList() << QString();

    QTest::newRow("route refusal")
        << bytes("F000215E 0201 0101 F7") << none << QStringList() << illegal;
    QTest::newRow("route refusal, 10 bytes")
        << bytes("F000215E 0201 010100 F7") << none << QStringList() << QString();
}

void TestRouting::onlyWellFormedRepliesAct() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Route>, drawn);
    QFETCH(QStringList, records);
    QFETCH(QString, message);
    Fixture f;
    QVERIFY(f.connect());
    const QStringList known = recordNames(f.w);

    QVERIFY(handledUpToSentinel(f, bytes));
    QCOMPARE(mapRoutes(f.w), sorted(drawn << sentinel));
    QCOMPARE(recordNames(f.w), known + records);
    QCOMPARE(f.bench.answerer.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(f.takeSent().isEmpty());
}

// A router that reports one port's filter over and over: the port keeps one record, holding
// the last bytes reported, and the page shows them.
void TestRouting::repeatedFilterReportsKeepOneRecord() {
    Fixture f;
    QVERIFY(f.connect());
    const QStringList known = recordNames(f.w);
    QCOMPARE(known.first(), QString("MIDI IN1"));
    const QList<FilterTable::Box> &boxes = FilterTable::boxes();
    QByteArray reports;
    for (int i = 0; i < 300; ++i)
        reports += Wire::filterFrame(
            "0105", "0001", FilterTable::filterBytes({boxes.at(i % boxes.size())}).toHex());

    QVERIFY(handledUpToSentinel(f, reports));
    QCOMPARE(recordNames(f.w), known);
    const FilterTable::Box &last = boxes.at(299 % boxes.size());
    QCOMPARE(f.w.portFilters().first()->getFilterBytes(),
             Wire::filterBytes({{last.byteIndex, last.mask}}));
    QVERIFY(f.bench.find<QCheckBox>(last.name)->isChecked());
}

// Rows are named source>destination, on a router that holds MIDI IN 2 to USB HOST 1 and
// allows one route per source. No destination: released over empty space.
void TestRouting::dragGestures_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("refusal");
    const QString none;
    const QString overLimit = "Exceeding the number of routes (some connecting nodes have a "
                              "specified number of routes)";
    QTest::newRow("MIDI IN 1>MIDI OUT 1") << bytes("F000215E0201 00 01 00 01 01 F7") << none;
    QTest::newRow("USB HOST 1>USB Device 1") << bytes("F000215E0201 01 01 02 01 01 F7") << none;
    QTest::newRow("MIDI IN 2>MIDI OUT 2") << bytes("F000215E0201 00 02 00 02 01 F7") << overLimit;
    QTest::newRow("MIDI IN 1>") << QByteArray() << none;
    QTest::newRow("USB HOST 1>USB HOST 1") << QByteArray() << none;
    QTest::newRow("MIDI IN 2>USB HOST 1") << QByteArray() << none;
}

void TestRouting::dragGestures() {
    QFETCH(QByteArray, command);
    QFETCH(QString, refusal);
    Fixture f;
    QVERIFY(f.connect({{{0, 2}, {1, 1}}}));
    f.bench.sim.setRouteLimitPerSource(1);
    const QStringList ends = QString(QTest::currentDataTag()).split('>');
    QPushButton *source = named(f.w.inputButtons(), ends.at(0));
    QPushButton *destination = named(f.w.outputButtons(), ends.at(1));
    if (destination)
        f.drag(source, destination, destination->rect().center());
    else
        f.drag(source, f.view()->viewport(), QPoint(f.view()->width() / 2, 2));
    QVERIFY(f.w.startPoint().isNull() && !f.w.dragLine()->scene());
    QCOMPARE(f.takeSent(), command.isEmpty() ? QList<QByteArray>() : QList{command});
    QVERIFY(f.agree());
    QCOMPARE(f.bench.answerer.messages(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    if (!command.isEmpty() && refusal.isEmpty())
        QCOMPARE(f.w.lastRouteLine()->line(), anchors(source, destination));
}

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
