// Saving and opening configuration files through the real file dialogs, answered by the
// test, against the simulated router on a real pseudo-terminal.
#include "config/configform.h"
#include "tests/support/routerbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {

using Route = RouterSimulator::Route;
using RouteList = QList<Route>;

const QString SavedOk = QStringLiteral("File saved successfully!");
const QString SaveFailed = QStringLiteral("File saved failed!");
const QString ImportedOk = QStringLiteral("File imported successfully!");
const QString ImportFailed = QStringLiteral("File imported failed, json format error!");
const QString FilterSetOk = QStringLiteral("Configuration successful");
const QByteArray ClearRoutes = QByteArray::fromHex("f000215e0201000000007ff7");
const QStringList GroupBoxes = {"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                                "checkBox_SystemCommon", "checkBox_SystemRealtime"};

// The router of these tests: inputs MIDI IN 1-2, USB HOST 1-2, USB Device 1; outputs
// MIDI OUT 1-3, USB HOST 1-2, USB Device 1.
const RouterSimulator::PortCounts Counts{2, 3, 2, 1};

// Routes the router already holds when a test connects.
const RouteList StartRoutes = {{{0, 1}, {0, 2}}, {{0, 1}, {1, 1}}, {{1, 2}, {0, 1}}};

QByteArray addRouteFrame(const Route &route) {
    QByteArray frame = QByteArray::fromHex("f000215e0201");
    for (int b : {route.first.first, route.first.second, route.second.first, route.second.second})
        frame.append(char(b));
    return frame + QByteArray::fromHex("01f7");
}

// The 25 filter bytes with the given (index, value) pairs set, the others 0.
FilterBytes filterBytes(std::initializer_list<std::pair<int, int>> set) {
    FilterBytes bytes{};
    for (const auto &[index, value] : set)
        bytes[std::size_t(index)] = value;
    return bytes;
}

QByteArray setFilterFrame(const char *portHex, const FilterBytes &bytes) {
    QByteArray frame = QByteArray::fromHex(QByteArray("f000215e0203") + portHex);
    for (qint32 b : bytes)
        frame.append(char(b));
    return frame + QByteArray::fromHex("0000f7");
}

RouteList sortedRoutes(RouteList routes) {
    std::sort(routes.begin(), routes.end());
    return routes;
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class ConfigFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cancelledDialogsDoNothing();
    void openNeedsAConnectedRouter();
    void savedRoutesAreWrittenIndented();
    void routesRoundTrip();
    void filtersRoundTrip();
    void filterFormSavedWithoutRouter();
    void routeFiles_data();
    void routeFiles();
    void filterFiles_data();
    void filterFiles();
    void unusableFilesSendNothing_data();
    void unusableFilesSendNothing();
    void saveIntoUnwritablePlace_data();
    void saveIntoUnwritablePlace();
    void failedWriteLeavesExistingFile();

private:
    bool connectRouter();
    void showFilterPage(const QString &port);
    void saveAs(const QString &path);
    void open(const QString &path);
    QStringList checkedFilterBoxes();
    QString groupStates();
    RouteList windowRoutes();
    QList<qint64> frameTimes();
    QPushButton *portButton(const QList<QPushButton *> &buttons, const QString &text);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RouterBench> bench;
};

void ConfigFilesTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    bench = std::make_unique<RouterBench>();
    bench->sim.setPortCounts(Counts);
}

void ConfigFilesTest::cleanup() {
    bench.reset();
    dir.reset();
}

// Connects with the router holding StartRoutes; afterwards the simulator's record is empty.
bool ConfigFilesTest::connectRouter() {
    bench->sim.setRoutes(StartRoutes);
    if (!bench->connectAndWait())
        return false;
    if (!QTest::qWaitFor([&] { return windowRoutes().size() == StartRoutes.size(); }, 3000))
        return false;
    bench->sim.clearReceived();
    return true;
}

void ConfigFilesTest::showFilterPage(const QString &port) {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench->find<QComboBox>("comboBox_MiDiPorts")->setCurrentText(port);
}

void ConfigFilesTest::saveAs(const QString &path) {
    bench->answerer.chooseFile(path);
    bench->find<QPushButton>("pushButton_3")->click();
}

void ConfigFilesTest::open(const QString &path) {
    bench->answerer.chooseFile(path);
    bench->find<QPushButton>("pushButton_4")->click();
}

QStringList ConfigFilesTest::checkedFilterBoxes() {
    QStringList checked;
    for (const ConfigForm::FilterKey &k : ConfigForm::filterKeys())
        if (bench->find<QCheckBox>(k.checkBox)->isChecked())
            checked << k.checkBox;
    return checked;
}

