// pellvane-cli run as a process, the way a script runs it, against the simulated router on a
// real pseudo-terminal. Frames, filter bytes and file contents are written out by hand.
#include "sim/routersimulator.h"
#include "tests/support/filtertable.h"
#include "tests/support/pacing.h"
#include "tests/support/process.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

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

} // namespace

class PellvaneCliTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dumpWritesTheWholeState();
    void progressOnlyOnATerminal();
    void applyWritesAsTheWindowDoes();
    void verifyListsDifferencesAndApplyRestores();
    void verifyAFilterFileOnOnePortOrAll();
    void refusals_data();
    void refusals();
    void lostRouter_data();
    void lostRouter();
    void badFiles_data();
    void badFiles();
    void routerChoice_data();
    void routerChoice();

private:
    // Runs pellvane-cli while the simulator answers; {slave}, {dir} and {inventory} in the
    // arguments stand for the simulator's port, the test folder and the inventory file.
    ProcessRun run(const QStringList &arguments, const QString &stderrFile = QString());
    QString path(const QString &name) const { return dir->filePath(name); }
    void writeInventory(bool secondRouter);
    bool stateUnchanged() const;

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
}

ProcessRun PellvaneCliTest::run(const QStringList &arguments, const QString &stderrFile) {
    QStringList filled;
    for (QString argument : arguments)
        filled << argument.replace("{slave}", sim->slavePath())
                      .replace("{dir}", dir->path())
                      .replace("{inventory}", path("inventory.json"));
    return runProcess(PELLVANE_CLI, filled, QProcessEnvironment::systemEnvironment(), stderrFile);
}

// The simulator under a test vendor and product id; a device of another make and a port of
// no device are not routers. The second router's port does not exist.
void PellvaneCliTest::writeInventory(bool secondRouter) {
    QJsonArray devices = {
        QJsonObject{{"description", DeviceName}, {"vendorId", 0x1209}, {"productId", 0x7A01}},
        QJsonObject{{"description", "Other Synth"}, {"vendorId", 0x0582}, {"productId", 0x0001}}};
    QJsonArray ports = {
        QJsonObject{{"portName", sim->slavePath()}, {"vendorId", 0x1209}, {"productId", 0x7A01}},
        QJsonObject{{"portName", "/dev/ttyS0"}, {"vendorId", 0}, {"productId", 0}},
        QJsonObject{{"portName", path("synth")}, {"vendorId", 0x0582}, {"productId", 0x0001}}};
    if (secondRouter) {
        devices.append(QJsonObject{{"description", "Kelvanto MIDI Router 2"},
                                   {"vendorId", 0x1209},
                                   {"productId", 0x7A02}});
        ports.append(QJsonObject{
            {"portName", path("ttyACM9")}, {"vendorId", 0x1209}, {"productId", 0x7A02}});
    }
    QVERIFY(writeFile(path("inventory.json"),
                      QJsonDocument(QJsonObject{{"devices", devices}, {"ports", ports}}).toJson()));
}

bool PellvaneCliTest::stateUnchanged() const {
    return sim->routes() == StartRoutes && sim->filter({0, 1}) == MidiIn1Filter &&
           sim->filter({5, 1}) == UsbDeviceOut1Filter && sim->filter({1, 2}) == FilterBytes{};
}

// The only router found is read to its end: its routes as the window saves them (the later
// reported first; none from a port outside the port map) and every port's filter, in the
// indented JSON of "Save File", to standard output or to a file. Nothing else is written.
void PellvaneCliTest::dumpWritesTheWholeState() {
    const QJsonObject filters = {{"MIDI IN1", filterForm({"checkBox_16", "c0"})},
                                 {"MIDI IN2", filterForm()},
                                 {"MIDI OUT1", filterForm()},
                                 {"MIDI OUT2", filterForm()},
                                 {"USB HOST IN1", filterForm()},
                                 {"USB HOST OUT1", filterForm()},
                                 {"USB DEVICE IN1", filterForm()},
                                 {"USB DEVICE OUT1", filterForm({"noteon", "c127", "systemrest"})}};
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

    const ProcessRun toFile = run({"dump", "--port", "{slave}", "-o", "{dir}/state.json"});
    QCOMPARE(toFile.err, QString());
    QCOMPARE(toFile.status, 0);
    QCOMPARE(toFile.out, QString());
    QCOMPARE(readFile(path("state.json")), expected);
}

