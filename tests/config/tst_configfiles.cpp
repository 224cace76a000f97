// Saving and opening configuration files through the real file dialogs, answered by the
// test, against the simulated router on a real pseudo-terminal. Route imports under real use:
// whatever the user presses and whatever the router does while an import paces its routes,
// the router ends with one file's routes or the notice says how far the import came. Long
// imports show their progress and can be cancelled.
#include "tests/support/filtertable.h"
#include "tests/support/pacing.h"
#include "tests/support/routerbench.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGraphicsView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Frames = QList<QByteArray>;

// Successes show on the status line, with what and where.
const QString ImportedOk = "File imported successfully: %1 routes from %2";
const QString FilterSetOk = "Configuration successful: %1";
const QString SavedOk = "File saved successfully: %1 in %2";
const QString ImportFailed = "File imported failed, json format error!";
const QString NotImported = "File not imported: %1. The router's routes are unchanged.";
const QString FilterOnRoutingPage = "This file holds a MIDI filter, not routes: open it on the "
                                    "\"MIDI Messages Filter\" page.";
const QString RoutesOnFilterPage = "This file holds routes, not a MIDI filter: open it on the "
                                   "\"MIDI Port Routing\" page.";
using Wire::addRoute;
using Wire::ClearRoutes;
using Wire::setFilter;

// MIDI IN 1 to MIDI OUT 2, USB HOST 1 and USB Device 1, reported in that order.
const QList<RouterSimulator::Route> StartRoutes = {
    {{0, 1}, {0, 2}}, {{0, 1}, {1, 1}}, {{0, 1}, {2, 1}}};

// Clicks "Save File" (pushButton_3) or "Open File" (pushButton_4) and picks path.
void choose(RouterBench &bench, const QString &button, const QString &path) {
    bench.answerer.chooseFile(path);
    bench.find<QPushButton>(button)->click();
}

// Round p of filterKeysBothWays checks the box of row r (counted from 1), and sets its key
// true, when bit p of r is set: eight rounds tell the 162 boxes apart.
bool inRound(int row, int round) {
    return (row + 1) >> round & 1;
}

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

class ConfigFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void routesRoundTrip();
    void filterKeysBothWays();
    void openFiles_data();
    void openFiles();
    void failedSaveKeepsTheOldFile();
    void saveInPlaceWhereTheFolderTakesNoNewFiles();
    void dialogsStartInTheLastFolder();
    void anImportLocksTheWindowAndIsOneUndoStep();
    void longImportShowsProgressAndStops_data();
    void longImportShowsProgressAndStops();

private:
    QString file(const QByteArray &content);
    void duringImport(int after, const std::function<void()> &action);
    void reconnectForFortyRoutes();
    QString status() { return bench->find<QLabel>("label_status")->text(); }
    bool statusShows(const QString &text) { return bench->statusParts().contains(text); }
    QPushButton *cancelButton() { return bench->find<QPushButton>("pushButton_cancelImport"); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RouterBench> bench;
    int files = 0;
};

void ConfigFilesTest::init() {
    bench.reset(); // the old bench restores the inventory before the new one installs its own
    dir = std::make_unique<QTemporaryDir>();
    bench = std::make_unique<RouterBench>();
    bench->sim.setPortCounts({2, 3, 2, 1});
    bench->sim.setRoutes(StartRoutes);
    QVERIFY(bench->connectAndWait());
    bench->sim.clearReceived();
}

QString ConfigFilesTest::file(const QByteArray &content) {
    const QString path = dir->filePath(QString("%1.ini").arg(++files));
    return writeFile(path, content) ? path : QString();
}

// Runs once, inside the import's pauses, when the router has had `after` frames.
void ConfigFilesTest::duringImport(int after, const std::function<void()> &action) {
    auto *once = new QObject(this);
    connect(&bench->sim, &RouterSimulator::frameReceived, once, [this, after, action, once] {
        if (bench->sim.receivedBytes().size() < after)
            return;
        delete once;
        action();
    });
}

