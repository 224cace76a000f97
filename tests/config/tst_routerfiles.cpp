// The whole router in one file, from the window, against the simulated router on a real
// pseudo-terminal and against pellvane-cli run on the same router: Save Router, Open Router
// with its differences, its paced commands, Cancel, refusals and the closing comparison,
// Compare, and the history kept at each connect. Frames and texts written out by hand.
#include "app/routerfileactions.h"
#include "tests/support/process.h"
#include "tests/support/routerbench.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Frames = QList<QByteArray>;
using Route = RouterSimulator::Route;
using Wire::addRoute;
using Wire::setFilter;

const Frames Queries = {Wire::frame("010301"), Wire::frame("010302"), Wire::frame("010303"),
                        Wire::frame("010304"), Wire::frame("010305")};
const Frames ReadAgain = {Queries[2], Queries[4]};

// MIDI IN 1 to MIDI OUT 2 and USB HOST 1, USB Device 1 to MIDI OUT 1. MIDI IN1 filters
// channel 16 (byte 0 bit 1) and CC#0 (byte 22 bit 0).
const QList<Route> StartRoutes = {{{0, 1}, {0, 2}}, {{0, 1}, {1, 1}}, {{2, 1}, {0, 1}}};
const FilterBytes MidiIn1Filter = Wire::filterBytes({{0, 0x02}, {22, 0x01}});

// One route taken out, one added, and CC#7 (byte 21 bit 0) ticked for MIDI OUT2.
const QByteArray Gig = R"({"routes": {"MIDI IN 1": ["MIDI OUT 2"], "MIDI IN 2": ["MIDI OUT 1"],
    "USB Device 1": ["MIDI OUT 1"]}, "filters": {"MIDI IN1": {"checkBox_16": true, "c0": true},
    "MIDI OUT2": {"c7": true}}})";
const QStringList GigDifferences = {"route missing: MIDI IN 2 -> MIDI OUT 1",
                                    "route extra: MIDI IN 1 -> USB HOST 1",
                                    "filter MIDI OUT2: CC#7 ticked in the file, not on the router"};
const Frames GigCommands = {Wire::ClearRoutes,
                            addRoute("00010002"),
                            addRoute("00020001"),
                            addRoute("02010001"),
                            setFilter("0001", "02" + QByteArray(42, '0') + "01"),
                            setFilter("0102", QByteArray(42, '0') + "01")};
const QString GigQuestion = "How the router differs from gig.json:\n\nApply gig.json to the "
                            "router? Undo puts back the routes it replaces. The filters it "
                            "sets cannot be undone.";

// Every route the router can hold (14), and CC#1 ticked for each of its 8 filter ports, in the
// order their commands go out: 23 commands with the clear.
const QStringList FilterPorts = {"MIDI IN1",       "MIDI IN2",       "MIDI OUT1",
                                 "MIDI OUT2",      "USB HOST IN1",   "USB HOST OUT1",
                                 "USB DEVICE IN1", "USB DEVICE OUT1"};
QByteArray fullRouter() {
    QJsonObject filters;
    for (const QString &port : FilterPorts)
        filters.insert(port, QJsonObject{{"c1", true}});
    const QJsonObject routes = {
        {"MIDI IN 1", QJsonArray{"MIDI OUT 1", "MIDI OUT 2", "USB HOST 1", "USB Device 1"}},
        {"MIDI IN 2", QJsonArray{"MIDI OUT 1", "MIDI OUT 2", "USB HOST 1", "USB Device 1"}},
        {"USB HOST 1", QJsonArray{"MIDI OUT 1", "MIDI OUT 2", "USB Device 1"}},
        {"USB Device 1", QJsonArray{"MIDI OUT 1", "MIDI OUT 2", "USB HOST 1"}}};
    return QJsonDocument(QJsonObject{{"routes", routes}, {"filters", filters}}).toJson();
}

} // namespace

class RouterFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void saveRouterWritesWhatDumpWrites();
    void openRouterAppliesWhatCliApplies();
    void refusedOrCancelledListsWhatDiffers();
    void filesRefusedWithNothingSent_data();
    void filesRefusedWithNothingSent();
    void interruptedWhileAskingOrReading();
    void historyKeepsWhatTheRouterHeld();
    void historyThatCannotBeKeptIsOffOnce();

