// Mouse events travel through the window system layer, as a user's do: the pressed button
// keeps the mouse, and what it ignores reaches the window.
#define QTEST_QPA_MOUSE_HANDLING

#include "filters/filterbits.h"
#include "filters/portfilteringsituation.h"
#include "link/sysexframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "tests/support/pacing.h"
#include "tests/support/routingfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace RoutePicture;
using SysexFrame::byteAt;

namespace {

const QString overLimit = "Exceeding the number of routes (some connecting nodes have a specified "
                          "number of routes)";

const auto bytes = [](const char *text) { return QByteArray::fromHex(text); };

// Whether the current port map holds this port, judged from the counts alone.
bool inMap(WidgetTestAccess &w, QPair<int, int> port, bool source) {
    const int counts[] = {source ? w.midiInCount() : w.midiOutCount(), w.usbHostCount(),
                          w.usbDeviceCount()};
    return port.first >= 0 && port.first <= 2 && port.second >= 1 &&
           port.second <= counts[port.first];
}

using Fixture = RoutingFixture;

// A route report the window draws, sent after the bytes under test: once its line is there
// and no message box is open, everything before it has been handled.
const Route sentinel{{1, 1}, {2, 1}};

bool handledUpToSentinel(Fixture &f, const QByteArray &bytes) {
    f.bench.sim.inject(bytes + QByteArray::fromHex("F000215E 0103 0101020101 F7"));
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

// A port filter report: port code and number in hex, then the 25 filter bytes and two more.
QByteArray filterReport(const char *portHex, const FilterBytes &values) {
    QByteArray frame = QByteArray::fromHex(QByteArray("F000215E 0105 ") + portHex);
    for (qint32 value : values)
        frame.append(char(value));
    return frame + QByteArray::fromHex("0000 F7");
}

} // namespace

class TestRouting : public QObject {
    Q_OBJECT

private slots:
    void connectRunsTheQueryChain();
    void resultMessages_data();
    void resultMessages();
    void hostileFrames();
    void onlyWellFormedRepliesAct_data();
    void onlyWellFormedRepliesAct();
    void repeatedFilterReportsKeepOneRecord();
    void dragGestures_data();
    void dragGestures();
    void clickDeleteAndClear();
};

void TestRouting::connectRunsTheQueryChain() {
    Fixture f;
    // The first port, MIDI IN1, filters what the first member box stands for.
    const QString box = FilterBits::members().at(0).boxName;
    f.bench.sim.setFilter({0, 1}, FilterBits::pack([&](const QString &b) { return b == box; }));
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
    QCOMPARE(f.view()->height(), (5 + 2) * 40);
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
    QVERIFY(f.bench.find<QCheckBox>(box)->isChecked());
}

// Verdicts that settle no command of the window's: route lines stay as they are, and the
// router's words are shown.
void TestRouting::resultMessages_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("message");
    const QString done = "Configuration successful";
    const QString failed = "Configuration failed";
    const QString none;
    QTest::newRow("route: illegal")
        << bytes("F000215E0201 01 01 F7") << "Illegal routing (i.e. unable to connect in this way)";
    QTest::newRow("route: port") << bytes("F000215E0201 01 02 F7") << "Port serial number error";
    QTest::newRow("route: limit") << bytes("F000215E0201 01 03 F7") << overLimit;
    QTest::newRow("route: unknown reason") << bytes("F000215E0201 7F 85 F7") << none;
    QTest::newRow("route: accepted") << bytes("F000215E0201 00 00 F7") << none;
    QTest::newRow("route: result 0, reason 1") << bytes("F000215E0201 00 01 F7") << none;
    QTest::newRow("config done") << bytes("F000215E0202 00 09 F7") << done;
    QTest::newRow("config failed") << bytes("F000215E0202 05 00 F7") << failed;
    QTest::newRow("filter: category")
        << bytes("F000215E0203 01 02 F7") << failed + ":Category error";
    QTest::newRow("filter: category number")
        << bytes("F000215E0203 01 03 F7") << failed + ":Category serial number error";
    QTest::newRow("filter: reason 4") << bytes("F000215E0203 01 04 F7") << none;
}

