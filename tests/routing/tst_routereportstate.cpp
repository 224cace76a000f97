// The route state byte of the router's route reports, through the simulated router: states
// 00 and 7F draw nothing, any other draws the route once, between the buttons it names.
#include "routing/myline.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include <QPushButton>
#include <QTest>

namespace {

using namespace RoutePicture;

// A route report: source class and number, destination class and number, state.
QByteArray routeReport(const QByteArray &payloadHex) {
    return Wire::frame("0103" + payloadHex);
}

// Every route line shown, as "input button > output button" of the buttons it runs between,
// sorted.
QStringList shownLines(WidgetTestAccess &w) {
    QStringList lines;
    for (const MyLine *line : routeLines(w))
        for (const QPushButton *in : w.inputButtons())
            for (const QPushButton *out : w.outputButtons())
                if (anchors(in, out) == line->line())
                    lines << in->text() + " > " + out->text();
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
    RoutingFixture f;
    QVERIFY(f.connect({}, {2, 3, 1, 1}));

    // A last report, MIDI IN 2 to MIDI OUT 3, shows when the ones before it have been handled.
    f.bench.sim.inject(reports + routeReport("0002000301"));
    QVERIFY(QTest::qWaitFor([&] { return f.w.routeMap().contains({0, 2}, {0, 3}); }, 3000));
    lines << "MIDI IN 2 > MIDI OUT 3";
    lines.sort();
    QCOMPARE(shownLines(f.w), lines);
    QCOMPARE(f.w.routeMap().size(), lines.size());
}

QTEST_MAIN(TestRouteReportState)
#include "tst_routereportstate.moc"
