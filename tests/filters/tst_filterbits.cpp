// Which box stands for which bit of which filter byte, both ways through the window and the
// simulated router, against the hand-written table of tests/support/filtertable.
#include "tests/support/filtertable.h"
#include "tests/support/routerbench.h"
#include "tests/support/wire.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

class TestFilterBits : public QObject {
    Q_OBJECT
private slots:
    void eachBoxIsItsBit();
};

// For every box: the router reports a filter with just its bit, and the page shows that box
// alone, its group partly checked; "Set" then sends those same 25 bytes back.
void TestFilterBits::eachBoxIsItsBit() {
    RouterBench bench;
    bench.sim.setPortCounts({1, 0, 0, 0}); // one filter port, MIDI IN1
    QVERIFY(bench.connectAndWait());
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench.sim.setSilent(true); // no verdicts: no message boxes between the rows
    QSignalSpy sent(&bench.sim, &RouterSimulator::frameReceived);

    for (const FilterTable::Box &row : FilterTable::boxes()) {
        const QByteArray bytes = FilterTable::filterBytes({row});
        bench.sim.inject(Wire::filterFrame("0105", "0001", bytes.toHex()));
        QTRY_COMPARE(FilterTable::shownBoxes(bench.window()).join(' '),
                     FilterTable::panelWith({row.name}).join(' '));

        sent.clear();
        bench.find<QPushButton>("pushButton_2")->click();
        QVERIFY2(sent.wait(2000), qPrintable(row.name));
        QCOMPARE(row.name + " " + sent.first().first().toByteArray().toHex(' '),
                 row.name + " " + Wire::setFilter("0001", bytes.toHex()).toHex(' '));
    }
}

QTEST_MAIN(TestFilterBits)
#include "tst_filterbits.moc"