private:
    // Clicks a button of the window: the file dialog gets path, the next dialog answer.
    void click(const char *button, const QString &path, const QString &answer = QString(),
               int row = -1);
    QString file(const QString &name, const QByteArray &content);
    bool reconnect();
    ProcessRun cli(const QStringList &arguments);
    bool statusShows(const QString &text) { return bench->statusParts().contains(text); }
    RouterHistory history() { return bench->window().routerFileActions().history(); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RouterBench> bench;
};

void RouterFilesTest::init() {
    bench.reset(); // the old bench restores the inventory before the new one installs its own
    dir = std::make_unique<QTemporaryDir>();
    bench = std::make_unique<RouterBench>();
    bench->inventory.ports[0].serialNumber = "SIM1";
    bench->sim.setPortCounts({2, 2, 1, 1});
    bench->sim.setRoutes(StartRoutes);
    bench->sim.setFilter({0, 1}, MidiIn1Filter);
    QVERIFY(bench->connectAndWait());
    bench->sim.clearReceived();
}

void RouterFilesTest::click(const char *button, const QString &path, const QString &answer,
                            int row) {
    if (!path.isEmpty())
        bench->answerer.chooseFile(path);
    if (!answer.isEmpty())
        bench->answerer.pressButton(answer, row);
    bench->find<QPushButton>(button)->click();
}

QString RouterFilesTest::file(const QString &name, const QByteArray &content) {
    return writeFile(dir->filePath(name), content) ? dir->filePath(name) : QString();
}

bool RouterFilesTest::reconnect() {
    bench->find<QPushButton>("pushButton")->click();
    return bench->connectAndWait();
}

ProcessRun RouterFilesTest::cli(const QStringList &arguments) {
    bench->find<QPushButton>("pushButton")->click(); // the window lets go of the port
    bench->sim.clearReceived();
    return runProcess(PELLVANE_CLI, arguments + QStringList{"--port", bench->sim.slavePath()});
}

// After "Set" the window's record holds what it sent; the router holds something else: the
// save reads the router again first, and writes what pellvane-cli dump writes. Saved again,
// with nothing sent since, it is written at once.
void RouterFilesTest::saveRouterWritesWhatDumpWrites() {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench->find<QCheckBox>("c7")->click();
    bench->find<QPushButton>("pushButton_2")->click();
    QTRY_COMPARE(bench->link().waitingCount(), 0);
    bench->sim.setFilter({0, 1}, Wire::filterBytes({{3, 0x01}}));
    bench->sim.clearReceived();
    const QString saved = "Router saved: 3 routes and the filters of 8 ports in %1";

    click("pushButton_saveRouter", dir->filePath("router.json"));
    QTRY_VERIFY(statusShows(saved.arg(dir->filePath("router.json"))));
    QCOMPARE(bench->sent(), ReadAgain);
    bench->sim.clearReceived();
    click("pushButton_saveRouter", dir->filePath("again"));
    QVERIFY(statusShows(saved.arg(dir->filePath("again.json"))));
    QCOMPARE(bench->sent(), Frames());

    const ProcessRun dump = cli({"dump"});
    QCOMPARE(dump.status, 0);
    QCOMPARE(readFile(dir->filePath("router.json")), dump.out.toUtf8());
    QCOMPARE(readFile(dir->filePath("again.json")), dump.out.toUtf8());
    QVERIFY(bench->answerer.seen.isEmpty());
}

// The differences are the file's changes; "Apply" sends what pellvane-cli apply sends, then
// the router is read again and matches, as Compare… then says in one line. The routes are one
// undo step; the filters stay.
void RouterFilesTest::openRouterAppliesWhatCliApplies() {
    click("pushButton_openRouter", file("gig.json", Gig), "Apply");
    QTRY_VERIFY(statusShows("Router now matches gig.json"));
    QCOMPARE(bench->answerer.seen.size(), 1);
    QCOMPARE(bench->answerer.seen[0].text, GigQuestion);
    QCOMPARE(bench->answerer.seen[0].lines, GigDifferences);
    QCOMPARE(bench->answerer.seen[0].defaultButton, QString("Cancel"));
    QCOMPARE(bench->sent(), GigCommands + ReadAgain);
    QCOMPARE(bench->sim.routes(),
             QList<Route>({{{0, 1}, {0, 2}}, {{0, 2}, {0, 1}}, {{2, 1}, {0, 1}}}));
    QCOMPARE(bench->sim.filter({1, 2}), Wire::filterBytes({{21, 0x01}}));
    click("pushButton_compare", dir->filePath("gig.json"), "Close");
    QCOMPARE(bench->answerer.seen.last().text, "No differences between gig.json and the router.");
    QVERIFY(bench->answerer.seen.last().lines.isEmpty());

    bench->find<QPushButton>("pushButton_undo")->click();
    QTRY_COMPARE(bench->sim.routes(), StartRoutes);
    QCOMPARE(bench->sim.filter({1, 2}), Wire::filterBytes({{21, 0x01}}));
    bench->sim.setFilter({1, 2}, FilterBytes{});
    const ProcessRun apply = cli({"apply", "-q", dir->filePath("gig.json")});
    QCOMPARE(apply.status, 0);
    QCOMPARE(bench->sim.receivedBytes(), Queries + GigCommands);
}