// With a terminal for standard error the chain's progress shows on one line, which is
// cleared at the end.
void PellvaneCliTest::progressOnlyOnATerminal() {
    int master = -1;
    int slave = -1;
    QCOMPARE(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char name[128] = {};
    QCOMPARE(ttyname_r(slave, name, sizeof name), 0);

    const ProcessRun outcome = run({"dump", "--port", "{slave}", "-o", "{dir}/a.json"}, name);

    QByteArray shown;
    char chunk[4096];
    for (ssize_t n; (n = ::read(master, chunk, sizeof chunk)) > 0;)
        shown.append(chunk, int(n));
    ::close(master);
    ::close(slave);
    QCOMPARE(outcome.status, 0);
    QVERIFY2(shown.contains("\rreading the router: query 1 of 5\x1b[K"), shown.constData());
    QVERIFY2(shown.contains("\rreading the router: query 5 of 5\x1b[K"), shown.constData());
    QVERIFY2(shown.endsWith("\r\x1b[K"), shown.toHex(' ').constData());
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

// dump, a change of one route and one filter box, verify; then apply brings the router back.
void PellvaneCliTest::verifyListsDifferencesAndApplyRestores() {
    QCOMPARE(run({"dump", "--port", "{slave}", "-o", "{dir}/a.json"}).status, 0);
    const ProcessRun same = run({"verify", "{dir}/a.json", "--port", "{slave}"});
    QCOMPARE(same.err, QString());
    QCOMPARE(same.out, QString());
    QCOMPARE(same.status, 0);

    sim->setRoutes({{{0, 1}, {0, 2}}, {{0, 2}, {0, 1}}, {{2, 1}, {0, 1}}});
    sim->setFilter({1, 2}, filterBytes({{21, 0x01}}));
    const ProcessRun changed = run({"verify", "{dir}/a.json", "--port", "{slave}"});
    QCOMPARE(changed.err, QString());
    QCOMPARE(changed.out,
             QString("route missing: MIDI IN 1 -> USB HOST 1\n"
                     "route extra: MIDI IN 2 -> MIDI OUT 1\n"
                     "filter MIDI OUT2: c7 is true on the router, false in the file\n"));
    QCOMPARE(changed.status, 1);
    QCOMPARE(run({"verify", "-q", "{dir}/a.json", "--port", "{slave}"}).out, QString());

    QCOMPARE(run({"apply", "-q", "{dir}/a.json", "--port", "{slave}"}).status, 0);
    QCOMPARE(run({"verify", "{dir}/a.json", "--port", "{slave}"}).status, 0);
    QCOMPARE(sim->routes(), StartRoutes.mid(0, 3));
    QCOMPARE(sim->filter({1, 2}), FilterBytes{});
    QCOMPARE(sim->filter({5, 1}), UsbDeviceOut1Filter);
}

// A filter file is compared with the port named, or with every port.
void PellvaneCliTest::verifyAFilterFileOnOnePortOrAll() {
    QVERIFY(writeFile(path("filter.json"), R"({"c0": true, "checkBox_16": true})"));

    const ProcessRun onePort =
        run({"verify", "{dir}/filter.json", "--port", "{slave}", "--filter-port", "MIDI IN1"});
    QCOMPARE(onePort.err, QString());
    QCOMPARE(onePort.out, QString());
    QCOMPARE(onePort.status, 0);

    const ProcessRun allPorts =
        run({"verify", "{dir}/filter.json", "--port", "{slave}", "--all-ports"});
    QCOMPARE(allPorts.err, QString());
    QStringList expected;
    for (const char *port :
         {"MIDI IN2", "MIDI OUT1", "MIDI OUT2", "USB HOST IN1", "USB HOST OUT1", "USB DEVICE IN1"})
        expected
            << QStringLiteral("filter %1: c0 is false on the router, true in the file").arg(port)
            << QStringLiteral("filter %1: checkBox_16 is false on the router, true in the file")
                   .arg(port);
    expected << "filter USB DEVICE OUT1: c0 is false on the router, true in the file"
             << "filter USB DEVICE OUT1: c127 is true on the router, false in the file"
             << "filter USB DEVICE OUT1: checkBox_16 is false on the router, true in the file"
             << "filter USB DEVICE OUT1: noteon is true on the router, false in the file"
             << "filter USB DEVICE OUT1: systemrest is true on the router, false in the file";
    QCOMPARE(allPorts.out, expected.join('\n') + '\n');
    QCOMPARE(allPorts.status, 1);
}

// The simulator gives the verdict to the frame named; pellvane-cli reports every verdict,
// the refusal with the reason in the window's words, and exits 4.
void PellvaneCliTest::refusals_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<Frames>("commands");
    QTest::addColumn<int>("refused"); // index into commands
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("route") << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2", "MIDI OUT 1"]})")
                           << QStringList()
                           << Frames{ClearRoutes, addRoute("00010001"), addRoute("00010002")} << 1
                           << 1 << 3
                           << "clear all routes: accepted\n"
                              "MIDI IN 1 -> MIDI OUT 1: refused: Exceeding the number of routes "
                              "(some connecting nodes have a specified number of routes)\n"
                              "MIDI IN 1 -> MIDI OUT 2: accepted\n"
                           << "pellvane-cli: the router refused 1 of 3 commands\n";
    QTest::newRow("filter on every port")
        << QByteArray(R"({"c0": true})") << QStringList{"--all-ports"}
        << Frames{setFilter("7f00", QByteArray(44, '0') + "01")} << 0 << 1 << 2
        << "filter on every port: refused: Configuration failed:Category error\n"
        << "pellvane-cli: the router refused 1 of 1 commands\n";
    QTest::newRow("reason without words, quiet")
        << QByteArray("{}") << QStringList{"-q"} << Frames{ClearRoutes} << 0 << 2 << 9
        << "clear all routes: refused: reason 9\n"
        << "pellvane-cli: the router refused 1 of 1 commands\n";
}

