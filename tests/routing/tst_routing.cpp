// Connecting, the replies the window acts on, and routes drawn with the mouse, against the
// simulated router through a real pseudo-terminal.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/filtertable.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include <QApplication>
#include <QCheckBox>

using namespace RoutePicture;

namespace {

const auto bytes = [](const char *text) { return QByteArray::fromHex(text); };

// A route report the window draws, sent after the bytes under test: once its line is there
// and no message box is open, everything before it has been handled.
const Route sentinel{{1, 1}, {2, 1}};

bool handledUpToSentinel(RoutingFixture &f, const QByteArray &bytes) {
    f.bench.sim.inject(bytes + Wire::frame("0103 0101020101"));
    return QTest::qWaitFor(
        [&] {
            return routeLines(f.bench).contains(sentinel) && !QApplication::activeModalWidget();
        },
        10000);
}

QStringList recordNames(RouterBench &bench) {
    QStringList names;
    const RouterState &state = bench.link().state();
    for (auto it = state.filters.cbegin(); it != state.filters.cend(); ++it)
        names << PortIdentity::filterPortName(it.key().first, it.key().second);
    names.sort();
    return names;
}

} // namespace

class TestRouting : public QObject {
    Q_OBJECT

private slots:
    void connectShowsThePortsAndRoutes();
    void onlyWellFormedRepliesAct_data();
    void onlyWellFormedRepliesAct();
    void repeatedFilterReportsKeepOneRecord();
    void dragGestures_data();
    void dragGestures();
};

void TestRouting::connectShowsThePortsAndRoutes() {
    RoutingFixture f;
    const QList<Route> held = {{{0, 1}, {0, 2}}, {{2, 1}, {1, 1}}, {{1, 1}, {0, 3}}};
    QVERIFY(f.connect(held, {2, 3, 1, 1}));

    const QList<QPushButton *> &in = f.bench.routing().inputButtons();
    const QList<QPushButton *> &out = f.bench.routing().outputButtons();
    QCOMPARE(texts(in), QStringList({"MIDI IN 1", "MIDI IN 2", "USB HOST 1", "USB Device 1"}));
    QCOMPARE(texts(out),
             QStringList({"MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "USB HOST 1", "USB Device 1"}));
    QVERIFY(f.agree());
    QCOMPARE(routeLines(f.bench).value(held.at(1))->line(), anchors(in.at(3), out.at(3)));
    QCOMPARE(routeLines(f.bench).value(held.at(2))->line(), anchors(in.at(2), out.at(2)));
}

// Replies from the router as it sends them, and frames that look like them but break one rule
// (envelope, bytes 4-5 for the length, the length, 7-bit bytes, a lost end): only the
// well-formed ones draw a route or make a filter record, and none shows a message. A route report
// of state 00 (no route) or 7F (cleared) draws nothing, and one repeated draws its route once.
void TestRouting::onlyWellFormedRepliesAct_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Route>>("drawn");
    QTest::addColumn<QStringList>("records");
    const auto row = [](const char *name, const QByteArray &frames, const QList<Route> &drawn = {},
                        const QStringList &records = {}) {
        QTest::newRow(name) << frames << drawn << records;
    };
    const QByteArray report = bytes("F000215E 0103 0201010101 F7"); // USB Device 1 > USB HOST 1
    const QByteArray filter = QByteArray(25, 0x01).toHex() + "0000";
    row("route report", report, {{{2, 1}, {1, 1}}});
    row("route report twice", report + report, {{{2, 1}, {1, 1}}});
    row("route report, state 00", bytes("F000215E 0103 0201010100 F7"));
    row("route report, state 7F", bytes("F000215E 0103 020101017F F7"));
    row("route report, state 81", bytes("F000215E 0103 0201010181 F7"));
    row("route report, manufacturer 00 21 5F", bytes("F000215F 0103 0201010101 F7"));
    row("route command echoed", bytes("F000215E 0201 0201010101 F7"));
    row("route report that lost its end, then one whole",
        bytes("F000215E 0103 0001 F000215E 0103 0002000101 F7"), {{{0, 2}, {0, 1}}});
    row("filter report", bytes("F000215E 0105 0409" + filter + "F7"), {}, {"USB DEVICE IN9"});
    row("filter report that lost bytes", bytes("F000215E 0105 0409" + filter.mid(2) + "F7"));
}

void TestRouting::onlyWellFormedRepliesAct() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Route>, drawn);
    QFETCH(QStringList, records);
    RoutingFixture f;
    QVERIFY(f.connect());
    const QStringList known = recordNames(f.bench);

    QVERIFY(handledUpToSentinel(f, bytes));
    QCOMPARE(tableRoutes(f.bench), sorted(drawn << sentinel));
    QVERIFY(consistent(f.bench));
    QStringList expected = known + records;
    expected.sort();
    QCOMPARE(recordNames(f.bench), expected);
    QVERIFY(f.bench.answerer.messages().isEmpty());
    QVERIFY(f.takeSent().isEmpty());
}

