// pellvane-cli run as a process, the way a script runs it, against the simulated router on a
// real pseudo-terminal. Frames, filter bytes and file contents are written out by hand.
#include "config/routerhistory.h"
#include "sim/routersimulator.h"
#include "tests/support/filtertable.h"
#include "tests/support/pacing.h"
#include "tests/support/process.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

using Frames = QList<QByteArray>;
using Route = RouterSimulator::Route;
using Wire::addRoute;
using Wire::ClearRoutes;
using Wire::filterBytes;
using Wire::setFilter;

const QString DeviceName = "Kelvanto MIDI Router (simulated)";

const Frames Queries = {Wire::frame("010301"), Wire::frame("010302"), Wire::frame("010303"),
                        Wire::frame("010304"), Wire::frame("010305")};

// The 162 keys of the filter form, false but for trueKeys.
QJsonObject filterForm(const QStringList &trueKeys = {}) {
    QJsonObject form;
    for (const FilterTable::Box &box : FilterTable::boxes())
        form.insert(box.key, trueKeys.contains(box.key));
    return form;
}

// MIDI IN 1 to MIDI OUT 2 and USB HOST 1, USB Device 1 to MIDI OUT 1, and a route from a
// MIDI IN 3 the router does not have (reported, but no port of its port map).
const QList<Route> StartRoutes = {
    {{0, 1}, {0, 2}}, {{0, 1}, {1, 1}}, {{2, 1}, {0, 1}}, {{0, 3}, {0, 1}}};
// MIDI IN1: channel 16 (byte 0 bit 1) and CC#0 (byte 22 bit 0). USB DEVICE OUT1: Note On
// (byte 3 bit 0), CC#127 (byte 4 bit 1) and System Reset (byte 24 bit 6).
const FilterBytes MidiIn1Filter = filterBytes({{0, 0x02}, {22, 0x01}});
const FilterBytes UsbDeviceOut1Filter = filterBytes({{3, 0x01}, {4, 0x02}, {24, 0x40}});

// What the simulator is made to do, set up before pellvane-cli runs.
using Fault = std::function<void(RouterSimulator &)>;

// The fault as soon as the simulator receives the frame.
Fault atFrame(const QByteArray &frame, const Fault &fault) {
    return [frame, fault](RouterSimulator &sim) {
        QObject::connect(&sim, &RouterSimulator::frameReceived, &sim,
                         [&sim, frame, fault](const QByteArray &received) {
                             if (received == frame)
                                 fault(sim);
                         });
    };
}

Fault refuse(const QByteArray &frame, int result, int reason) {
    return atFrame(frame,
                   [result, reason](RouterSimulator &sim) { sim.refuseNext(result, reason); });
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class PellvaneCliTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dumpWritesTheWholeState();
    void applyWritesAsTheWindowDoes();
    void verifyListsDifferencesAndApplyRestores();
    void outcomes_data();
    void outcomes();

private:
    // Runs pellvane-cli while the simulator answers; {slave}, {dir} and {inventory} in the
    // arguments (and in the texts filled) stand for the simulator's port, the test folder and
    // the inventory file.
    ProcessRun run(const QStringList &arguments, const QString &stderrFile = QString());
    QString filled(QString text) const;
    QString path(const QString &name) const { return dir->filePath(name); }
    void writeInventory(bool secondRouter);
    void keepHistory();

    std::unique_ptr<RouterSimulator> sim;
    std::unique_ptr<QTemporaryDir> dir;
};

void PellvaneCliTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    sim = std::make_unique<RouterSimulator>();
    QVERIFY2(sim->start(), qPrintable(sim->errorString()));
    sim->setPortCounts({2, 2, 1, 1});
    sim->setRoutes(StartRoutes);
    sim->setFilter({0, 1}, MidiIn1Filter);
    sim->setFilter({5, 1}, UsbDeviceOut1Filter);
    writeInventory(false);
    qputenv("TZ", "XYZ-2"); // two hours east of UTC
}

ProcessRun PellvaneCliTest::run(const QStringList &arguments, const QString &stderrFile) {
    QStringList words;
    for (const QString &argument : arguments)
        words << filled(argument);
    return runProcess(PELLVANE_CLI, words, QProcessEnvironment::systemEnvironment(), stderrFile);
}