// The router refuses a route: its reason in a notice. Cancel, shown with the progress of 23
// commands, stops the list once the routes are out: the notice counts what went out. The
// router, read again, lacks the refused route and the filters not sent.
void RouterFilesTest::refusedOrCancelledListsWhatDiffers() {
    bench->sim.setFilter({0, 1}, FilterBytes{});
    QVERIFY(reconnect());
    bench->sim.clearReceived();
    auto *cancel = bench->find<QPushButton>("pushButton_cancelImport");
    int sent = -1;
    const QObject watching;
    connect(&bench->sim, &RouterSimulator::frameReceived, &watching, [&](const QByteArray &frame) {
        if (frame == addRoute("00010001"))
            bench->sim.refuseNext(1, 3);
        if (bench->sim.receivedBytes().size() < 17 || cancel->isHidden() || sent >= 0)
            return;
        const QRegularExpression progress("^Writing to the router: (\\d+) of 23 commands$");
        sent = progress.match(bench->statusParts().value(0)).captured(1).toInt();
        cancel->click();
    });
    click("pushButton_openRouter", file("full.json", fullRouter()), "Apply");
    QTRY_COMPARE(bench->answerer.seen.size(), 4);
    QVERIFY2(sent >= 17 && sent < 23, qPrintable(QString::number(sent)));
    QStringList left("route missing: MIDI IN 1 -> MIDI OUT 1");
    for (const QString &port : FilterPorts.mid(sent - 15))
        left << "filter " + port + ": CC#1 ticked in the file, not on the router";
    QCOMPARE(bench->answerer.messages().mid(1),
             QStringList({"Exceeding the number of routes (some connecting nodes have a specified "
                          "number of routes)",
                          QString("Writing full.json cancelled after %1 of 23 commands.").arg(sent),
                          "The router still differs from full.json:\n" + left.join('\n')}));
    QCOMPARE(bench->sim.routes().size(), 13);
}

// Nothing goes out unless the whole file was read and names only the router's ports; the
// notice says why in pellvane-cli's words.
void RouterFilesTest::filesRefusedWithNothingSent_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("why");
    const QString open = "pushButton_openRouter";
    QTest::newRow("a port") << open << QByteArray(R"({"MIDI IN 3": ["MIDI OUT 1"]})")
                            << "bad.json not opened: the router has no port MIDI IN 3.";
    QTest::newRow("broken") << open << QByteArray(R"({"routes": {)")
                            << "bad.json not opened: not JSON: unterminated object at byte 12.";
    QTest::newRow("an array") << open << QByteArray("[{}]")
                              << "bad.json not opened: not a JSON object.";
    QTest::newRow("compared") << "pushButton_compare"
                              << QByteArray(R"({"routes": {}, "comment": "gig"})")
                              << "bad.json not compared: \"comment\" is neither \"routes\" nor "
                                 "\"filters\".";
}

void RouterFilesTest::filesRefusedWithNothingSent() {
    QFETCH(QString, button);
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    click(qPrintable(button), file("bad.json", content));
    QTRY_COMPARE(bench->answerer.seen.size(), 1);
    QCOMPARE(
        bench->answerer.messages(),
        QStringList(button.endsWith("compare") ? why : why + " Nothing was sent to the router."));
    QTest::qWait(50);
    QCOMPARE(bench->sent(), Frames());
}

