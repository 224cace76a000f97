#include "filters/filterbits.h"
#include "filters/portfilteringsituation.h"
#include "routing/portidentity.h"
#include "tests/routing/routingprobe.h"
#include "tests/support/routerbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTest>

using namespace RoutingProbe;

namespace {

QStringList texts(const QList<QPushButton *> &buttons) {
    QStringList list;
    for (QPushButton *button : buttons)
        list << button->text();
    return list;
}

QStringList comboItems(QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Connects to a router that has no ports, so that the chain ends at once with an empty
// routing page and chooser, then silences the router: the test's own frames are the only
// replies, and whatever the window sends is recorded.
bool connectToQuietRouter(RouterBench &bench) {
    bench.sim.setPortCounts({});
    bench.find<QPushButton>("pushButton")->click();
    if (!bench.access().serialPort()->isOpen() || !bench.waitForFrames(5))
        return false;
    QTest::qWait(20);
    bench.sim.setSilent(true);
    bench.sim.clearReceived();
    return true;
}

// Waits long enough for anything written to reach the simulator, then takes what came.
QList<QByteArray> takeSent(RouterBench &bench) {
    QTest::qWait(40);
    const QList<QByteArray> frames = bench.sent();
    bench.sim.clearReceived();
    return frames;
}

} // namespace

class TestDispatcher : public QObject {
    Q_OBJECT

private slots:
    void connectRunsTheQueryChain();
    void modeReportAsksForPortCounts_data();
    void modeReportAsksForPortCounts();
    void portCountsBuildThePortMap();
    void routeReports_data();
    void routeReports();
    void repeatedAndFannedOutRouteReports();
    void filterPortCountsFillTheChooserOnce();
    void portFilterReportsCreateRecords();
    void routeResults_data();
    void routeResults();
    void verdictMessages_data();
    void verdictMessages();
    void hostileFrames();
};

void TestDispatcher::connectRunsTheQueryChain() {
    RouterBench bench;
    bench.sim.setPortCounts({2, 3, 1, 1});
    const QList<Route> held = {{{0, 1}, {0, 2}}, {{2, 1}, {1, 1}}, {{1, 1}, {0, 3}}};
    bench.sim.setRoutes(held);
    // MIDI IN1 gets the first member box's bit, MIDI OUT1 the second's: only the first shows.
    const FilterBits::MemberBit shown = FilterBits::members().at(0);
    const FilterBits::MemberBit hidden = FilterBits::members().at(1);
    FilterBytes midiIn1{};
    midiIn1[std::size_t(shown.byteIndex)] = qint32(shown.mask);
    bench.sim.setFilter({0, 1}, midiIn1);
    FilterBytes midiOut1{};
    midiOut1[std::size_t(hidden.byteIndex)] = qint32(hidden.mask);
    bench.sim.setFilter({1, 1}, midiOut1);
    bench.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));

    QVERIFY(bench.connectAndWait());
    WidgetTestAccess w = bench.access();

    const QList<RouterSimulator::ReceivedFrame> frames = bench.sim.receivedFrames();
    QCOMPARE(frames.size(), 5);
    for (int item = 1; item <= 5; ++item)
        QCOMPARE(frames.at(item - 1).bytes, SysexFrame::query(item));
    QVERIFY2(frames.at(3).atMs - frames.at(2).atMs >= 15,
             qPrintable(QString("query 4 came %1 ms after query 3")
                            .arg(frames.at(3).atMs - frames.at(2).atMs)));

    QCOMPARE(texts(w.inputButtons()),
             QStringList({"MIDI IN 1", "MIDI IN 2", "USB HOST 1", "USB Device 1"}));
    QCOMPARE(texts(w.outputButtons()),
             QStringList({"MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "USB HOST 1", "USB Device 1"}));
    auto *view = bench.find<QGraphicsView>("graphicsView");
    for (QPushButton *button : w.inputButtons() + w.outputButtons()) {
        QCOMPARE(button->parentWidget(), view);
        QCOMPARE(button->size(), QSize(120, 35));
        QVERIFY(button->isVisible());
        const bool midi = button->text().startsWith("MIDI");
        QVERIFY(button->styleSheet().contains(midi ? "rgb(216,216,216)" : "rgb(146, 208, 80)"));
    }
    QStringList labels;
    for (QLabel *label : view->findChildren<QLabel *>())
        labels << label->text();
    labels.sort();
    QCOMPARE(labels, QStringList({"  Input Ports", "  Output Ports"}));
    QCOMPARE(view->height(), (5 + 2) * 40);
    // Inputs on the left, outputs on the right, each column from the top in list order.
    for (int i = 1; i < w.inputButtons().size(); ++i)
        QVERIFY(w.inputButtons().at(i)->y() > w.inputButtons().at(i - 1)->y());
    QVERIFY(w.outputButtons().at(0)->x() > w.inputButtons().at(0)->x() + 120);

    QCOMPARE(routesOfMap(w), sorted(held));
    QCOMPARE(routesOfLines(w), sorted(held));
    for (const Route &route : held) {
        const MyLine *line = lineOf(w, route);
        QPushButton *from = w.inputButtons().at(
            PortIdentity::buttonIndex(PortIdentity::End::Source, route.first, {2, 3, 1, 1}));
        QPushButton *to = w.outputButtons().at(
            PortIdentity::buttonIndex(PortIdentity::End::Destination, route.second, {2, 3, 1, 1}));
        QCOMPARE(line->line().p1(), sourceAnchorOf(from));
        QCOMPARE(line->line().p2(), destinationAnchorOf(to));
        QCOMPARE(line->pen().color(), QColor(Qt::black));
        QCOMPARE(line->pen().widthF(), 2.0);
        QCOMPARE(line->flags(), QGraphicsItem::ItemIsSelectable);
    }

    const QStringList ports = {"MIDI IN1",      "MIDI IN2",       "MIDI OUT1",
                               "MIDI OUT2",     "MIDI OUT3",      "USB HOST IN1",
                               "USB HOST OUT1", "USB DEVICE IN1", "USB DEVICE OUT1"};
    QCOMPARE(comboItems(bench.find<QComboBox>("comboBox_MiDiPorts")), ports);
    QStringList records;
    for (PortFilteringSituation *record : w.portFilters())
        records << record->getPortName();
    QCOMPARE(records, ports);
    QVERIFY(bench.find<QCheckBox>(shown.boxName)->isChecked());
    QVERIFY(!bench.find<QCheckBox>(hidden.boxName)->isChecked());
    QCOMPARE(bench.answerer.seen.size(), 0);
}

void TestDispatcher::modeReportAsksForPortCounts_data() {
    QTest::addColumn<int>("mode");
    for (int mode : {1, 2, 3, 4, 5, 0x7F})
        QTest::addRow("mode %d", mode) << mode;
}

void TestDispatcher::modeReportAsksForPortCounts() {
    QFETCH(int, mode);
    RouterBench bench;
    QVERIFY(connectToQuietRouter(bench));
    WidgetTestAccess w = bench.access();
    w.dealWithData(ModeReport, modeReport(mode));
    QCOMPARE(takeSent(bench), QList<QByteArray>({SysexFrame::query(2)}));
    QVERIFY(w.inputButtons().isEmpty());
    QVERIFY(w.routeMap().isEmpty());
    QCOMPARE(w.lastCommand(), 0);
}

void TestDispatcher::portCountsBuildThePortMap() {
    RouterBench bench;
    QVERIFY(connectToQuietRouter(bench));
    WidgetTestAccess w = bench.access();
    auto *view = bench.find<QGraphicsView>("graphicsView");

    w.dealWithData(PortCountReport, portCountReport(2, 2, 1, 1));
    QCOMPARE(texts(w.inputButtons()),
             QStringList({"MIDI IN 1", "MIDI IN 2", "USB HOST 1", "USB Device 1"}));
    QCOMPARE(texts(w.outputButtons()),
             QStringList({"MIDI OUT 1", "MIDI OUT 2", "USB HOST 1", "USB Device 1"}));
    QCOMPARE(view->height(), 240);
    QCOMPARE(w.scene()->sceneRect().topLeft(), QPointF(0, 0));
    const QList<RouterSimulator::ReceivedFrame> frames = bench.sim.receivedFrames();
    QCOMPARE(takeSent(bench), QList<QByteArray>({SysexFrame::query(3), SysexFrame::query(4)}));

    // A second report replaces the whole map; the old buttons are gone.
    QList<QPointer<QPushButton>> old;
    for (QPushButton *button : w.inputButtons() + w.outputButtons())
        old << button;
    w.dealWithData(PortCountReport, portCountReport(0, 3, 0, 0));
    for (const QPointer<QPushButton> &button : old)
        QVERIFY(button.isNull());
    QVERIFY(w.inputButtons().isEmpty());
    QCOMPARE(texts(w.outputButtons()), QStringList({"MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3"}));
    QCOMPARE(view->findChildren<QPushButton *>().size(), 3);
    QCOMPARE(view->findChildren<QLabel *>().size(), 2);
    QCOMPARE(view->height(), 200);

    // Counts read as negative hold no ports.
    w.dealWithData(PortCountReport, portCountReport(0x81, 1, 0xFF, 1));
    QCOMPARE(texts(w.inputButtons()), QStringList({"USB Device 1"}));
    QCOMPARE(texts(w.outputButtons()), QStringList({"MIDI OUT 1", "USB Device 1"}));
    QCOMPARE(w.midiInCount(), 0);
    QCOMPARE(w.usbHostCount(), 0);
}

void TestDispatcher::routeReports_data() {
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("inputIndex"); // -1: nothing drawn
    QTest::addColumn<int>("outputIndex");
    // With counts a = 2, b = 3, c = 1, d = 1.
    QTest::newRow("USB Device 1 to USB HOST 1") << routeReport({{2, 1}, {1, 1}}) << 3 << 3;
    QTest::newRow("MIDI IN 2 to MIDI OUT 3") << routeReport({{0, 2}, {0, 3}}) << 1 << 2;
    QTest::newRow("USB HOST 1 to USB Device 1") << routeReport({{1, 1}, {2, 1}}) << 2 << 4;
    QTest::newRow("state 7F") << routeReport({{0, 1}, {0, 1}}, 0x7F) << -1 << -1;
    QTest::newRow("state 0") << routeReport({{0, 1}, {0, 1}}, 0) << -1 << -1;
    QTest::newRow("source number 0") << routeReport({{0, 0}, {0, 1}}) << -1 << -1;
    QTest::newRow("destination number 0") << routeReport({{0, 1}, {0, 0}}) << -1 << -1;
    QTest::newRow("MIDI IN 3 missing") << routeReport({{0, 3}, {0, 1}}) << -1 << -1;
    QTest::newRow("USB HOST 2 missing") << routeReport({{0, 1}, {1, 2}}) << -1 << -1;
    QTest::newRow("source class 3") << routeReport({{3, 1}, {0, 1}}) << -1 << -1;
    QTest::newRow("destination class 3") << routeReport({{0, 1}, {3, 1}}) << -1 << -1;
    QTest::newRow("class byte 0x80") << routeReport({{0x80, 1}, {0, 1}}) << -1 << -1;
    QTest::newRow("number byte 0xFF") << routeReport({{0, 1}, {0, 0xFF}}) << -1 << -1;
    QTest::newRow("number 127") << routeReport({{0, 127}, {0, 1}}) << -1 << -1;
}

void TestDispatcher::routeReports() {
    QFETCH(QByteArray, report);
    QFETCH(int, inputIndex);
    QFETCH(int, outputIndex);
    Widget window;
    WidgetTestAccess w(window);
    // Before any port counts nothing can be drawn.
    w.dealWithData(RouteReport, report);
    QVERIFY(routeLines(w).isEmpty());
    QVERIFY(w.routeMap().isEmpty());

    w.dealWithData(PortCountReport, portCountReport(2, 3, 1, 1));
    w.dealWithData(RouteReport, report);
    if (inputIndex < 0) {
        QVERIFY(routeLines(w).isEmpty());
        QVERIFY(w.routeMap().isEmpty());
        QVERIFY(!w.lastRouteLine());
        return;
    }
    const Route route({SysexFrame::byteAt(report, 6), SysexFrame::byteAt(report, 7)},
                      {SysexFrame::byteAt(report, 8), SysexFrame::byteAt(report, 9)});
    QCOMPARE(routesOfMap(w), QList<Route>({route}));
    QCOMPARE(routeLines(w).size(), 1);
    MyLine *line = routeLines(w).first();
    QCOMPARE(w.lastRouteLine(), line);
    QCOMPARE(line->key, route.first);
    QCOMPARE(line->value, route.second);
    QCOMPARE(line->line().p1(), sourceAnchorOf(w.inputButtons().at(inputIndex)));
    QCOMPARE(line->line().p2(), destinationAnchorOf(w.outputButtons().at(outputIndex)));
}

void TestDispatcher::repeatedAndFannedOutRouteReports() {
    Widget window;
    WidgetTestAccess w(window);
    w.dealWithData(PortCountReport, portCountReport(1, 2, 0, 0));
    w.dealWithData(RouteReport, routeReport({{0, 1}, {0, 1}}));
    MyLine *first = w.lastRouteLine();
    w.dealWithData(RouteReport, routeReport({{0, 1}, {0, 2}}));
    MyLine *second = w.lastRouteLine();
    QVERIFY(second && second != first);
    w.dealWithData(RouteReport, routeReport({{0, 1}, {0, 1}}));
    QCOMPARE(w.lastRouteLine(), second);
    QCOMPARE(routeLines(w).size(), 2);
    // Entries of one source: the newest first.
    QCOMPARE(w.routeMap().values({0, 1}), QList<RouteEnd>({{0, 2}, {0, 1}}));

    // Anchors at the design's example places.
    QPushButton in;
    in.setGeometry(80, 45, 120, 35);
    QPushButton out;
    out.setGeometry(400, 45, 120, 35);
    w.drawRoute(&in, &out, 2, 1, 2, 1);
    QCOMPARE(w.lastRouteLine()->line(), QLineF(150, 50, 360, 50));
}

void TestDispatcher::filterPortCountsFillTheChooserOnce() {
    RouterBench bench;
    QVERIFY(connectToQuietRouter(bench));
    WidgetTestAccess w = bench.access();
    auto *ports = bench.find<QComboBox>("comboBox_MiDiPorts");

    w.dealWithData(FilterPortCountReport, filterPortCountReport({2, 2, 1, 1, 1, 1}));
    const QStringList items = {"MIDI IN1",       "MIDI IN2",       "MIDI OUT1",
                               "MIDI OUT2",      "USB HOST IN1",   "USB HOST OUT1",
                               "USB DEVICE IN1", "USB DEVICE OUT1"};
    QCOMPARE(comboItems(ports), items);
    QVERIFY(ports->isEnabled());
    QVERIFY(!ports->itemData(0).isValid());
    QCOMPARE(takeSent(bench), QList<QByteArray>({SysexFrame::query(5)}));

    w.dealWithData(FilterPortCountReport, filterPortCountReport({3, 3, 3, 3, 3, 3}));
    QCOMPARE(comboItems(ports), items);
    QCOMPARE(takeSent(bench), QList<QByteArray>());
}

void TestDispatcher::portFilterReportsCreateRecords() {
    Widget window;
    WidgetTestAccess w(window);
    w.dealWithData(FilterPortCountReport, filterPortCountReport({1, 0, 0, 1, 0, 0}));
    QByteArray bytes(25, '\0');
    bytes[0] = 0x7F;
    bytes[24] = char(0x85); // not a 7-bit value: kept sign-extended
    w.dealWithData(PortFilterReport, portFilterReport(3, 2, bytes));
    w.dealWithData(PortFilterReport, portFilterReport(9, 1, QByteArray()));
    QCOMPARE(w.portFilters().size(), 2);
    QCOMPARE(w.portFilters().at(0)->getPortName(), QString("USB HOST OUT2"));
    QCOMPARE(w.portFilters().at(0)->getFilterBytes()[0], 0x7F);
    QCOMPARE(w.portFilters().at(0)->getFilterBytes()[24], -123);
    QCOMPARE(w.portFilters().at(1)->getPortName(), QString());
}

void TestDispatcher::routeResults_data() {
    QTest::addColumn<int>("lastCommand");
    QTest::addColumn<QByteArray>("verdict");
    QTest::addColumn<QList<Route>>("left");
    QTest::addColumn<QString>("message");
    // Routes a, b and c drawn in that order; c is the last route line, a awaits deletion.
    const Route a{{0, 1}, {0, 1}};
    const Route b{{0, 1}, {0, 2}};
    const Route c{{1, 1}, {0, 2}};
    const QList<Route> all = sorted({a, b, c});
    QTest::newRow("refused: port number")
        << 0 << routeResult(1, 2) << QList<Route>({a, b}) << "Port serial number error";
    QTest::newRow("refused: illegal") << 0 << routeResult(1, 1) << QList<Route>({a, b})
                                      << "Illegal routing (i.e. unable to connect in this way)";
    QTest::newRow("refused: limit")
        << 2 << routeResult(1, 3) << QList<Route>({a, b})
        << "Exceeding the number of routes (some connecting nodes have a specified number of "
           "routes)";
    QTest::newRow("refused, unknown reason")
        << 0 << routeResult(1, 5) << QList<Route>({a, b}) << "";
    QTest::newRow("refused, reason byte 0x85")
        << 0 << routeResult(0x7F, 0x85) << QList<Route>({a, b}) << "";
    QTest::newRow("accepted, nothing pending") << 0 << routeResult(0, 0) << all << "";
    QTest::newRow("delete confirmed") << 1 << routeResult(0, 0) << QList<Route>({b, c}) << "";
    QTest::newRow("clear confirmed") << 2 << routeResult(0, 0) << QList<Route>() << "";
    QTest::newRow("result 0, reason set") << 1 << routeResult(0, 1) << all << "";
    QTest::newRow("reason 0, result set") << 2 << routeResult(1, 0) << all << "";
}

void TestDispatcher::routeResults() {
    QFETCH(int, lastCommand);
    QFETCH(QByteArray, verdict);
    QFETCH(QList<Route>, left);
    QFETCH(QString, message);
    ModalAnswerer answerer;
    Widget window;
    WidgetTestAccess w(window);
    w.dealWithData(PortCountReport, portCountReport(1, 2, 1, 0));
    for (const Route &route : {Route{{0, 1}, {0, 1}}, Route{{0, 1}, {0, 2}}, Route{{1, 1}, {0, 2}}})
        w.dealWithData(RouteReport, routeReport(route));
    w.lastCommand() = lastCommand;
    w.lineToDelete() = lineOf(w, {{0, 1}, {0, 1}});

    w.dealWithData(RouteResult, verdict);
    QCOMPARE(w.lastCommand(), 0);
    QCOMPARE(routesOfLines(w), sorted(left));
    QCOMPARE(routesOfMap(w), sorted(left));
    QCOMPARE(answerer.messages(), message.isEmpty() ? QStringList() : QStringList({message}));
    for (const ModalAnswerer::Seen &box : answerer.seen) {
        QCOMPARE(box.title, QString("Pellvane"));
        QCOMPARE(box.buttons, QStringList({"OK"}));
    }
    // Pointers to lines no longer shown are cleared; the ones left still point at shown lines.
    for (MyLine *line : {w.lastRouteLine(), w.lineToDelete()})
        QVERIFY(!line || routeLines(w).contains(line));
    // A later verdict never touches a line that is gone.
    w.dealWithData(RouteResult, routeResult(1, 7));
    QCOMPARE(routesOfLines(w), routesOfMap(w));
}

void TestDispatcher::verdictMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("message");
    const int config = SysexFrame::CodeConfig;
    const int filter = SysexFrame::CodeFilter;
    QTest::newRow("config done") << int(ConfigResult) << result(config, 0, 9)
                                 << "Configuration successful";
    QTest::newRow("config failed")
        << int(ConfigResult) << result(config, 5, 0) << "Configuration failed";
    QTest::newRow("filter done") << int(FilterResult) << result(filter, 0, 3)
                                 << "Configuration successful";
    QTest::newRow("filter port") << int(FilterResult) << result(filter, 1, 1)
                                 << "Configuration failed:Wrong port serial number";
    QTest::newRow("filter category")
        << int(FilterResult) << result(filter, 1, 2) << "Configuration failed:Category error";
    QTest::newRow("filter category number") << int(FilterResult) << result(filter, 1, 3)
                                            << "Configuration failed:Category serial number error";
    QTest::newRow("filter reason 4") << int(FilterResult) << result(filter, 1, 4) << "";
    QTest::newRow("filter result 2") << int(FilterResult) << result(filter, 2, 1) << "";
    QTest::newRow("other frame") << int(OtherFrame) << result(filter, 0, 0) << "";
    QTest::newRow("unknown kind") << 42 << result(config, 0, 0) << "";
}

void TestDispatcher::verdictMessages() {
    QFETCH(int, kind);
    QFETCH(QByteArray, frame);
    QFETCH(QString, message);
    ModalAnswerer answerer;
    Widget window;
    WidgetTestAccess w(window);
    w.dealWithData(Feedbacktype(kind), frame);
    QCOMPARE(answerer.messages(), message.isEmpty() ? QStringList() : QStringList({message}));
}

// A misbehaving router: frames of every length with random payloads, read as any kind, in any
// order, mixed with the user's route gestures. Nothing may crash, and the picture, the route
// table and the window's pointers must stay consistent after every frame.
void TestDispatcher::hostileFrames() {
    ModalAnswerer answerer;
    Widget window;
    WidgetTestAccess w(window);
    QRandomGenerator random(20240611);
    // Bytes the router might get wrong, and plain random ones.
    const QList<int> edgeBytes = {0x00, 0x01, 0x02, 0x03, 0x7F, 0x80, 0x81, 0xFF};
    const auto randomByte = [&] {
        return random.bounded(2) ? edgeBytes.at(random.bounded(edgeBytes.size()))
                                 : int(random.bounded(256));
    };
    int removals = 0;
    int mostLines = 0;
    for (int round = 0; round < 60; ++round) {
        for (int length = 2; length <= 40; ++length) {
            QByteArray frame = SysexFrame::build(0x01, 0x00, {}).left(4);
            while (frame.size() < length)
                frame.append(char(randomByte()));
            frame = frame.left(length);
            Feedbacktype kind = random.bounded(2) ? SysexFrame::classify(frame).value_or(OtherFrame)
                                                  : Feedbacktype(random.bounded(10));
            // Filter reports redraw the filter panel once for every record of the shown name,
            // and port counts rebuild the map and wait 15 ms: keep both rare, counts small.
            if (kind == PortFilterReport && random.bounded(8) != 0)
                continue;
            if (kind == PortCountReport) {
                if (random.bounded(4) != 0)
                    continue;
                for (int i = 6; i < qMin(10, frame.size()); ++i)
                    frame[i] = char(frame.at(i) & 0x87);
            }
            const int linesBefore = routeLines(w).size();
            w.dealWithData(kind, frame);
            removals += routeLines(w).size() < linesBefore ? 1 : 0;
            if (kind == RouteResult)
                QCOMPARE(w.lastCommand(), 0);

            // The user's gestures in between: a route added, a deletion asked for.
            if (!w.inputButtons().isEmpty() && !w.outputButtons().isEmpty() &&
                random.bounded(4) == 0) {
                w.anchorSource(w.inputButtons().at(random.bounded(w.inputButtons().size())));
                w.addRoute(w.outputButtons().at(random.bounded(w.outputButtons().size())));
            }
            const QList<MyLine *> lines = routeLines(w);
            mostLines = qMax(mostLines, lines.size());
            if (!lines.isEmpty() && random.bounded(6) == 0) {
                MyLine *line = lines.at(random.bounded(lines.size()));
                emit line->currLine(line);
            }

            const QString where =
                QString("round %1, frame %2").arg(round).arg(QString(frame.toHex(' ')));
            QVERIFY2(routesOfLines(w) == routesOfMap(w), qPrintable(where));
            const QList<Route> known = routesOfMap(w);
            QVERIFY2(std::adjacent_find(known.begin(), known.end()) == known.end(),
                     qPrintable(where));
            QCOMPARE(w.inputButtons().size(),
                     w.midiInCount() + w.usbHostCount() + w.usbDeviceCount());
            QCOMPARE(w.outputButtons().size(),
                     w.midiOutCount() + w.usbHostCount() + w.usbDeviceCount());
            for (MyLine *line : {w.lastRouteLine(), w.lineToDelete()})
                QVERIFY2(!line || routeLines(w).contains(line), qPrintable(where));
        }
    }
    // The run did reach the interesting paths.
    QVERIFY(mostLines > 10);
    QVERIFY(removals > 10);
    QVERIFY(w.portFilters().size() > 0);
}

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