QString PellvaneCliTest::filled(QString text) const {
    return text.replace("{slave}", sim->slavePath())
        .replace("{dir}", dir->path())
        .replace("{inventory}", path("inventory.json"));
}

// The simulator under a test vendor and product id; a device of another make and a port of
// no device are not routers. The second router's port does not exist.
void PellvaneCliTest::writeInventory(bool secondRouter) {
    const auto entry = [](const char *key, const QString &name, int vendorId, int productId) {
        return QJsonObject{{key, name}, {"vendorId", vendorId}, {"productId", productId}};
    };
    QJsonArray devices = {entry("description", DeviceName, 0x1209, 0x7A01),
                          entry("description", "Other Synth", 0x0582, 0x0001)};
    QJsonObject simulated = entry("portName", sim->slavePath(), 0x1209, 0x7A01);
    simulated.insert("serialNumber", "SIM1");
    QJsonArray ports = {simulated, entry("portName", "/dev/ttyS0", 0, 0),
                        entry("portName", path("synth"), 0x0582, 0x0001)};
    if (secondRouter) {
        devices.append(entry("description", "Kelvanto MIDI Router 2", 0x1209, 0x7A02));
        ports.append(entry("portName", path("ttyACM9"), 0x1209, 0x7A02));
    }
    QVERIFY(writeFile(path("inventory.json"),
                      QJsonDocument(QJsonObject{{"devices", devices}, {"ports", ports}}).toJson()));
}