// Connects again to a router with five MIDI IN and eight MIDI OUT ports and no routes, on
// screen, so that what the status line and Cancel show can be seen.
void ConfigFilesTest::reconnectForFortyRoutes() {
    bench->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench->window()));
    bench->find<QPushButton>("pushButton")->click();
    bench->sim.setPortCounts({5, 8, 0, 0});
    bench->sim.setRoutes({});
    QVERIFY(bench->connectAndWait());
    bench->sim.clearReceived();
}

// Save, let the router's routes change, open: the router is cleared and gets the saved
// routes back, the oldest first and paced, and the screen shows them again.
void ConfigFilesTest::routesRoundTrip() {
    const QString path = dir->filePath("routes.ini");
    choose(*bench, "pushButton_3", path);
    QCOMPARE(readFile(path),
             QByteArray("{\n    \"MIDI IN 1\": [\n        \"USB Device 1\",\n"
                        "        \"USB HOST 1\",\n        \"MIDI OUT 2\"\n    ]\n}\n"));
    QVERIFY(statusShows(SavedOk.arg("3 routes", path)));
    bench->sim.setRoutes({{{1, 2}, {0, 3}}});

    choose(*bench, "pushButton_4", path);

    QVERIFY(bench->waitForFrames(4));
    QCOMPARE(bench->sent(), Frames({ClearRoutes, addRoute("00010002"), addRoute("00010101"),
                                    addRoute("00010201")}));
    const QString gaps = unpaced(bench->sim.receivedFrames(), 1, 3);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
    QTRY_VERIFY(statusShows(ImportedOk.arg(3).arg("routes.ini")));
    QVERIFY(bench->answerer.seen.isEmpty());
    QCOMPARE(bench->sim.routes(), StartRoutes);
    QCOMPARE(bench->link().state().routes.size(), StartRoutes.size());
}

// Each file written by "Save File" holds exactly the table's keys with the values of the boxes;
// each of those files read by "Open File" checks exactly those boxes, through clicks that the
// group boxes follow, and "Set" sends them for the shown port.
void ConfigFilesTest::filterKeysBothWays() {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench->find<QComboBox>("comboBox_MiDiPorts")->setCurrentText("MIDI OUT2");
    const QList<FilterTable::Box> &boxes = FilterTable::boxes();
    for (int round = 0; round < 8; ++round) {
        QJsonObject expected;
        for (int row = 0; row < boxes.size(); ++row) {
            bench->find<QCheckBox>(boxes[row].name)->setChecked(inRound(row, round));
            expected.insert(boxes[row].key, inRound(row, round));
        }
        const QString path = dir->filePath(QString("%1.ini").arg(round));
        choose(*bench, "pushButton_3", path);
        QCOMPARE(readFile(path), QJsonDocument(expected).toJson());
        QVERIFY(statusShows(SavedOk.arg("the filter of MIDI OUT2", path)));
    }

    for (int round = 0; round < 8; ++round) {
        QList<FilterTable::Box> checked;
        QStringList names;
        for (int row = 0; row < boxes.size(); ++row)
            if (inRound(row, round)) {
                checked << boxes[row];
                names << boxes[row].name;
            }
        bench->sim.clearReceived();
        choose(*bench, "pushButton_4", dir->filePath(QString("%1.ini").arg(round)));
        QVERIFY(bench->waitForFrames(1));
        QTRY_COMPARE(bench->link().waitingCount(), 0); // the router's verdict
        QVERIFY(statusShows(FilterSetOk.arg("MIDI OUT2")));
        QCOMPARE(FilterTable::shownBoxes(bench->window()), FilterTable::panelWith(names));
        QCOMPARE(bench->sent(),
                 Frames{setFilter("0102", FilterTable::filterBytes(checked).toHex())});
    }
}

