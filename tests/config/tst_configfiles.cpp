// Saving and opening configuration files through the real file dialogs, answered by the
// test, against the simulated router on a real pseudo-terminal.
#include "tests/support/filtertable.h"
#include "tests/support/pacing.h"
#include "tests/support/routerbench.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Frames = QList<QByteArray>;

const QString ImportedOk = "File imported successfully!";
const QString ImportFailed = "File imported failed, json format error!";
const QString FilterSetOk = "Configuration successful";
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

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RouterBench> bench;
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

// Save, let the router's routes change, open: the router is cleared and gets the saved
// routes back, the oldest first and paced, and the screen shows them again.
void ConfigFilesTest::routesRoundTrip() {
    const QString path = dir->filePath("routes.ini");
    choose(*bench, "pushButton_3", path);
    QCOMPARE(readFile(path),
             QByteArray("{\n    \"MIDI IN 1\": [\n        \"USB Device 1\",\n"
                        "        \"USB HOST 1\",\n        \"MIDI OUT 2\"\n    ]\n}\n"));
    bench->sim.setRoutes({{{1, 2}, {0, 3}}});

    choose(*bench, "pushButton_4", path);

    QVERIFY(bench->waitForFrames(4));
    QCOMPARE(bench->sent(), Frames({ClearRoutes, addRoute("00010002"), addRoute("00010101"),
                                    addRoute("00010201")}));
    const QString gaps = unpaced(bench->sim.receivedFrames(), 1, 3);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
    QCOMPARE(bench->sim.routes(), StartRoutes);
    QCOMPARE(bench->access().routeMap().size(), StartRoutes.size());
    QCOMPARE(bench->answerer.messages(), QStringList({"File saved successfully!", ImportedOk}));
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
        choose(*bench, "pushButton_3", dir->filePath(QString("%1.ini").arg(round)));
        QCOMPARE(readFile(dir->filePath(QString("%1.ini").arg(round))),
                 QJsonDocument(expected).toJson());
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
        bench->answerer.seen.clear();
        choose(*bench, "pushButton_4", dir->filePath(QString("%1.ini").arg(round)));
        // The router's verdict, after the frame: also keeps it out of the next file dialog.
        QVERIFY(QTest::qWaitFor([&] { return !bench->answerer.seen.isEmpty(); }, 3000));
        QCOMPARE(bench->answerer.messages(), QStringList(FilterSetOk));
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
    QTest::addColumn<QString>("notice");

    QTest::newRow("broken json") << 0 << QByteArray("{\"c0\":") << Frames{} << ImportFailed;
    QTest::newRow("unreadable") << 1 << QByteArray() << Frames{} << ImportFailed;
    QTest::newRow("filter file on routing page")
        << 0 << QByteArray(R"({"c0":true,"noteon":true})") << Frames{} << FilterOnRoutingPage;
    QTest::newRow("route file on filter page")
        << 1 << QByteArray(R"({"MIDI IN 1":["MIDI OUT 2"]})") << Frames{} << RoutesOnFilterPage;
    QTest::newRow("both kinds on routing page")
        << 0 << QByteArray(R"({"c0":true,"MIDI IN 1":["MIDI OUT 2"]})")
        << Frames{ClearRoutes, addRoute("00010002")} << ImportedOk;
    QTest::newRow("both kinds on filter page")
        << 1 << QByteArray(R"({"c0":true,"MIDI IN 1":["MIDI OUT 2"]})")
        << Frames{setFilter("0001", QByteArray(44, '0') + "01")} << FilterSetOk;
    QTest::newRow("empty object on routing page")
        << 0 << QByteArray("{}") << Frames{ClearRoutes} << ImportedOk;
    QTest::newRow("wrong filter value types")
        << 1 << QByteArray(R"({"c0":"true","c1":1,"c2":true,"noteon":null,"checkBox_3":[true]})")
        << Frames{setFilter("0001", QByteArray(44, '0') + "04")} << FilterSetOk;
    QTest::newRow("unknown names, numbers out of range, wrong value types")
        << 0 << QByteArray(R"({"MIDI IN1":["MIDI OUT 1"],"MIDI IN 3":["MIDI OUT 1"],
            "USB Device 2":["MIDI OUT 1"],"MIDI IN 1":"MIDI OUT 1","USB HOST 1":{"x":"MIDI OUT 1"},
            "USB HOST 4294967297":["MIDI OUT 1"],
            "MIDI IN 2":["midi out 1","MIDI OUT 0","MIDI OUT 4","USB HOST 3","USB Device 2","MIDI OUT 4294967297",
                         1,null,["MIDI OUT 1"],"USB HOST 2"]})")
        << Frames{ClearRoutes, addRoute("00020102")} << ImportedOk;
}

void ConfigFilesTest::openFiles() {
    QFETCH(int, page);
    QFETCH(QByteArray, content);
    QFETCH(Frames, frames);
    QFETCH(QString, notice);
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(page);
    bench->find<QCheckBox>("c7")->click();
    const QString path = dir->filePath("config.ini");
    QVERIFY(content.isNull() ? QDir().mkdir(path) : writeFile(path, content));

    choose(*bench, "pushButton_4", path);

    QVERIFY(QTest::qWaitFor([&] { return !bench->answerer.messages().isEmpty(); }, 3000));
    QTest::qWait(50);
    QCOMPARE(bench->sent(), frames);
    QCOMPARE(bench->answerer.messages(), QStringList(notice));
    // Only a route import changes the routes, and only a filter import the filter boxes.
    QCOMPARE(bench->sim.routes() == StartRoutes, notice != ImportedOk);
    QCOMPARE(bench->find<QCheckBox>("c7")->isChecked(), notice != FilterSetOk);
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

    QCOMPARE(bench->answerer.messages(), QStringList("File saved failed!"));
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
    QCOMPARE(bench->answerer.messages(), QStringList("File saved successfully!"));
    QVERIFY(readFile(path).startsWith("{\n    \"MIDI IN 1\": ["));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList("routes.ini"));
}

// Both dialogs start in the folder of the file chosen last, also in a later run (a new window on
// the same settings). The first time, and when that folder has gone, they start in the home
// folder; a cancelled dialog changes nothing.
void ConfigFilesTest::dialogsStartInTheLastFolder() {
    const QString saves = dir->filePath("saves");
    const QString opens = dir->filePath("opens");
    QVERIFY(QDir().mkpath(saves) && QDir().mkpath(opens));
    QVERIFY(writeFile(opens + "/routes.ini", "{}"));

    choose(*bench, "pushButton_3", saves + "/routes.ini");
    choose(*bench, "pushButton_4", opens + "/routes.ini");
    bench->find<QPushButton>("pushButton_3")->click(); // cancelled
    {
        Widget later;
        later.findChild<QPushButton *>("pushButton_3")->click();
    }
    QVERIFY(QDir(opens).removeRecursively());
    bench->find<QPushButton>("pushButton_4")->click();

    QCOMPARE(bench->answerer.dialogFolders,
             QStringList({QDir::homePath(), saves, opens, opens, QDir::homePath()}));
    QCOMPARE(bench->answerer.messages(), QStringList({"File saved successfully!", ImportedOk}));
}

QTEST_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