// The only router found is read to its end: its routes as the window saves them (the later
// reported first; none from a port outside the port map) and every port's filter, in the
// indented JSON of "Save File", to standard output or to a file. Nothing else is written but,
// to a terminal only, the chain's progress on one line, cleared at the end.
void PellvaneCliTest::dumpWritesTheWholeState() {
    QJsonObject filters = {{"MIDI IN1", filterForm({"checkBox_16", "c0"})},
                           {"USB DEVICE OUT1", filterForm({"noteon", "c127", "systemrest"})}};
    for (const char *port :
         {"MIDI IN2", "MIDI OUT1", "MIDI OUT2", "USB HOST IN1", "USB HOST OUT1", "USB DEVICE IN1"})
        filters.insert(port, filterForm());
    const QJsonObject routes = {{"MIDI IN 1", QJsonArray{"USB HOST 1", "MIDI OUT 2"}},
                                {"USB Device 1", QJsonArray{"MIDI OUT 1"}}};
    const QByteArray expected =
        QJsonDocument(QJsonObject{{"routes", routes}, {"filters", filters}}).toJson();

    const ProcessRun toStdout = run({"dump", "--inventory", "{inventory}"});
    QCOMPARE(toStdout.err, QString());
    QCOMPARE(toStdout.status, 0);
    QCOMPARE(toStdout.out.toUtf8(), expected);
    QCOMPARE(sim->receivedBytes(), Queries);
    QVERIFY(unpaced(sim->receivedFrames(), 2, 3).isEmpty());

    int master = -1;
    int slave = -1;
    QCOMPARE(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char terminal[128] = {};
    QCOMPARE(ttyname_r(slave, terminal, sizeof terminal), 0);
    const ProcessRun toFile =
        run({"dump", "--port", "{slave}", "-o", "{dir}/state.json"}, terminal);
    QByteArray shown;
    char chunk[4096];
    for (ssize_t n; (n = ::read(master, chunk, sizeof chunk)) > 0;)
        shown.append(chunk, int(n));
    ::close(master);
    ::close(slave);
    QCOMPARE(toFile.status, 0);
    QCOMPARE(toFile.out, QString());
    QCOMPARE(readFile(path("state.json")), expected);
    QByteArray progress;
    for (int query = 1; query <= 5; ++query)
        progress += "\rreading the router: query " + QByteArray::number(query) + " of 5\x1b[K";
    QCOMPARE(shown, progress + "\r\x1b[K");
}

// The window's history of the simulated router, newest first: a state it can hold; one with a
// route from a MIDI IN 3 it lacks, kept in the same second as a route file, which is damaged.
void PellvaneCliTest::keepHistory() {
    const RouterHistory history(path("history"), DeviceName, "SIM1");
    QVERIFY(QDir().mkpath(history.folder()));
    QVERIFY(writeFile(history.folder() + "/20260314-203015-000.json", R"({"MIDI IN 1": []})"));
    const QDateTime second(QDate(2026, 3, 14), QTime(20, 30, 15), Qt::UTC);
    RouterState state;
    state.routes.insert({0, 3}, {0, 1});
    QVERIFY(history.keep(state, second).kept);
    state.routes.clear();
    state.routes.insert({0, 2}, {0, 1});
    state.filters.insert({1, 2}, filterBytes({{21, 0x01}}));
    QVERIFY(history.keep(state, second.addSecs(12 * 3600)).kept);
}

// A state file: the clear command, then the routes grouped by source in port order, each
// source's last listed route first, then one set-filter command per port; 15 ms from each
// command leaving to the next, as the simulator's own reader saw them arrive.
void PellvaneCliTest::applyWritesAsTheWindowDoes() {
    QVERIFY(writeFile(path("state.json"), R"({
        "routes": {"MIDI IN 2": ["USB Device 1", "MIDI OUT 1"], "USB HOST 1": ["MIDI OUT 2"],
                   "MIDI IN 1": ["MIDI OUT 1"]},
        "filters": {"USB HOST IN1": {"systemrest": true},
                    "MIDI OUT2": {"c7": true, "checkBox_1": true, "noteoff": false}}})"));

    const ProcessRun outcome = run({"apply", "{dir}/state.json", "--port", "{slave}"});

    QCOMPARE(outcome.err, QString());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, QString("clear all routes: accepted\n"
                                  "MIDI IN 1 -> MIDI OUT 1: accepted\n"
                                  "MIDI IN 2 -> MIDI OUT 1: accepted\n"
                                  "MIDI IN 2 -> USB Device 1: accepted\n"
                                  "USB HOST 1 -> MIDI OUT 2: accepted\n"
                                  "filter MIDI OUT2: accepted\n"
                                  "filter USB HOST IN1: accepted\n"));
    // Channel 1: byte 2 bit 0; CC#7: byte 21 bit 0; System Reset: byte 24 bit 6.
    const QByteArray midiOut2Filter = "000001" + QByteArray(36, '0') + "01";
    const QByteArray usbHostIn1Filter = QByteArray(48, '0') + "40";
    const Frames commands = {ClearRoutes,
                             addRoute("00010001"),
                             addRoute("00020001"),
                             addRoute("00020201"),
                             addRoute("01010002"),
                             setFilter("0102", midiOut2Filter),
                             setFilter("0201", usbHostIn1Filter)};
    QCOMPARE(sim->receivedBytes(), Queries + commands);
    const QList<RouterSimulator::ReceivedFrame> frames = sim->receivedFrames();
    QVERIFY(unpaced(frames, 2, 3).isEmpty());
    const QString gaps = unpaced(frames, 6, frames.size() - 1); // from the first route added
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
    QCOMPARE(
        sim->routes(),
        QList<Route>({{{0, 1}, {0, 1}}, {{0, 2}, {0, 1}}, {{0, 2}, {2, 1}}, {{1, 1}, {0, 2}}}));
    QCOMPARE(sim->filter({1, 2}), filterBytes({{2, 0x01}, {21, 0x01}}));
    QCOMPARE(sim->filter({2, 1}), filterBytes({{24, 0x40}}));
    QCOMPARE(sim->filter({0, 1}), MidiIn1Filter);
}