void TestRouting::resultMessages() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, message);
    ModalAnswerer answerer;
    Widget window;
    WidgetTestAccess w(window);
    QPushButton port;
    const QList<Route> drawn = {{{0, 1}, {0, 1}}, {{0, 1}, {0, 2}}};
    for (const Route &r : drawn)
        w.drawRoute(&port, &port, r.first.first, r.first.second, r.second.first, r.second.second);

    w.dealWithData(SysexFrame::classify(frame), frame);
    QCOMPARE(mapRoutes(w), drawn);
    QVERIFY(consistent(w));
    QCOMPARE(answerer.messages(), message.isEmpty() ? QStringList() : QStringList{message});
}

// A misbehaving router: frames of every length with seeded random payloads, read as any kind,
// in any order, between the user's gestures. Nothing may crash, and the window stays
// consistent after every frame.
void TestRouting::hostileFrames() {
    Fixture f;
    QVERIFY(f.connect());
    f.bench.sim.setSilent(true); // the frames below are all the window hears
    WidgetTestAccess &w = f.w;
    QRandomGenerator random(20240611);
    const int edgeBytes[] = {0x00, 0x01, 0x02, 0x03, 0x7F, 0x80, 0x81, 0xFF};
    int removals = 0;
    for (int round = 0; round < 60; ++round) {
        for (int length = 2; length <= 40; ++length) {
            QByteArray frame = bytes("F000215E").left(length);
            while (frame.size() < length)
                frame.append(
                    char(random.bounded(2) ? edgeBytes[random.bounded(8)] : random.bounded(256)));
            const Feedbacktype kind =
                random.bounded(2) ? SysexFrame::classify(frame) : Feedbacktype(random.bounded(10));
            // Filter reports redraw the filter panel and port counts wait 15 ms: keep both
            // rare, and the counts small or negative.
            if ((kind == PortFilterReport && random.bounded(8)) ||
                (kind == PortCountReport && random.bounded(4)))
                continue;
            for (int i = 6; kind == PortCountReport && i < qMin(10, length); ++i)
                frame[i] = char(frame.at(i) & 0x87);

            const QList<Route> before = mapRoutes(w);
            w.dealWithData(kind, frame);
            const QList<Route> after = mapRoutes(w);
            const QByteArray where = frame.toHex(' ');
            // A route report adds its own route at most, and only between ports the map holds.
            const Route reported({byteAt(frame, 6), byteAt(frame, 7)},
                                 {byteAt(frame, 8), byteAt(frame, 9)});
            if (kind == RouteReport && after != before)
                QVERIFY2(inMap(w, reported.first, true) && inMap(w, reported.second, false) &&
                             after == sorted(QList<Route>(before) << reported),
                         where);
            removals += after.size() < before.size() ? 1 : 0;

            // The user's gestures in between: a route added, a deletion asked for.
            if (!w.inputButtons().isEmpty() && !w.outputButtons().isEmpty() &&
                random.bounded(4) == 0) {
                w.anchorSource(w.inputButtons().at(random.bounded(w.inputButtons().size())));
                w.addRoute(w.outputButtons().at(random.bounded(w.outputButtons().size())));
            }
            const QList<MyLine *> lines = routeLines(w).values();
            if (!lines.isEmpty() && random.bounded(6) == 0)
                emit lines.at(0)->currLine(lines.at(0));
            QVERIFY2(consistent(w), where);
        }
    }
    QVERIFY(removals > 10); // the run did reach the deletions and refusals
}