// The five group boxes, Channels to System Realtime, as "none", "some" or "all".
QString ConfigFilesTest::groupStates() {
    QStringList states;
    for (const QString &name : GroupBoxes) {
        const Qt::CheckState state = bench->find<QCheckBox>(name)->checkState();
        states << (state == Qt::Checked ? "all" : state == Qt::Unchecked ? "none" : "some");
    }
    return states.join(' ');
}

RouteList ConfigFilesTest::windowRoutes() {
    RouteList routes;
    const auto &map = bench->access().routeMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        routes.append(Route(it.key(), it.value()));
    return sortedRoutes(routes);
}

QList<qint64> ConfigFilesTest::frameTimes() {
    QList<qint64> times;
    for (const RouterSimulator::ReceivedFrame &frame : bench->sim.receivedFrames())
        times << frame.atMs;
    return times;
}

QPushButton *ConfigFilesTest::portButton(const QList<QPushButton *> &buttons, const QString &text) {
    const auto it = std::find_if(buttons.cbegin(), buttons.cend(),
                                 [&](QPushButton *b) { return b->text() == text; });
    return it == buttons.cend() ? nullptr : *it;
}

void ConfigFilesTest::cancelledDialogsDoNothing() {
    QVERIFY(connectRouter());

    bench->answerer.cancelFileDialog();
    bench->find<QPushButton>("pushButton_3")->click();
    bench->answerer.cancelFileDialog();
    bench->find<QPushButton>("pushButton_4")->click();
    QTest::qWait(100);

    QCOMPARE(bench->answerer.seen.size(), 2);
    const ModalAnswerer::Seen save = bench->answerer.seen[0];
    QCOMPARE(save.kind, QString("file"));
    QCOMPARE(save.title, QString("open file"));
    QCOMPARE(save.text, QString("/"));
    QCOMPARE(save.filters, QStringList("Config File(*.ini)"));
    const ModalAnswerer::Seen open = bench->answerer.seen[1];
    QCOMPARE(open.kind, QString("file"));
    QCOMPARE(open.title, QString::fromUtf8("Please select ini file\xEF\xBC\x81"));
    QCOMPARE(open.filters, QStringList("config(*.ini)"));
    QVERIFY(bench->sent().isEmpty());
    QCOMPARE(windowRoutes(), sortedRoutes(StartRoutes));
}

void ConfigFilesTest::openNeedsAConnectedRouter() {
    const QString path = dir->filePath("routes.ini");
    QVERIFY(writeFile(path, R"({"MIDI IN 1":["MIDI OUT 1"]})"));
    bench->answerer.chooseFile(path);
    bench->find<QPushButton>("pushButton_4")->click();

    QCOMPARE(bench->answerer.messages(), QStringList("Please connect the device and try again"));
    QCOMPARE(bench->answerer.seen.size(), 1);
    QCOMPARE(bench->answerer.pendingAnswers(), 1);
}

// The routes as the window recorded them from the router's reports; an older, longer file
// is replaced whole.
void ConfigFilesTest::savedRoutesAreWrittenIndented() {
    QVERIFY(connectRouter());
    const QString path = dir->filePath("routes.ini");
    QVERIFY(writeFile(path, QByteArray(5000, 'x')));

    saveAs(path);

    QCOMPARE(bench->answerer.messages(), QStringList(SavedOk));
    QCOMPARE(readFile(path), QByteArray("{\n"
                                        "    \"MIDI IN 1\": [\n"
                                        "        \"USB HOST 1\",\n"
                                        "        \"MIDI OUT 2\"\n"
                                        "    ],\n"
                                        "    \"USB HOST 2\": [\n"
                                        "        \"MIDI OUT 1\"\n"
                                        "    ]\n"
                                        "}\n"));
    QVERIFY(bench->sent().isEmpty());
}