void PellvaneCliTest::refusals() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, options);
    QFETCH(Frames, commands);
    QFETCH(int, refused);
    QFETCH(int, result);
    QFETCH(int, reason);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QVERIFY(writeFile(path("file.json"), file));
    connect(sim.get(), &RouterSimulator::frameReceived, this, [&](const QByteArray &frame) {
        if (frame == commands.at(refused))
            sim->refuseNext(result, reason);
    });

    const ProcessRun outcome =
        run(QStringList{"apply", "{dir}/file.json", "--port", "{slave}"} + options);

    QCOMPARE(outcome.out, out);
    QCOMPARE(outcome.err, err);
    QCOMPARE(outcome.status, 4);
    QCOMPARE(sim->receivedBytes(), Queries + commands);
}

// A router that stops answering, goes away, or leaves a command without a verdict: exit 3,
// once the answer timeout has passed with nothing from the router.
void PellvaneCliTest::lostRouter_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("atFrame"); // empty: from the start
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("silent") << QStringList{"dump", "--timeout", "2600"} << QByteArray() << "silent"
                            << 2600 << QString()
                            << "pellvane-cli: no answer to query 1 within 2600 ms\n";
    QTest::newRow("hangs up") << QStringList{"dump"} << Queries[2] << "hang up" << 0 << QString()
                              << "pellvane-cli: the router went away";
    QTest::newRow("verdict lost") << QStringList{"apply", "{dir}/routes.json", "--timeout", "1500"}
                                  << addRoute("00010002") << "drop verdict" << 1500
                                  << "clear all routes: accepted\n"
                                  << "pellvane-cli: no verdict on 1 of 2 commands within 1500 ms\n";
}

void PellvaneCliTest::lostRouter() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, atFrame);
    QFETCH(QString, fault);
    QFETCH(int, timeoutMs);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QVERIFY(writeFile(path("routes.json"), R"({"MIDI IN 1": ["MIDI OUT 2"]})"));
    const auto injectFault = [&] {
        if (fault == "silent")
            sim->setSilent(true);
        else if (fault == "hang up")
            sim->hangUp();
        else
            sim->dropNextVerdict();
    };
    if (atFrame.isEmpty())
        injectFault();
    connect(sim.get(), &RouterSimulator::frameReceived, this, [&](const QByteArray &frame) {
        if (frame == atFrame)
            injectFault();
    });

    const ProcessRun outcome = run(arguments + QStringList{"--port", "{slave}"});

    QCOMPARE(outcome.out, out);
    QVERIFY2(outcome.err.startsWith(err) && outcome.err.count('\n') == 1, qPrintable(outcome.err));
    QCOMPARE(outcome.status, 3);
    QVERIFY(outcome.ms >= timeoutMs);
}