// Disconnected while Save Router waits for the router's replies: nothing is written, and the
// notice says so. The router unplugged while the question is open: "Apply" does nothing.
void RouterFilesTest::interruptedWhileAskingOrReading() {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench->find<QPushButton>("pushButton_2")->click();
    click("pushButton_saveRouter", dir->filePath("router.json"));
    QVERIFY(reconnect());
    QTRY_COMPARE(bench->answerer.messages(),
                 QStringList("Router not saved: the router was disconnected before its filters "
                             "were read again."));
    QVERIFY(!QFile::exists(dir->filePath("router.json")));

    bench->answerer.keepOpen = [this, unplugged = false]() mutable {
        if (qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            return false;
        if (!std::exchange(unplugged, true))
            bench->sim.hangUp();
        return bench->link().isOpen();
    };
    click("pushButton_openRouter", file("gig.json", Gig), "Apply");
    QTest::qWait(50);
    QCOMPARE(bench->answerer.seen.size(), 2);
    QCOMPARE(bench->statusParts(), QStringList("The router was unplugged"));
}

// A connect keeps what the router holds, unless the newest entry holds it already or the
// history is turned off; the 51st entry drops the oldest. History… lists the entries newest
// first, a damaged one as damaged and with nothing to do but close; an entry applied brings
// the router back to what it held, an entry saved is the file kept.
void RouterFilesTest::historyKeepsWhatTheRouterHeld() {
    const RouterHistory kept = history();
    QCOMPARE(kept.folder(), qEnvironmentVariable("XDG_DATA_HOME") + "/Pellvane tests/" +
                                QCoreApplication::applicationName() +
                                "/history/Kelvanto MIDI Router (simulated) [SIM1]");
    QVERIFY(reconnect());
    QCOMPARE(kept.entries().size(), 1);
    bench->sim.setRoutes({});
    bench->sim.setFilter({0, 1}, FilterBytes{});
    QSettings().setValue("history/enabled", false);
    QVERIFY(reconnect());
    QCOMPARE(kept.entries().size(), 1);
    QSettings().remove("history/enabled");
    QVERIFY(reconnect());
    const QList<RouterHistory::Entry> two = kept.entries();
    QCOMPARE(two.size(), 2);

    const QString when = "yyyy-MM-dd HH:mm:ss";
    const QString oldest = "history entry " + two[1].time.toString(when);
    bench->answerer.pressButton("Apply…", 1);
    click("pushButton_history", QString(), "Apply");
    QTRY_VERIFY(statusShows("Router now matches " + oldest));
    QCOMPARE(bench->answerer.seen[0].lines,
             QStringList({two[0].time.toString(when) + " · routes: 0 · changed filters: 0",
                          two[1].time.toString(when) + " · routes: 3 · changed filters: 1"}));
    QCOMPARE(bench->sim.routes(), StartRoutes);
    QCOMPARE(bench->sim.filter({0, 1}), MidiIn1Filter);
    bench->answerer.pressButton("Save As…", 1);
    click("pushButton_history", dir->filePath("held"));
    QTRY_VERIFY(statusShows("Saved " + oldest + " in " + dir->filePath("held.json")));
    QCOMPARE(readFile(dir->filePath("held.json")), readFile(two[1].path));

    RouterState state;
    for (int more = 1; more <= 48; ++more) {
        state.routes.replace({0, 1}, {0, 1 + more % 2});
        state.filters[{0, 1}][0] = more;
        QVERIFY(kept.keep(state).kept);
    }
    QVERIFY(reconnect());
    QCOMPARE(kept.entries().size(), 50);
    QCOMPARE(kept.entries().last().path, two[0].path);
    QVERIFY(writeFile(kept.folder() + "/29991231-235959-000.json", ""));
    bench->sim.clearReceived();
    click("pushButton_history", QString(), "Apply…", 0);
    QTRY_COMPARE(bench->answerer.seen.size(), 4);
    QVERIFY(
        bench->answerer.seen[3].lines[0].endsWith(" · damaged: not JSON: illegal value at byte 0"));
    QCOMPARE(bench->answerer.seen[3].buttons, QStringList("Close"));
    QCOMPARE(bench->sent(), Frames());
}

// A history folder that cannot be made never stops a connect; a notice says once why.
void RouterFilesTest::historyThatCannotBeKeptIsOffOnce() {
    const QString base = RouterHistory::standardBaseFolder();
    QVERIFY(QDir(base).removeRecursively() && writeFile(base, "not a folder"));
    QVERIFY(reconnect());
    QVERIFY(reconnect());
    QTRY_COMPARE(bench->answerer.messages(),
                 QStringList("The history is off for this run: cannot make the history folder " +
                             history().folder() + "."));
    QVERIFY(bench->find<QPushButton>("pushButton_history")->isEnabled());
}

QTEST_MAIN(RouterFilesTest)
#include "tst_routerfiles.moc"