// Replies from the router as it sends them, each with frames that look like it and go wrong
// in one way: only the well-formed ones draw a route, make a filter record or show a verdict.
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
    QTest::newRow("route report, kind bytes 01 02")
        << bytes("F000215E 0102 0001000201 F7") << none << QStringList() << QString();
    QTest::newRow("route command echoed")
        << bytes("F000215E 0201 0001000201 F7") << none << QStringList() << QString();
    QTest::newRow("route report, state 81")
        << bytes("F000215E 0103 0001000281 F7") << none << QStringList() << QString();
    QTest::newRow("route report that lost its end, then one whole")
        << bytes("F000215E 0103 0001 F000215E 0103 0002000101 F7") << QList<Route>{{{0, 2}, {0, 1}}}
        << QStringList() << QString();

    QTest::newRow("filter report") << bytes("F000215E 0105 0009" + filter + "F7") << none
                                   << QStringList{"MIDI IN9"} << QString();
    QTest::newRow("filter report, manufacturer 01 21 5E")
        << bytes("F001215E 0105 0009" + filter + "F7") << none << QStringList() << QString();
    QTest::newRow("set-filter command echoed")
        << bytes("F000215E 0203 0009" + filter + "F7") << none << QStringList() << QString();
    QTest::newRow("filter report, byte 90 inside")
        << bytes("F000215E 0105 000990" + filter.mid(2) + "F7") << none << QStringList()
        << QString();
    QTest::newRow("filter report that lost bytes")
        << bytes("F000215E 0105 0009" + filter.mid(2) + "F7") << none << QStringList() << QString();
    QTest::newRow("filter report that lost its end, then one whole")
        << bytes("F000215E 0105 0009" + filter.left(20) + "F000215E 0105 0109" + filter + "F7")
        << none << QStringList{"MIDI OUT9"} << QString();

    QTest::newRow("route refusal")
        << bytes("F000215E 0201 0101 F7") << none << QStringList() << illegal;
    QTest::newRow("route refusal, manufacturer 00 20 5E")
        << bytes("F000205E 0201 0101 F7") << none << QStringList() << QString();
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
    const QVector<FilterBits::MemberBit> &members = FilterBits::members();
    QByteArray reports;
    FilterBytes last{};
    for (int i = 0; i < 300; ++i) {
        const QString box = members.at(i % members.size()).boxName;
        last = FilterBits::pack([&](const QString &b) { return b == box; });
        reports += filterReport("0001", last);
    }

    QVERIFY(handledUpToSentinel(f, reports));
    QCOMPARE(recordNames(f.w), known);
    QCOMPARE(f.w.portFilters().first()->getFilterBytes(), last);
    QCOMPARE(
        FilterBits::pack([&](const QString &b) { return f.bench.find<QCheckBox>(b)->isChecked(); }),
        last);
}

// Rows are named source>destination, on a router that holds MIDI IN 2 to USB HOST 1 and
// allows one route per source. No destination: released over empty space.
void TestRouting::dragGestures_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("refusal");
    const QString none;
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

// Click a source, then destinations; take one route away with a right click; clear the rest.
void TestRouting::clickDeleteAndClear() {
    Fixture f;
    QVERIFY(f.connect());
    QTest::mouseClick(named(f.w.inputButtons(), "MIDI IN 2"), Qt::LeftButton);
    QTest::mouseClick(named(f.w.outputButtons(), "MIDI OUT 1"), Qt::LeftButton);
    QTest::mouseClick(named(f.w.outputButtons(), "USB HOST 1"), Qt::LeftButton);
    QCOMPARE(f.takeSent(), QList<QByteArray>({bytes("F000215E0201 00 02 00 01 01 F7"),
                                              bytes("F000215E0201 00 02 01 01 01 F7")}));
    QVERIFY(f.agree());

    const Route doomed{{0, 2}, {1, 1}};
    MyLine *line = routeLines(f.w).value(doomed);
    f.bench.sim.setPacing(600); // verdicts leave slowly: the state before them can be seen
    QTest::mouseClick(f.view()->viewport(), Qt::RightButton, {},
                      f.view()->mapFromScene(line->line().center()));
    QCOMPARE(routeLines(f.w).value(doomed), line);
    QCOMPARE(f.takeSent(), QList<QByteArray>({bytes("F000215E0201 00 02 01 01 00 F7")}));
    QCOMPARE(f.bench.sim.routes(), QList<Route>({{{0, 2}, {0, 1}}}));
    QVERIFY(f.agree());

    auto *disconnectAll = f.bench.find<QPushButton>("pushButton_5");
    f.bench.answerer.pressButton("NO");
    disconnectAll->click();
    QCOMPARE(f.bench.answerer.messages(), QStringList({"Disconnect All ?"}));
    const QStringList answers = f.bench.answerer.seen.first().buttons;
    QVERIFY(answers.size() == 2 && answers.contains("Yes") && answers.contains("NO"));
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    f.bench.answerer.pressButton("Yes");
    disconnectAll->click();
    QCOMPARE(routeLines(f.w).size(), 1);
    QCOMPARE(f.takeSent(), QList<QByteArray>({bytes("F000215E0201 00 00 00 00 7F F7")}));
    QVERIFY(f.agree() && f.bench.sim.routes().isEmpty());
}

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