// Whatever the file holds, nothing goes out before it has been read and parsed; a file of
// the other form or with wrong values is read the way the shown page expects.
void ConfigFilesTest::openFiles_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("content"); // null: the path is a directory
    QTest::addColumn<Frames>("frames");
    QTest::addColumn<QString>("told"); // on the status line for a success, else in a box
    const QString imported = ImportedOk.arg(1).arg("config.ini");
    const QString filterSet = FilterSetOk.arg("MIDI IN1");

    QTest::newRow("broken json") << 0 << QByteArray("{\"c0\":") << Frames{} << ImportFailed;
    QTest::newRow("unreadable") << 1 << QByteArray() << Frames{} << ImportFailed;
    QTest::newRow("filter file on routing page")
        << 0 << QByteArray(R"({"c0":true,"noteon":true})") << Frames{} << FilterOnRoutingPage;
    QTest::newRow("route file on filter page")
        << 1 << QByteArray(R"({"MIDI IN 1":["MIDI OUT 2"]})") << Frames{} << RoutesOnFilterPage;
    QTest::newRow("both kinds on routing page")
        << 0 << QByteArray(R"({"c0":true,"MIDI IN 1":["MIDI OUT 2"]})")
        << Frames{ClearRoutes, addRoute("00010002")} << imported;
    QTest::newRow("both kinds on filter page")
        << 1 << QByteArray(R"({"c0":true,"MIDI IN 1":["MIDI OUT 2"]})")
        << Frames{setFilter("0001", QByteArray(44, '0') + "01")} << filterSet;
    QTest::newRow("empty object on routing page")
        << 0 << QByteArray("{}") << Frames{ClearRoutes} << ImportedOk.arg(0).arg("config.ini");
    QByteArray repeated = R"({"MIDI IN 1": ["MIDI OUT 2")";
    for (int i = 0; i < 200; ++i)
        repeated += R"(, "MIDI OUT 2")";
    QTest::newRow("a route 200 times")
        << 0 << repeated + "]}" << Frames{ClearRoutes, addRoute("00010002")} << imported;
    QTest::newRow("wrong filter value types")
        << 1 << QByteArray(R"({"c0":"true","c1":1,"c2":true,"noteon":null,"checkBox_3":[true]})")
        << Frames{setFilter("0001", QByteArray(44, '0') + "04")} << filterSet;
    QTest::newRow("unknown names, wrong value types")
        << 0 << QByteArray(R"({"MIDI IN1":["MIDI OUT 1"],"MIDI IN 1":"MIDI OUT 1",
            "USB HOST 1":{"x":"MIDI OUT 1"},
            "MIDI IN 2":["midi out 1",1,null,["MIDI OUT 1"],"USB HOST 2"]})")
        << Frames{ClearRoutes, addRoute("00020102")} << imported;
    // A file the router cannot take whole is refused before anything goes out.
    QTest::newRow("a USB port to itself")
        << 0 << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2"], "USB HOST 1": ["USB HOST 1"]})")
        << Frames{} << NotImported.arg("a USB port cannot be routed to itself: USB HOST 1");
    QTest::newRow("an output the router lacks")
        << 0 << QByteArray(R"({"MIDI IN 2": ["USB HOST 2", "MIDI OUT 4"], "MIDI IN 3": []})")
        << Frames{} << NotImported.arg("the router has no port MIDI OUT 4");
    QTest::newRow("an input the router lacks")
        << 0 << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2"], "USB Device 2": ["MIDI OUT 1"]})")
        << Frames{} << NotImported.arg("the router has no port USB Device 2");
    QTest::newRow("a port number out of range")
        << 0 << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 4294967297"]})") << Frames{}
        << NotImported.arg("the router has no port MIDI OUT 4294967297");
}

void ConfigFilesTest::openFiles() {
    QFETCH(int, page);
    QFETCH(QByteArray, content);
    QFETCH(Frames, frames);
    QFETCH(QString, told);
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(page);
    bench->find<QCheckBox>("c7")->click();
    const QString path = dir->filePath("config.ini");
    QVERIFY(content.isNull() ? QDir().mkdir(path) : writeFile(path, content));

    choose(*bench, "pushButton_4", path);

    QVERIFY(QTest::qWaitFor(
        [&] { return !bench->answerer.messages().isEmpty() || statusShows(told); }, 3000));
    QTest::qWait(50);
    QCOMPARE(bench->sent(), frames);
    const bool routesImported = told.startsWith("File imported successfully");
    const bool filterSet = told.startsWith("Configuration successful");
    QCOMPARE(bench->answerer.messages(),
             routesImported || filterSet ? QStringList() : QStringList(told));
    QCOMPARE(statusShows(told), routesImported || filterSet);
    // Only a route import changes the routes, and only a filter import the filter boxes.
    QCOMPARE(bench->sim.routes() == StartRoutes, !routesImported);
    QCOMPARE(bench->find<QCheckBox>("c7")->isChecked(), !filterSet);
}