// A filter file is compared with the port named (here with a blank before the number, as the
// routing side writes it), or with every port; then dump, a change of one route and one filter
// box, verify; apply brings the router back.
void PellvaneCliTest::verifyListsDifferencesAndApplyRestores() {
    QVERIFY(writeFile(path("filter.json"), R"({"c0": false})"));
    const QString midiIn1 = "filter MIDI IN1: CC#0 ticked on the router, not in the file\n"
                            "filter MIDI IN1: Channel 16 ticked on the router, not in the file\n";
    const ProcessRun onePort =
        run({"verify", "{dir}/filter.json", "--port", "{slave}", "--filter-port", "MIDI IN 1"});
    QCOMPARE(onePort.out, midiIn1);
    QCOMPARE(onePort.status, 1);
    const ProcessRun allPorts =
        run({"verify", "{dir}/filter.json", "--port", "{slave}", "--all-ports"});
    QCOMPARE(allPorts.out,
             midiIn1 +
                 "filter USB DEVICE OUT1: CC#127 ticked on the router, not in the file\n"
                 "filter USB DEVICE OUT1: Note On ticked on the router, not in the file\n"
                 "filter USB DEVICE OUT1: System Reset ticked on the router, not in the file\n");
    QCOMPARE(allPorts.status, 1);

    QCOMPARE(run({"dump", "--port", "{slave}", "-o", "{dir}/a.json"}).status, 0);
    const ProcessRun same = run({"verify", "{dir}/a.json", "--port", "{slave}"});
    QCOMPARE(same.err + same.out, QString());
    QCOMPARE(same.status, 0);

    sim->setRoutes({{{0, 1}, {0, 2}}, {{0, 2}, {0, 1}}, {{2, 1}, {0, 1}}});
    sim->setFilter({1, 2}, filterBytes({{21, 0x01}}));
    const ProcessRun changed = run({"verify", "{dir}/a.json", "--port", "{slave}"});
    QCOMPARE(changed.err, QString());
    QCOMPARE(changed.out,
             QString("route missing: MIDI IN 1 -> USB HOST 1\n"
                     "route extra: MIDI IN 2 -> MIDI OUT 1\n"
                     "filter MIDI OUT2: CC#7 ticked on the router, not in the file\n"));
    QCOMPARE(changed.status, 1);
    QCOMPARE(run({"verify", "-q", "{dir}/a.json", "--port", "{slave}"}).out, QString());

    QCOMPARE(run({"apply", "-q", "{dir}/a.json", "--port", "{slave}"}).status, 0);
    QCOMPARE(sim->routes(), StartRoutes.mid(0, 3));
    QCOMPARE(sim->filter({1, 2}), FilterBytes{});
    QCOMPARE(sim->filter({5, 1}), UsbDeviceOut1Filter);
}

