// Route imports under real use: whatever the user presses and whatever the router does while
// an import paces its routes, the router ends with one file's routes or the notice says how
// far the import came. Long imports show their progress and can be cancelled.
#include "routing/routecommand.h"
#include "tests/support/routerbench.h"
#include "tests/support/testfiles.h"

#include <QElapsedTimer>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Route = RouterSimulator::Route;

const QString ImportedOk = "File imported successfully!";

// MIDI IN 1 and MIDI IN 2, each to all six outputs of a router with 2, 3, 2 and 1 ports.
const QByteArray TwelveRoutes = R"({
    "MIDI IN 1": ["MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "USB HOST 1", "USB HOST 2", "USB Device 1"],
    "MIDI IN 2": ["MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "USB HOST 1", "USB HOST 2", "USB Device 1"]
})";

// The add-route frames among these.
int adds(const QList<QByteArray> &frames) {
    return int(std::count_if(frames.cbegin(), frames.cend(), [](const QByteArray &frame) {
        return frame.size() == 12 && frame.at(10) == 0x01;
    }));
}

// MIDI IN 1 … 5, each to MIDI OUT 1 … 8.
QByteArray fortyRoutes() {
    const QByteArray outs = R"(["MIDI OUT 1", "MIDI OUT 2", "MIDI OUT 3", "MIDI OUT 4",
        "MIDI OUT 5", "MIDI OUT 6", "MIDI OUT 7", "MIDI OUT 8"])";
    QByteArray file = "{";
    for (char in = '1'; in <= '5'; ++in)
        file += QByteArray(in > '1' ? ", " : "") + "\"MIDI IN " + in + "\": " + outs;
    return file + "}";
}

// The k of "Importing routes: k of 40", or -1 when the status line shows no such progress.
int progressShown(const QString &status) {
    const QRegularExpressionMatch match =
        QRegularExpression("^Importing routes: (\\d+) of 40$").match(status);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private slots:
    void init();
    void nothingElseStartsDuringAnImport();
    void repeatedRoutesCostNoPause();
    void longImportShowsProgressAndStops_data();
    void longImportShowsProgressAndStops();
    void cancelInsideAVerdictsMessageBox();

private:
    QString file(const QByteArray &content);
    // Runs once, inside the import's pauses, when the router has had `after` frames.
    void duringImport(int after, const std::function<void()> &action);
    void open(const QString &path);
    // Connects again to a router with five MIDI IN and eight MIDI OUT ports and no routes, on
    // screen, so that what the status line and Cancel show can be seen.
    void reconnectForFortyRoutes();
    QString status() { return bench->find<QLabel>("label_status")->text(); }
    QPushButton *cancelButton() { return bench->find<QPushButton>("pushButton_cancelImport"); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RouterBench> bench;
    int files = 0;
};

void TestImport::init() {
    bench.reset(); // the old bench restores the inventory before the new one installs its own
    dir = std::make_unique<QTemporaryDir>();
    bench = std::make_unique<RouterBench>();
    bench->sim.setPortCounts({2, 3, 2, 1});
    bench->sim.setRoutes({{{1, 1}, {0, 3}}});
    QVERIFY(bench->connectAndWait());
    bench->sim.clearReceived();
}

QString TestImport::file(const QByteArray &content) {
    const QString path = dir->filePath(QString("%1.ini").arg(++files));
    return writeFile(path, content) ? path : QString();
}

void TestImport::duringImport(int after, const std::function<void()> &action) {
    auto *once = new QObject(this);
    connect(&bench->sim, &RouterSimulator::frameReceived, once, [this, after, action, once] {
        if (bench->sim.receivedBytes().size() < after)
            return;
        delete once;
        action();
    });
}

void TestImport::open(const QString &path) {
    bench->answerer.chooseFile(path);
    bench->find<QPushButton>("pushButton_4")->click();
}

void TestImport::reconnectForFortyRoutes() {
    bench->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench->window()));
    bench->find<QPushButton>("pushButton")->click();
    bench->sim.setPortCounts({5, 8, 0, 0});
    bench->sim.setRoutes({});
    QVERIFY(bench->connectAndWait());
    bench->sim.clearReceived();
}

// Open File, Save File, Set, Disconnect All and a route gesture pressed while the routes are
// paced: none of them starts anything, and the router ends with the first file's routes.
void TestImport::nothingElseStartsDuringAnImport() {
    const QString first = file(TwelveRoutes);
    const QString second = file(R"({"USB HOST 2": ["MIDI OUT 1"]})");
    QList<bool> enabled;
    QString statusDuring;
    duringImport(3, [&] {
        statusDuring = status();
        enabled << !cancelButton()->isHidden();
        for (const char *name : {"pushButton_2", "pushButton_3", "pushButton_4", "pushButton_5"})
            enabled << bench->find<QPushButton>(name)->isEnabled();
        enabled << bench->find<QGraphicsView>("graphicsView")->isEnabled();
        bench->answerer.chooseFile(second);
        for (const char *name : {"pushButton_4", "pushButton_3", "pushButton_2", "pushButton_5"})
            bench->find<QPushButton>(name)->click();
        WidgetTestAccess w = bench->access();
        QTest::mouseClick(w.inputButtons().at(3), Qt::LeftButton);
        QTest::mouseClick(w.outputButtons().at(0), Qt::LeftButton);
    });

    open(first);
    // Twelve routes take too little time to show progress or to need Cancel.
    QCOMPARE(statusDuring,
             "Connected to " + RouterBench::DeviceName + " on " + bench->sim.slavePath());
    QCOMPARE(enabled, QList<bool>({false, false, false, false, false, false}));
    QCOMPARE(bench->answerer.messages(), QStringList{ImportedOk});
    const QList<QByteArray> sent = bench->sent();
    QCOMPARE(sent.size(), 13);
    QCOMPARE(sent.first(), RouteCommand::frame(RouteCommand::clearAll()));
    QCOMPARE(adds(sent), 12);
    QVERIFY(QTest::qWaitFor([&] { return bench->access().verdictQueue().isEmpty(); }, 3000));
    QCOMPARE(bench->sim.routes().size(), 12);
    for (const Route &route : bench->sim.routes())
        QVERIFY(route.first.first == 0 && route.first.second <= 2);
    QVERIFY(bench->find<QPushButton>("pushButton_4")->isEnabled());
}