// The save goes through a temporary file: a failed save is reported and the file that was
// there keeps every byte. The file size limit makes the write fail half way.
void ConfigFilesTest::failedSaveKeepsTheOldFile() {
    const QString path = dir->filePath("filter.ini");
    QVERIFY(writeFile(path, "{}"));
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit limited{256, saved.rlim_max}; // the filter form takes some 4 KiB
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    choose(*bench, "pushButton_3", path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QTRY_COMPARE(bench->answerer.messages(), QStringList("File saved failed!"));
    QCOMPARE(readFile(path), QByteArray("{}"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList("filter.ini"));
}

// A file the user may write, in a folder that takes no new files: the save cannot go through
// a temporary file beside it, so it writes the file in place.
void ConfigFilesTest::saveInPlaceWhereTheFolderTakesNoNewFiles() {
    const QString folder = dir->filePath("locked");
    const QString path = folder + "/routes.ini";
    QVERIFY(QDir().mkdir(folder) && writeFile(path, "old"));
    QCOMPARE(::chmod(qPrintable(dir->path()), 0755) | ::chmod(qPrintable(folder), 0555) |
                 ::chmod(qPrintable(path), 0666),
             0);
    // Root may create files anywhere: the save runs with an unprivileged user's rights.
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        QSKIP("cannot take an unprivileged user's rights");
    choose(*bench, "pushButton_3", path);
    if (root)
        QCOMPARE(::seteuid(0), 0);
    QCOMPARE(::chmod(qPrintable(folder), 0755), 0);
    QVERIFY(statusShows(SavedOk.arg("3 routes", path)));
    QVERIFY(readFile(path).startsWith("{\n    \"MIDI IN 1\": ["));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList("routes.ini"));
}

// Both dialogs start in the folder of the file chosen last, also in a later run (a new window on
// the same settings). The first time, and when that folder has gone, they start in the home
// folder; a cancelled dialog changes nothing. Both offer the files the window saves and all
// files; a name saved without an extension gets ".ini".
void ConfigFilesTest::dialogsStartInTheLastFolder() {
    const QString saves = dir->filePath("saves");
    const QString opens = dir->filePath("opens");
    QVERIFY(QDir().mkpath(saves) && QDir().mkpath(opens));
    QVERIFY(writeFile(opens + "/routes.ini", "{}"));

    choose(*bench, "pushButton_3", saves + "/gig");
    QCOMPARE(QDir(saves).entryList(QDir::Files), QStringList("gig.ini"));
    QVERIFY(statusShows(SavedOk.arg("3 routes", saves + "/gig.ini")));
    choose(*bench, "pushButton_4", opens + "/routes.ini");
    QTRY_VERIFY(statusShows(ImportedOk.arg(0).arg("routes.ini")));
    bench->find<QPushButton>("pushButton_3")->click(); // cancelled
    {
        Widget later; // not connected: only the filter page has something to save
        later.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
        later.findChild<QPushButton *>("pushButton_3")->click();
    }
    QVERIFY(QDir(opens).removeRecursively());
    bench->find<QPushButton>("pushButton_4")->click();

    QCOMPARE(bench->answerer.dialogFolders(),
             QStringList({QDir::homePath(), saves, opens, opens, QDir::homePath()}));
    const QStringList offered = {"Configuration files (*.ini *.json)", "All files (*)"};
    QCOMPARE(bench->answerer.dialogs.first().title, QString("Save File"));
    QCOMPARE(bench->answerer.dialogs.first().nameFilters, offered);
    QCOMPARE(bench->answerer.dialogs.last().nameFilters, offered);
    QVERIFY(bench->answerer.seen.isEmpty());
}

// While the routes are paced, Set, Save File, Open File, Disconnect All and the route gestures
// are locked, and the router ends with the file's routes; twelve routes take too little time
// to show progress or to need Cancel. The import is one step of the history: undone, the
// routes from before go back, paced; redone, the file's routes again.
void ConfigFilesTest::anImportLocksTheWindowAndIsOneUndoStep() {
    bench->window().show();
    QList<bool> enabled;
    QString statusDuring;
    duringImport(3, [&] {
        statusDuring = status();
        enabled << !cancelButton()->isHidden();
        for (const char *name : {"pushButton_2", "pushButton_3", "pushButton_4", "pushButton_5"})
            enabled << bench->find<QPushButton>(name)->isEnabled();
        enabled << bench->find<QGraphicsView>("graphicsView")->isEnabled();
    });
    const QString path = file(TwelveRoutes);
    choose(*bench, "pushButton_4", path);
    const QString imported = ImportedOk.arg(12).arg(QFileInfo(path).fileName());
    QTRY_VERIFY(statusShows(imported));
    QCOMPARE(statusDuring,
             "Connected to " + RouterBench::DeviceName + " on " + bench->sim.slavePath());
    QCOMPARE(enabled, QList<bool>({false, false, false, false, false, false}));
    QCOMPARE(adds(bench->sent()), 12);
    QCOMPARE(bench->sim.routes().size(), 12);
    QVERIFY(bench->find<QPushButton>("pushButton_4")->isEnabled());

    bench->sim.clearReceived();
    QVERIFY(bench->pressKey(Qt::Key_Z, Qt::ControlModifier));
    QTRY_VERIFY(statusShows("Import undone: the 3 routes from before it are back"));
    QCOMPARE(bench->sent(), Frames({ClearRoutes, addRoute("00010002"), addRoute("00010101"),
                                    addRoute("00010201")}));
    const QString gaps = unpaced(bench->sim.receivedFrames(), 1, 3);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
    QCOMPARE(bench->sim.routes(), StartRoutes);

    bench->sim.clearReceived();
    QVERIFY(bench->pressKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier));
    QTRY_VERIFY(statusShows(imported));
    QCOMPARE(adds(bench->sent()), 12);
    QCOMPARE(bench->sim.routes().size(), 12);
    QCOMPARE(bench->link().state().routes.size(), 12);
    QVERIFY(bench->answerer.seen.isEmpty());
}