// Each line of pellvane-cli's standard output and error and its exit status, and what the
// router received: every verdict reported, a refusal with the reason in the window's words
// (exit 4); a router that stops answering, goes away or leaves a command without a verdict
// (exit 3, once the answer timeout has passed); nothing sent unless the whole file was read,
// understood and fits the router's ports (exit 2); the routers taken from the inventory,
// matched to their serial ports.
void PellvaneCliTest::outcomes_data() {
    QTest::addColumn<QByteArray>("file"); // {dir}/file.json
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("out"); // null: not looked at
    QTest::addColumn<QString>("err"); // the start of its one line, if any
    QTest::addColumn<int>("status");
    QTest::addColumn<Frames>("received");

    const QStringList apply = {"apply", "{dir}/file.json", "--port", "{slave}"};
    const QStringList verify = {"verify", "{dir}/file.json", "--port", "{slave}"};
    const QString badFile = "pellvane-cli: {dir}/file.json: ";
    const Fault none;

    QTest::newRow("route refused")
        << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2", "MIDI OUT 1"]})") << apply
        << refuse(addRoute("00010001"), 1, 3)
        << "clear all routes: accepted\n"
           "MIDI IN 1 -> MIDI OUT 1: refused: Exceeding the number of routes "
           "(some connecting nodes have a specified number of routes)\n"
           "MIDI IN 1 -> MIDI OUT 2: accepted\n"
        << "pellvane-cli: the router refused 1 of 3 commands\n"
        << 4 << Queries + Frames{ClearRoutes, addRoute("00010001"), addRoute("00010002")};
    const QByteArray everyPort = setFilter("7f00", QByteArray(44, '0') + "01");
    QTest::newRow("filter on every port refused")
        << QByteArray(R"({"c0": true})") << apply + QStringList{"--all-ports"}
        << refuse(everyPort, 1, 2)
        << "filter on every port: refused: Configuration failed:Category error\n"
        << "pellvane-cli: the router refused 1 of 1 commands\n"
        << 4 << Queries + Frames{everyPort};
    QTest::newRow("reason without words, quiet")
        << QByteArray("{}") << apply + QStringList{"-q"} << refuse(ClearRoutes, 2, 9)
        << "clear all routes: refused: reason 9\n"
        << "pellvane-cli: the router refused 1 of 1 commands\n"
        << 4 << Queries + Frames{ClearRoutes};

    QTest::newRow("silent") << QByteArray()
                            << QStringList{"dump", "--port", "{slave}", "--timeout", "2600"}
                            << Fault([](RouterSimulator &sim) { sim.setSilent(true); }) << ""
                            << "pellvane-cli: no answer to query 1 within 2600 ms\n"
                            << 3 << Queries.mid(0, 1);
    QTest::newRow("hangs up") << QByteArray() << QStringList{"dump", "--port", "{slave}"}
                              << atFrame(Queries[2], &RouterSimulator::hangUp) << ""
                              << "pellvane-cli: the router went away" << 3 << Queries.mid(0, 3);
    QTest::newRow("verdict lost") << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2"]})")
                                  << apply + QStringList{"--timeout", "1500"}
                                  << atFrame(addRoute("00010002"),
                                             &RouterSimulator::dropNextVerdict)
                                  << "clear all routes: accepted\n"
                                  << "pellvane-cli: no verdict on 1 of 2 commands within 1500 ms\n"
                                  << 3 << Queries + Frames{ClearRoutes, addRoute("00010002")};

    QTest::newRow("broken JSON") << QByteArray(R"({"routes": {)") << apply << none << ""
                                 << badFile + "not JSON: unterminated object at byte 12\n"
                                 << 2 << Frames();
    QTest::newRow("filter file without its port")
        << QByteArray(R"({"c0": true, "noteon": false})") << apply << none << ""
        << badFile + "a filter file needs --filter-port NAME or --all-ports\n"
        << 2 << Frames();
    QTest::newRow("state file for every port")
        << QByteArray(R"({"routes": {}})") << verify + QStringList{"--all-ports"} << none << ""
        << badFile + "--filter-port and --all-ports go with a filter file, not a state file\n"
        << 2 << Frames();
    QTest::newRow("a port the router lacks")
        << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2"], "MIDI IN 3": ["MIDI OUT 1"]})") << apply
        << none << "" << badFile + "the router has no port MIDI IN 3\n"
        << 2 << Queries;
    QTest::newRow("a filter port the router lacks")
        << QByteArray(R"({"c0": true})") << apply + QStringList{"--filter-port", "USB HOST IN2"}
        << none << "" << badFile + "the router has no filter port USB HOST IN2\n"
        << 2 << Queries;
    QTest::newRow("a filter port misspelt")
        << QByteArray(R"({"c0": true})") << apply + QStringList{"--filter-port", "midi in1"} << none
        << ""
        << "pellvane-cli: apply: --filter-port: no filter port \"midi in1\"; "
           "did you mean \"MIDI IN1\"?\n"
        << 2 << Frames();

    const auto history = [](const QStringList &words) {
        return QStringList{"history"} + words +
               QStringList{"--inventory", "{inventory}", "--history-folder", "{dir}/history"};
    };
    const QStringList device = {"--device", DeviceName};
    const QString folder = "{dir}/history/" + DeviceName + " [SIM1]";
    QTest::newRow("history list") << QByteArray() << history(QStringList{"list"} + device) << none
                                  << "1\t2026-03-15 10:30:15\troutes: 1\tchanged filters: 1\n"
                                     "2\t2026-03-14 22:30:15\troutes: 1\tchanged filters: 0\n"
                                     "3\t2026-03-14 22:30:15\tdamaged: not a state file\n"
                                  << QString() << 0 << Frames();
    const QJsonObject entry1 = {{"routes", QJsonObject{{"MIDI IN 2", QJsonArray{"MIDI OUT 1"}}}},
                                {"filters", QJsonObject{{"MIDI OUT2", filterForm({"c7"})}}}};
    QTest::newRow("history show, by port")
        << QByteArray() << history({"show", "1", "--port", "{slave}"}) << none
        << QString(QJsonDocument(entry1).toJson()) << QString() << 0 << Frames();
    QTest::newRow("history apply")
        << QByteArray() << history(QStringList{"apply", "1"} + device) << none
        << "clear all routes: accepted\nMIDI IN 2 -> MIDI OUT 1: accepted\n"
           "filter MIDI OUT2: accepted\n"
        << QString() << 0
        << Queries + Frames{ClearRoutes, addRoute("00020001"),
                            setFilter("0102", QByteArray(42, '0') + "01")};
    QTest::newRow("history apply, a port the router lacks")
        << QByteArray() << history(QStringList{"apply", "2"} + device) << none << ""
        << "pellvane-cli: " + folder +
               "/20260314-203015-001.json: the router has no port MIDI IN 3\n"
        << 2 << Queries;
    QTest::newRow("history apply, damaged")
        << QByteArray() << history(QStringList{"apply", "3"} + device) << none << ""
        << "pellvane-cli: history entry 3 is damaged: not a state file\n"
        << 2 << Frames();
    QTest::newRow("history show, no such entry")
        << QByteArray() << history(QStringList{"show", "4"} + device) << none << ""
        << "pellvane-cli: no history entry 4: 3 kept in " + folder + "\n"
        << 2 << Frames();
    QTest::newRow("history of a port with no router")
        << QByteArray() << history({"list", "--port", "/dev/ttyS0"}) << none << ""
        << "pellvane-cli: no router listed on /dev/ttyS0, whose history this would be; choose "
           "it with --device\n"
        << 3 << Frames();

    const QJsonObject simulated = {{"name", DeviceName}, {"port", "{slave}"}, {"id", "1209:7a01"}};
    const QJsonObject second = {
        {"name", "Kelvanto MIDI Router 2"}, {"port", "{dir}/ttyACM9"}, {"id", "1209:7a02"}};
    QTest::newRow("list") << QByteArray() << QStringList{"list", "--inventory", "{inventory}"}
                          << none
                          << DeviceName + "\t{slave}\t1209:7a01\n"
                                          "Kelvanto MIDI Router 2\t{dir}/ttyACM9\t1209:7a02\n"
                          << QString() << 0 << Frames();
    QTest::newRow("list --json") << QByteArray()
                                 << QStringList{"list", "--json", "--inventory", "{inventory}"}
                                 << none
                                 << QString(QJsonDocument(QJsonArray{simulated, second}).toJson())
                                 << QString() << 0 << Frames();
    QTest::newRow("several routers")
        << QByteArray() << QStringList{"dump", "--inventory", "{inventory}"} << none << ""
        << "pellvane-cli: 2 routers found, choose one with --device: \"" + DeviceName +
               "\", \"Kelvanto MIDI Router 2\"\n"
        << 2 << Frames();
    QTest::newRow("--device") << QByteArray()
                              << QStringList{"dump", "--inventory", "{inventory}", "--device",
                                             DeviceName}
                              << none << QString() << QString() << 0 << Queries;
    QTest::newRow("--device of no router")
        << QByteArray()
        << QStringList{"dump", "--inventory", "{inventory}", "--device", "Other Synth"} << none
        << ""
        << "pellvane-cli: no router named \"Other Synth\" found\n"
        << 3 << Frames();
    QTest::newRow("unreachable port")
        << QByteArray() << QStringList{"dump", "--port", "{dir}/ttyACM9"} << none << ""
        << "pellvane-cli: cannot open {dir}/ttyACM9: No such file or directory\n"
        << 3 << Frames();
    QTest::newRow("--version") << QByteArray() << QStringList{"--version"} << none
                               << "pellvane-cli " PELLVANE_VERSION
                                  "\nLicense GPL-3.0-or-later: no warranty\n"
                               << QString() << 0 << Frames();
}

void PellvaneCliTest::outcomes() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(Fault, fault);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, status);
    QFETCH(Frames, received);
    if (!file.isEmpty())
        QVERIFY(writeFile(path("file.json"), file));
    writeInventory(true);
    keepHistory();
    if (fault)
        fault(*sim);

    const ProcessRun outcome = run(arguments);

    if (!out.isNull())
        QCOMPARE(outcome.out, filled(out));
    QVERIFY2(outcome.err.startsWith(filled(err)) && outcome.err.count('\n') == int(!err.isEmpty()),
             qPrintable(outcome.err));
    QCOMPARE(outcome.status, status);
    QCOMPARE(sim->receivedBytes(), received);
    const int timeout = arguments.indexOf("--timeout") + 1;
    if (timeout > 0)
        QVERIFY(outcome.ms >= arguments.at(timeout).toInt());
}

QTEST_GUILESS_MAIN(PellvaneCliTest)
#include "tst_pellvanecli.moc"