// Save, change the routes by hand, open: the router is cleared and gets exactly the saved
// routes back, grouped by source button and, per source, the last listed first, 15 ms apart.
void ConfigFilesTest::routesRoundTrip() {
    QVERIFY(connectRouter());
    const QString path = dir->filePath("routes.ini");
    saveAs(path);
    QCOMPARE(bench->answerer.messages(), QStringList(SavedOk));

    WidgetTestAccess w = bench->access();
    portButton(w.inputButtons(), "USB Device 1")->click();
    portButton(w.outputButtons(), "MIDI OUT 3")->click();
    QVERIFY(QTest::qWaitFor([&] { return bench->sim.routes().size() == 4; }, 3000));
    bench->sim.clearReceived();

    open(path);

    const Route in1ToOut2{{0, 1}, {0, 2}}, in1ToHost1{{0, 1}, {1, 1}}, host2ToOut1{{1, 2}, {0, 1}};
    RouteList expected = {in1ToOut2, in1ToHost1, host2ToOut1};
    if (std::less<QPushButton *>()(portButton(w.inputButtons(), "USB HOST 2"),
                                   portButton(w.inputButtons(), "MIDI IN 1")))
        expected = {host2ToOut1, in1ToOut2, in1ToHost1};
    QVERIFY(bench->waitForFrames(4));
    QTest::qWait(50);
    QCOMPARE(bench->sent(),
             QList<QByteArray>({ClearRoutes, addRouteFrame(expected[0]), addRouteFrame(expected[1]),
                                addRouteFrame(expected[2])}));
    // The routes are paced by a 15 ms pause. The stamps can show less: the pause runs to a
    // deadline on the whole-millisecond clock of the time of day, and the simulator, on this
    // same thread, may read a frame a few milliseconds after it was written. Unpaced
    // commands would arrive within a millisecond of each other.
    const QList<qint64> times = frameTimes();
    QCOMPARE(times.size(), 4);
    for (int i = 2; i < times.size(); ++i)
        QVERIFY2(times[i] - times[i - 1] >= 10,
                 qPrintable(QString::number(times[i] - times[i - 1])));

    QCOMPARE(bench->sim.routes(), expected);
    QCOMPARE(windowRoutes(), sortedRoutes(StartRoutes));
    QCOMPARE(bench->answerer.messages(), QStringList({SavedOk, ImportedOk}));
}

// Save one port's filter, change the boxes, open: the panel shows the file again and "Set"
// sends it for the chosen port; the router stores it.
void ConfigFilesTest::filtersRoundTrip() {
    QVERIFY(connectRouter());
    showFilterPage("MIDI OUT2");
    const QStringList saved = {"c0",
                               "c127",
                               "checkBox_16",
                               "checkBox_NoteOn",
                               "checkBox_MIDI_Time_Code",
                               "checkBox_SongPosPointer",
                               "checkBox_song_select",
                               "checkBox_Tune_Request"};
    for (const QString &box : saved)
        bench->find<QCheckBox>(box)->click();
    const QString path = dir->filePath("filter.ini");
    saveAs(path);
    QCOMPARE(bench->answerer.messages(), QStringList(SavedOk));

    const QJsonObject file = QJsonDocument::fromJson(readFile(path)).object();
    QCOMPARE(file.size(), 162);
    QCOMPARE(file.value("systemrest"), QJsonValue(false));
    QCOMPARE(ConfigForm::checkedBoxes(file), saved);
    QVERIFY(readFile(path).startsWith("{\n    \"activesensing\": false,\n"));

    for (const QString &box : {"c0", "checkBox_1", "checkBox_Stop", "c64"})
        bench->find<QCheckBox>(box)->click();
    open(path);

    QVERIFY(bench->waitForFrames(1));
    QVERIFY(QTest::qWaitFor([&] { return bench->answerer.messages().size() == 2; }, 3000));
    const FilterBytes savedBytes =
        filterBytes({{0, 0x02}, {3, 0x01}, {4, 0x02}, {22, 0x01}, {23, 0x0F}});
    QCOMPARE(bench->sent(), QList<QByteArray>({setFilterFrame("0102", savedBytes)}));
    QVERIFY(bench->sim.filter({1, 2}) == savedBytes);
    QCOMPARE(checkedFilterBoxes(), saved);
    QCOMPARE(groupStates(), QString("some some some all none"));
    QCOMPARE(bench->access().systemCommonCount(), 4);
    QCOMPARE(bench->access().controlChangeCount(), 2);
    QCOMPARE(bench->answerer.messages(), QStringList({SavedOk, FilterSetOk}));
}

void ConfigFilesTest::filterFormSavedWithoutRouter() {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench->find<QCheckBox>("checkBox_System_Reset")->click();
    bench->find<QCheckBox>("c99")->click();
    const QString path = dir->filePath("filter.ini");

    saveAs(path);

    QCOMPARE(bench->answerer.messages(), QStringList(SavedOk));
    const QJsonObject file = QJsonDocument::fromJson(readFile(path)).object();
    QCOMPARE(file.size(), 162);
    QCOMPARE(ConfigForm::checkedBoxes(file), QStringList({"c99", "checkBox_System_Reset"}));
}