// Nothing goes to the router unless the whole file was read, understood and fits the
// router's ports: a one-line error, exit 2.
void PellvaneCliTest::badFiles_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("content"); // "-": no file at all
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("error");
    QTest::addColumn<Frames>("frames");

    QTest::newRow("broken JSON") << "apply" << QByteArray(R"({"routes": {)") << QStringList()
                                 << "not JSON: unterminated object at byte 12" << Frames();
    QTest::newRow("a filter value in quotes")
        << "verify" << QByteArray(R"({"filters": {"MIDI IN1": {"c0": "true"}}})") << QStringList()
        << "\"filters\": \"MIDI IN1\": \"c0\" must be true or false" << Frames();
    QTest::newRow("filter file without its port")
        << "apply" << QByteArray(R"({"c0": true, "noteon": false})") << QStringList()
        << "a filter file needs --filter-port NAME or --all-ports" << Frames();
    QTest::newRow("state file for every port")
        << "verify" << QByteArray(R"({"routes": {}})") << QStringList{"--all-ports"}
        << "--filter-port and --all-ports go with a filter file, not a state file" << Frames();
    QTest::newRow("no file") << "apply" << QByteArray("-") << QStringList() << "cannot read"
                             << Frames();
    QTest::newRow("a port the router lacks")
        << "apply" << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 2"], "MIDI IN 3": ["MIDI OUT 1"]})")
        << QStringList() << "the router has no port MIDI IN 3" << Queries;
    QTest::newRow("a filter port the router lacks")
        << "apply" << QByteArray(R"({"c0": true})") << QStringList{"--filter-port", "USB HOST IN2"}
        << "the router has no filter port USB HOST IN2" << Queries;
}

void PellvaneCliTest::badFiles() {
    QFETCH(QString, command);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, options);
    QFETCH(QString, error);
    QFETCH(Frames, frames);
    const QString file = path("file.json");
    if (content != "-")
        QVERIFY(writeFile(file, content));

    const ProcessRun outcome = run(QStringList{command, file, "--port", "{slave}"} + options);

    const QString prefix = "pellvane-cli: " + file + ": ";
    QVERIFY2(outcome.err.startsWith(prefix + error) ||
                 outcome.err.startsWith("pellvane-cli: " + error + " " + file),
             qPrintable(outcome.err));
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(outcome.out, QString());
    QCOMPARE(outcome.status, 2);
    QCOMPARE(sim->receivedBytes(), frames);
    QVERIFY(stateUnchanged());
}

// The routers come from the inventory, matched to their serial ports.
void PellvaneCliTest::routerChoice_data() {
    QTest::addColumn<bool>("secondRouter");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // null: not looked at
    QTest::addColumn<QString>("err");

    const QString simLine = DeviceName + "\t{slave}\t1209:7a01\n";
    QTest::newRow("list") << true << QStringList{"list", "--inventory", "{inventory}"} << 0
                          << simLine + "Kelvanto MIDI Router 2\t{dir}/ttyACM9\t1209:7a02\n"
                          << QString();
    QTest::newRow("list --json") << false
                                 << QStringList{"list", "--json", "--inventory", "{inventory}"} << 0
                                 << QString(
                                        QJsonDocument(QJsonArray{QJsonObject{{"name", DeviceName},
                                                                             {"port", "{slave}"},
                                                                             {"id", "1209:7a01"}}})
                                            .toJson())
                                 << QString();
    QTest::newRow("several routers")
        << true << QStringList{"dump", "--inventory", "{inventory}"} << 2 << QString()
        << "pellvane-cli: 2 routers found, choose one with --device: \"" + DeviceName +
               "\", \"Kelvanto MIDI Router 2\"\n";
    QTest::newRow("--device") << true
                              << QStringList{"dump", "--inventory", "{inventory}", "--device",
                                             DeviceName}
                              << 0 << QString() << QString();
    QTest::newRow("--device of no router")
        << true << QStringList{"dump", "--inventory", "{inventory}", "--device", "Other Synth"} << 3
        << QString() << "pellvane-cli: no router named \"Other Synth\" found\n";
    QTest::newRow("unreachable port")
        << false << QStringList{"dump", "--port", "{dir}/ttyACM9"} << 3 << QString()
        << "pellvane-cli: cannot open {dir}/ttyACM9: No such file or directory\n";
}

void PellvaneCliTest::routerChoice() {
    QFETCH(bool, secondRouter);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    writeInventory(secondRouter);
    const auto filled = [this](QString text) {
        return text.replace("{slave}", sim->slavePath()).replace("{dir}", dir->path());
    };

    const ProcessRun outcome = run(arguments);

    QCOMPARE(outcome.err, filled(err));
    if (!out.isNull())
        QCOMPARE(outcome.out, filled(out));
    QCOMPARE(outcome.status, status);
    // Only a dump of the simulator talks to it.
    QCOMPARE(sim->receivedBytes().isEmpty(), status != 0 || arguments.first() == "list");
}

QTEST_GUILESS_MAIN(PellvaneCliTest)
#include "tst_pellvanecli.moc"