// A route listed 200 times goes out once, a USB port to itself not at all, and neither costs
// a pause: 200 pauses would take three seconds.
void TestImport::repeatedRoutesCostNoPause() {
    QByteArray repeated = R"({"USB HOST 1": ["USB HOST 1", "USB HOST 1"], "MIDI IN 1": [)";
    for (int i = 0; i < 200; ++i)
        repeated += QByteArray(i ? "," : "") + "\"MIDI OUT 2\"";
    const QString path = file(repeated + "]}");
    QElapsedTimer clock;
    clock.start();
    open(path);
    const qint64 took = clock.elapsed();
    QCOMPARE(bench->answerer.messages(), QStringList{ImportedOk});
    QCOMPARE(bench->sent(),
             QList<QByteArray>({RouteCommand::frame(RouteCommand::clearAll()),
                                QByteArray::fromHex("F000215E0201 00 01 00 02 01 F7")}));
    QVERIFY2(took < 1000, qPrintable(QString("%1 ms").arg(took)));
}

void TestImport::longImportShowsProgressAndStops_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("statusAfter");
    const QString cancelled = "Import cancelled after %1 of 40 routes.";
    const QString lost = "Import stopped: the router was disconnected after %1 of 40 routes.";
    QTest::newRow("Cancel") << QStringList{"cancel"} << cancelled << "connected";
    QTest::newRow("Disconnect") << QStringList{"disconnect"} << lost << "Not connected";
    QTest::newRow("Disconnect, then Connect at once")
        << QStringList{"disconnect", "connect"} << lost << "connected";
    QTest::newRow("router hangs up")
        << QStringList{"hang up"} << lost << "The router was unplugged";
    QTest::newRow("Cancel, then Disconnect")
        << QStringList{"cancel", "disconnect"} << lost << "Not connected";
    QTest::newRow("Cancel, then the router hangs up")
        << QStringList{"cancel", "hang up"} << lost << "The router was unplugged";
}

// 40 routes show "Importing routes: k of 40" and Cancel. Whatever is pressed or lost in one
// pause, the import stops before the next route and writes nothing more, not even to a
// connection made during the pause; the notice gives the count of the status line, and a lost
// router is named even when Cancel came first.
void TestImport::longImportShowsProgressAndStops() {
    QFETCH(QStringList, actions);
    QFETCH(QString, notice);
    QFETCH(QString, statusAfter);
    reconnectForFortyRoutes();
    const QString connected = status();
    int routesOut = -1;
    bool cancelUsable = false;
    duringImport(11, [&] {
        routesOut = progressShown(status());
        cancelUsable = cancelButton()->isVisible() && cancelButton()->isEnabled();
        for (const QString &action : actions) {
            if (action == "cancel")
                QTest::mouseClick(cancelButton(), Qt::LeftButton);
            else if (action == "hang up")
                bench->sim.hangUp();
            else
                bench->find<QPushButton>("pushButton")->click();
        }
    });

    open(file(fortyRoutes()));
    QVERIFY(cancelUsable);
    QVERIFY2(routesOut >= 10 && routesOut < 40, qPrintable(QString::number(routesOut)));
    QCOMPARE(bench->answerer.messages(), QStringList{notice.arg(routesOut)});
    QTest::qWait(100);
    // A hang-up may cut off the last command written before it.
    const int received = adds(bench->sent());
    QVERIFY2(received == routesOut || (actions.contains("hang up") && received == routesOut - 1),
             qPrintable(QString::number(received)));
    QCOMPARE(status(), statusAfter == "connected" ? connected : statusAfter);
    QVERIFY(cancelButton()->isHidden());
    QVERIFY(bench->find<QPushButton>("pushButton_4")->isEnabled());
}

// A refusal shown in the middle of an import opens a message box inside a pause; Cancel pressed
// while it is open takes effect once it is closed: no route goes out while the box is open or
// after it.
void TestImport::cancelInsideAVerdictsMessageBox() {
    reconnectForFortyRoutes();
    duringImport(6, [&] { bench->sim.refuseNext(1, 1); });
    int routesOut = -1;
    int receivedAtCancel = -1;
    int polls = 0;
    bench->answerer.keepOpen = [&] {
        if (polls++ == 0) {
            routesOut = progressShown(status());
            cancelButton()->click();
            receivedAtCancel = adds(bench->sent());
        }
        return polls < 10;
    };

    open(file(fortyRoutes()));
    QCOMPARE(bench->answerer.messages(),
             (QStringList{"Illegal routing (i.e. unable to connect in this way)",
                          QString("Import cancelled after %1 of 40 routes.").arg(routesOut)}));
    QVERIFY2(routesOut >= 5 && routesOut < 40, qPrintable(QString::number(routesOut)));
    QTest::qWait(100);
    QCOMPARE(adds(bench->sent()), routesOut);
    QVERIFY(receivedAtCancel <= routesOut);
    QCOMPARE(bench->sim.routes().size(), routesOut - 1);
    QVERIFY(cancelButton()->isHidden());
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