// Files opened on the routing page that are objects: all routes are cleared first, then
// whatever names ports of this router is sent.
void ConfigFilesTest::routeFiles_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<RouteList>("sentRoutes");

    QTest::newRow("empty object") << QByteArray("{}") << RouteList{};
    QTest::newRow("filter form") << QByteArray(R"({"c0":true,"checkBox_1":true,"noteon":true})")
                                 << RouteList{};
    QTest::newRow("last listed goes first")
        << QByteArray(R"({"MIDI IN 2":["MIDI OUT 1","MIDI OUT 2","USB Device 1"]})")
        << RouteList{{{0, 2}, {2, 1}}, {{0, 2}, {0, 2}}, {{0, 2}, {0, 1}}};
    QTest::newRow("midi socket to the same number")
        << QByteArray(R"({"MIDI IN 1":["MIDI OUT 1"]})") << RouteList{{{0, 1}, {0, 1}}};
    QTest::newRow("usb port to itself and a repeated destination")
        << QByteArray(R"({"USB HOST 1":["USB HOST 1","MIDI OUT 1","MIDI OUT 1"]})")
        << RouteList{{{1, 1}, {0, 1}}};
    QTest::newRow("unknown names") << QByteArray(R"({"MIDI IN1":["MIDI OUT 1"],"Foo":["MIDI OUT 1"],
                         "USB Device 1":["midi out 1","MIDI IN 1","MIDI OUT 3"]})")
                                   << RouteList{{{2, 1}, {0, 3}}};
    QTest::newRow("numbers outside the router")
        << QByteArray(R"({"MIDI IN 3":["MIDI OUT 1"],"MIDI IN 0":["MIDI OUT 1"],
                         "USB HOST 3":["MIDI OUT 1"],"USB Device 2":["MIDI OUT 1"],
                         "MIDI IN 2":["MIDI OUT 0","MIDI OUT 4","USB HOST 3","USB Device 2",
                                      "MIDI OUT -1","USB HOST 2"]})")
        << RouteList{{{0, 2}, {1, 2}}};
    QTest::newRow("values of the wrong type")
        << QByteArray(R"({"MIDI IN 1":"MIDI OUT 1","MIDI IN 2":{"x":"MIDI OUT 1"},
                         "USB HOST 1":[1,null,{},["MIDI OUT 1"],"MIDI OUT 2"],"USB HOST 2":7})")
        << RouteList{{{1, 1}, {0, 2}}};
}

void ConfigFilesTest::routeFiles() {
    QFETCH(QByteArray, json);
    QFETCH(RouteList, sentRoutes);
    QVERIFY(connectRouter());
    const QString path = dir->filePath("routes.ini");
    QVERIFY(writeFile(path, json));

    open(path);

    QVERIFY(bench->waitForFrames(1 + sentRoutes.size()));
    QTest::qWait(50);
    QList<QByteArray> frames = {ClearRoutes};
    for (const Route &route : sentRoutes)
        frames << addRouteFrame(route);
    QCOMPARE(bench->sent(), frames);
    QCOMPARE(bench->sim.routes(), sentRoutes);
    QCOMPARE(windowRoutes(), sortedRoutes(sentRoutes));
    QCOMPARE(bench->answerer.messages(), QStringList(ImportedOk));
}

// Files opened on the filter page: exactly the file's true booleans end up checked,
// whatever was checked before, and "Set" sends them for the chosen port.
void ConfigFilesTest::filterFiles_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("groups");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("route form") << QByteArray(R"({"MIDI IN 1":["MIDI OUT 2","USB HOST 1"]})")
                                << QStringList{} << "none none none none none"
                                << setFilterFrame("0001", filterBytes({}));
    QTest::newRow("values of the wrong type")
        << QByteArray(R"({"c0":"true","c1":1,"c2":true,"noteon":null,"checkBox_3":[true],
                         "systemreset":true,"Stop":true})")
        << QStringList{"c2"} << "none none some none none"
        << setFilterFrame("0001", filterBytes({{22, 0x04}}));
    // All channels (keys 128-143) and all System Realtime messages (the last seven).
    const QList<ConfigForm::FilterKey> &keys = ConfigForm::filterKeys();
    QJsonObject wholeGroups;
    QStringList wholeGroupBoxes;
    for (int i = 128; i < keys.size(); ++i) {
        if (i >= 144 && i < keys.size() - 7)
            continue;
        wholeGroups.insert(keys[i].key, true);
        wholeGroupBoxes << keys[i].checkBox;
    }
    QTest::newRow("whole groups")
        << QJsonDocument(wholeGroups).toJson() << wholeGroupBoxes << "all none none none all"
        << setFilterFrame("0001", filterBytes({{0, 0x03}, {1, 0x7F}, {2, 0x7F}, {24, 0x7F}}));
}

