// Which box stands for which bit of which filter byte, both ways through the window and the
// simulated router, against the hand-written table of tests/support/filtertable.
#include "filters/portfilteringsituation.h"
#include "tests/support/filtertable.h"
#include "tests/support/routerbench.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

// A filter frame for port MIDI IN1: message class and code, the port, 25 bytes, two zeros.
QByteArray filterFrame(const char *classAndCode, const QByteArray &bytes) {
    return QByteArray::fromHex(QByteArray("F000215E") + classAndCode + "0001") + bytes +
           QByteArray::fromHex("0000F7");
}

// Every check box of the window that is not clear, by name; "~" marks a partly checked one.
QStringList panelState(RouterBench &bench) {
    QStringList shown;
    for (const QCheckBox *box : bench.window().findChildren<QCheckBox *>()) {
        if (box->checkState() != Qt::Unchecked)
            shown << box->objectName() + (box->checkState() == Qt::PartiallyChecked ? "~" : "");
    }
    shown.sort();
    return shown;
}

} // namespace

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
    QList<PortFilteringSituation *> &records = bench.access().portFilters();
    QSignalSpy sent(&bench.sim, &RouterSimulator::frameReceived);

    for (const FilterTable::Box &row : FilterTable::boxes()) {
        const QByteArray bytes = FilterTable::filterBytes({row});
        // The port's record is made anew from the report.
        qDeleteAll(records);
        records.clear();
        QSignalSpy shown(bench.find<QCheckBox>(row.name), &QCheckBox::toggled);
        bench.sim.inject(filterFrame("0105", bytes));
        shown.wait(2000); // a box that stays clear shows in the comparison
        QStringList alone = {row.name, row.group + "~"};
        alone.sort();
        QCOMPARE(panelState(bench).join(' '), alone.join(' '));

        sent.clear();
        bench.find<QPushButton>("pushButton_2")->click();
        QVERIFY2(sent.wait(2000), qPrintable(row.name));
        QCOMPARE(row.name + " " + sent.first().first().toByteArray().toHex(' '),
                 row.name + " " + filterFrame("0203", bytes).toHex(' '));
    }
}

QTEST_MAIN(TestFilterBits)
#include "tst_filterbits.moc"
