// The route state byte of the router's route reports, through the simulated router: states
// 00 and 7F draw nothing, any other draws the route once, between the buttons it names.
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "tests/support/routerbench.h"

#include <QPushButton>
#include <QTest>

namespace {

// A route report: source class and number, destination class and number, state.
QByteArray routeReport(const char *payloadHex) {
    return QByteArray::fromHex(QByteArray("F000215E0103") + payloadHex + "F7");
}

// A line starts 10 px right of its input button's middle and ends a third of a button width
// left of its output button, both 5 px below the buttons' tops.
QPointF sourceAnchor(const QPushButton *b) {
    return QPointF(b->x() + 10 + b->width() / 2, b->y() + 5);
}
QPointF destinationAnchor(const QPushButton *b) {
    return QPointF(b->x() - b->width() / 3, b->y() + 5);
}

// The text of the button whose anchor is at the given point.
QString textOfButtonAt(const QList<QPushButton *> &buttons, QPointF anchor,
                       QPointF (*anchorOf)(const QPushButton *)) {
    for (const QPushButton *button : buttons)
        if (anchorOf(button) == anchor)
            return button->text();
    return "?";
}

// Every route line shown, as "source button > destination button", sorted.
QStringList shownLines(WidgetTestAccess &w) {
    QStringList lines;
    for (QGraphicsItem *item : w.scene()->items()) {
        const auto *line = dynamic_cast<MyLine *>(item);
        if (!line || line == w.dragLine())
            continue;
        lines << textOfButtonAt(w.inputButtons(), line->line().p1(), sourceAnchor) + " > " +
                     textOfButtonAt(w.outputButtons(), line->line().p2(), destinationAnchor);
    }
    lines.sort();
    return lines;
}

} // namespace

class TestRouteReportState : public QObject {
    Q_OBJECT
private slots:
    void stateDecidesTheLine_data();
    void stateDecidesTheLine();
};

void TestRouteReportState::stateDecidesTheLine_data() {
    QTest::addColumn<QByteArray>("reports");
    QTest::addColumn<QStringList>("lines");
    // USB Device 1 to USB HOST 1: input button 4 of 4, output button 4 of 5.
    const QByteArray deviceToHost = "0201010101";
    const QString drawn = "USB Device 1 > USB HOST 1";
    QTest::newRow("state 00") << routeReport("0201010100") << QStringList();
    QTest::newRow("state 7F") << routeReport("020101017F") << QStringList();
    QTest::newRow("state 01") << routeReport(deviceToHost) << QStringList(drawn);
    QTest::newRow("state 01 twice")
        << routeReport(deviceToHost) + routeReport(deviceToHost) << QStringList(drawn);
}

void TestRouteReportState::stateDecidesTheLine() {
    QFETCH(QByteArray, reports);
    QFETCH(QStringList, lines);
    RouterBench bench;
    bench.sim.setPortCounts({2, 3, 1, 1});
    bench.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window()) && bench.connectAndWait());
    WidgetTestAccess w = bench.access();

    // A last report, MIDI IN 2 to MIDI OUT 3, shows when the ones before it have been handled.
    bench.sim.inject(reports + routeReport("0002000301"));
    QVERIFY(QTest::qWaitFor([&] { return w.routeMap().contains({0, 2}, {0, 3}); }, 3000));
    lines << "MIDI IN 2 > MIDI OUT 3";
    lines.sort();
    QCOMPARE(shownLines(w), lines);
    QCOMPARE(w.routeMap().size(), lines.size());
}

QTEST_MAIN(TestRouteReportState)
#include "tst_routereportstate.moc"