// A router that reports one port's filter over and over: the port keeps one record, holding
// the last bytes reported, and the page shows them.
void TestRouting::repeatedFilterReportsKeepOneRecord() {
    RoutingFixture f;
    QVERIFY(f.connect());
    const QStringList known = recordNames(f.bench);
    QCOMPARE(known.first(), QString("MIDI IN1"));
    const QList<FilterTable::Box> &boxes = FilterTable::boxes();
    QByteArray reports;
    for (int i = 0; i < 300; ++i)
        reports += Wire::filterFrame(
            "0105", "0001", FilterTable::filterBytes({boxes.at(i % boxes.size())}).toHex());

    QVERIFY(handledUpToSentinel(f, reports));
    QCOMPARE(recordNames(f.bench), known);
    const FilterTable::Box &last = boxes.at(299 % boxes.size());
    QCOMPARE(f.bench.link().state().filters.value({0, 1}),
             Wire::filterBytes({{last.byteIndex, last.mask}}));
    QVERIFY(f.bench.find<QCheckBox>(last.name)->isChecked());
}

// Rows are named source>destination, or source<destination for a drag from the output to the
// input, on a router that holds MIDI IN 2 to USB HOST 1. No destination: released over empty
// space.
void TestRouting::dragGestures_data() {
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::addColumn<QString>("told"); // on the status line, once the router has answered
    const QString itself = "A USB port cannot be routed to itself: USB HOST 1";
    QTest::newRow("MIDI IN 1>MIDI OUT 1")
        << QList{bytes("F000215E0201 00 01 00 01 01 F7")} << "MIDI IN 1 → MIDI OUT 1 added";
    QTest::newRow("MIDI IN 1<MIDI OUT 2")
        << QList{bytes("F000215E0201 00 01 00 02 01 F7")} << "MIDI IN 1 → MIDI OUT 2 added";
    QTest::newRow("MIDI IN 1>") << QList<QByteArray>() << QString();
    QTest::newRow("USB HOST 1>USB HOST 1") << QList<QByteArray>() << itself;
    QTest::newRow("USB HOST 1<USB HOST 1") << QList<QByteArray>() << itself;
    QTest::newRow("MIDI IN 2>USB HOST 1") << QList<QByteArray>() << QString();
}

void TestRouting::dragGestures() {
    QFETCH(QList<QByteArray>, sent);
    QFETCH(QString, told);
    RoutingFixture f;
    QVERIFY(f.connect({{{0, 2}, {1, 1}}}));
    const QString tag = QTest::currentDataTag();
    const bool backwards = tag.contains('<');
    const QStringList ends = tag.split(backwards ? '<' : '>');
    QPushButton *source = f.input(ends.at(0));
    QPushButton *destination = f.output(ends.at(1));
    if (backwards)
        f.drag(destination, source, source->rect().center());
    else if (destination)
        f.drag(source, destination, destination->rect().center());
    else
        f.drag(source, f.view()->viewport(), QPoint(f.view()->width() / 2, 2));
    QVERIFY(!f.bench.routing().hasChosenPort() && !f.bench.routing().showsRubberBand());
    QCOMPARE(f.takeSent(), sent);
    QVERIFY(f.agree());
    QCOMPARE(f.bench.statusParts().value(1), told);
}

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