void ConfigFilesTest::longImportShowsProgressAndStops_data() {
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("statusAfter");
    const QString cancelled = "Import cancelled after %1 of 40 routes.";
    const QString lost = "Import stopped: the router was disconnected after %1 of 40 routes.";
    QTest::newRow("Cancel") << QStringList{"cancel"} << cancelled << "connected";
    QTest::newRow("Disconnect, then Connect at once")
        << QStringList{"disconnect", "connect"} << lost << "connected";
}

// 40 routes show "Importing routes: k of 40" and Cancel. Whatever is pressed or lost in one
// pause, the import stops before the next route and writes nothing more, not even to a
// connection made during the pause; the notice says what stopped it first, with the count of
// the status line.
void ConfigFilesTest::longImportShowsProgressAndStops() {
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
            else
                bench->find<QPushButton>("pushButton")->click();
        }
    });

    choose(*bench, "pushButton_4", file(fortyRoutes()));
    QTRY_COMPARE(bench->answerer.seen.size(), 1);
    QVERIFY(cancelUsable);
    QVERIFY2(routesOut >= 10 && routesOut < 40, qPrintable(QString::number(routesOut)));
    QCOMPARE(bench->answerer.messages(), QStringList{notice.arg(routesOut)});
    QTest::qWait(100);
    QCOMPARE(adds(bench->sent()), routesOut);
    QCOMPARE(status(), statusAfter == "connected" ? connected : statusAfter);
    QVERIFY(cancelButton()->isHidden());
    QVERIFY(bench->find<QPushButton>("pushButton_4")->isEnabled());
}

QTEST_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