void ConfigFilesTest::filterFiles() {
    QFETCH(QByteArray, json);
    QFETCH(QStringList, checked);
    QFETCH(QString, groups);
    QFETCH(QByteArray, frame);
    QVERIFY(connectRouter());
    showFilterPage("MIDI IN1");
    for (const QString &box : {"c5", "checkBox_NoteOff", "checkBox_Tick", "checkBox_16"})
        bench->find<QCheckBox>(box)->click();
    const QString path = dir->filePath("filter.ini");
    QVERIFY(writeFile(path, json));

    open(path);

    QVERIFY(QTest::qWaitFor([&] { return bench->answerer.messages().size() == 1; }, 3000));
    QCOMPARE(bench->sent(), QList<QByteArray>({frame}));
    QCOMPARE(checkedFilterBoxes(), checked);
    QCOMPARE(groupStates(), groups);
    QCOMPARE(bench->answerer.messages(), QStringList(FilterSetOk));
}

// Content that is no JSON object, and files that cannot be read: nothing is sent and
// nothing on screen changes.
void ConfigFilesTest::unusableFilesSendNothing_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("kind"); // "file", "directory" or "missing"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("notice");

    for (int page : {0, 1}) {
        const QByteArray tag = page == 0 ? "routing page: " : "filter page: ";
        QTest::newRow(tag + "array root")
            << page << "file" << QByteArray(R"([{"MIDI IN 1":["MIDI OUT 1"]}])") << ImportFailed;
        QTest::newRow(tag + "broken json")
            << page << "file" << QByteArray(R"({"MIDI IN 1":["MIDI OUT 1"])") << ImportFailed;
        QTest::newRow(tag + "empty file") << page << "file" << QByteArray() << ImportFailed;
        QTest::newRow(tag + "string root")
            << page << "file" << QByteArray(R"("c0")") << ImportFailed;
        QTest::newRow(tag + "binary")
            << page << "file" << QByteArray("\xff\xfe{\x00\x01", 5) << ImportFailed;
        QTest::newRow(tag + "unreadable") << page << "directory" << QByteArray() << ImportFailed;
        QTest::newRow(tag + "missing") << page << "missing" << QByteArray() << QString();
    }
}

void ConfigFilesTest::unusableFilesSendNothing() {
    QFETCH(int, page);
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, notice);
    QVERIFY(connectRouter());
    showFilterPage("MIDI IN2");
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(page);
    bench->find<QCheckBox>("c7")->click();
    const QString path = dir->filePath("config.ini");
    if (kind == "file")
        QVERIFY(writeFile(path, content));
    if (kind == "directory")
        QVERIFY(QDir().mkdir(path));
    QCOMPARE(QFile::exists(path), kind != "missing");

    open(path);
    QTest::qWait(100);

    QCOMPARE(bench->answerer.seen.first().kind, QString("file"));
    QCOMPARE(bench->answerer.messages(), notice.isEmpty() ? QStringList() : QStringList(notice));
    QVERIFY(bench->sent().isEmpty());
    QCOMPARE(windowRoutes(), sortedRoutes(StartRoutes));
    QCOMPARE(bench->sim.routes(), StartRoutes);
    QCOMPARE(checkedFilterBoxes(), QStringList("c7"));
}

void ConfigFilesTest::saveIntoUnwritablePlace_data() {
    QTest::addColumn<QString>("relativePath"); // to the test's directory, or absolute

    QTest::newRow("directory of the system's processes") << "/proc/pellvane-routes.ini";
    QTest::newRow("under a regular file") << "plain.txt/routes.ini";
    QTest::newRow("under a missing directory") << "missing/routes.ini";
}

void ConfigFilesTest::saveIntoUnwritablePlace() {
    QFETCH(QString, relativePath);
    QVERIFY(writeFile(dir->filePath("plain.txt"), "plain"));
    const QString path = QDir(dir->path()).filePath(relativePath);

    saveAs(path);

    QCOMPARE(bench->answerer.messages(), QStringList(SaveFailed));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readFile(dir->filePath("plain.txt")), QByteArray("plain"));
}

// A write that fails half way (the file size limit stops it) is reported, and the file
// that was there keeps every byte.
void ConfigFilesTest::failedWriteLeavesExistingFile() {
    bench->find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    const QString path = dir->filePath("filter.ini");
    const QByteArray before = R"({"c0": true})";
    QVERIFY(writeFile(path, before));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 256;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    saveAs(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(bench->answerer.messages(), QStringList(SaveFailed));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList("filter.ini"));
}

QTEST_MAIN(ConfigFilesTest)
#include "tst_configfiles.moc"
