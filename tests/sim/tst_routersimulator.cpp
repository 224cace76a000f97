#include "link/fifobuffer.h"
#include "link/sysexframe.h"
#include "sim/routersimulator.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

using Route = RouterSimulator::Route;
using FilterPort = RouterSimulator::FilterPort;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

QByteArray routeCommand(int srcClass, int srcNumber, int dstClass, int dstNumber, int op) {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeRoute,
                             {srcClass, srcNumber, dstClass, dstNumber, op});
}

QByteArray routeReport(const Route &route) {
    return SysexFrame::build(
        SysexFrame::ClassQuery, 0x03,
        {route.first.first, route.first.second, route.second.first, route.second.second, 0x01});
}

FilterBytes pattern(int first) {
    FilterBytes bytes{};
    for (int k = 0; k < FilterByteCount; ++k)
        bytes[k] = (first + 5 * k) & 0x7F;
    return bytes;
}

QByteArray filterPayload(int code, int number, const FilterBytes &bytes) {
    QByteArray payload;
    payload.append(char(code));
    payload.append(char(number));
    for (qint32 value : bytes)
        payload.append(char(value));
    payload.append(2, '\0');
    return payload;
}

QByteArray filterCommand(int code, int number, const FilterBytes &bytes) {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeFilter,
                             filterPayload(code, number, bytes));
}

QByteArray filterReport(int code, int number, const FilterBytes &bytes) {
    return SysexFrame::build(SysexFrame::ClassQuery, 0x05, filterPayload(code, number, bytes));
}

// The state every test starts from.
const RouterSimulator::PortCounts fixtureCounts{2, 3, 1, 1};
const QList<Route> fixtureRoutes{{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}};
const FilterPort patternedPort{0, 2};
const QList<FilterPort> fixtureFilterPorts{{0, 1}, {0, 2}, {1, 1}, {1, 2}, {1, 3},
                                           {2, 1}, {3, 1}, {4, 1}, {5, 1}};

QByteArray fixtureFilterReports() {
    QByteArray reports;
    for (const FilterPort &port : fixtureFilterPorts)
        reports += filterReport(port.first, port.second,
                                port == patternedPort ? pattern(3) : FilterBytes{});
    return reports;
}

// Asked after a request: every reply leaves in order, so once this one's answer is in, the
// request's whole answer is in before it.
QByteArray sentinel() {
    return SysexFrame::query(1);
}
const QByteArray sentinelReply = hex("F0 00 21 5E 01 01 02 F7");

} // namespace

class RouterSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void replies_data();
    void replies();
    void routeCommandsChangeTheTable();
    void filterCommandsStoreTheBytes();
    void routeLimitPerSource();
    void refuseNext_data();
    void refuseNext();
    void silentRecordsButAnswersNothing();
    void recordsEveryFrameWithItsTime();
    void randomChunksReassemble();
    void noiseLiesBetweenFrames();
    void pacingTakesTheLineTime();
    void injectSendsRawBytes();
    void lineIsRawBeforeTheToolOpensIt();
    void reconnectKeepsWorking();
    void hangUpFailsThePort();

private:
    bool openPort();
    void write(const QByteArray &bytes);
    // Sends request and the sentinel; returns what came back before the sentinel's reply.
    QByteArray exchange(const QByteArray &request, int expectedSize);

    std::unique_ptr<RouterSimulator> sim;
    std::unique_ptr<QSerialPort> port;
    QByteArray incoming;
    int reads = 0;
};

void RouterSimulatorTest::initTestCase() {
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    qRegisterMetaType<QSerialPort::SerialPortError>();
}

void RouterSimulatorTest::init() {
    sim = std::make_unique<RouterSimulator>();
    sim->setMode(2);
    sim->setPortCounts(fixtureCounts);
    sim->setRoutes(fixtureRoutes);
    sim->setFilter(patternedPort, pattern(3));
    QVERIFY2(sim->start(), qPrintable(sim->errorString()));
    QVERIFY(openPort());
}

void RouterSimulatorTest::cleanup() {
    port.reset();
    sim.reset();
    incoming.clear();
    reads = 0;
}

bool RouterSimulatorTest::openPort() {
    port = std::make_unique<QSerialPort>(sim->slavePath());
    port->setBaudRate(QSerialPort::Baud115200);
    connect(port.get(), &QSerialPort::readyRead, this, [this] {
        incoming += port->readAll();
        ++reads;
    });
    return port->open(QIODevice::ReadWrite);
}

void RouterSimulatorTest::write(const QByteArray &bytes) {
    QCOMPARE(port->write(bytes), qint64(bytes.size()));
}

QByteArray RouterSimulatorTest::exchange(const QByteArray &request, int expectedSize) {
    incoming.clear();
    port->write(request + sentinel());
    const int size = expectedSize + sentinelReply.size();
    if (!QTest::qWaitFor(
            [&] { return incoming.size() >= size && incoming.endsWith(sentinelReply); }, 3000))
        return "<no sentinel reply> " + incoming.toHex(' ');
    return incoming.left(incoming.size() - sentinelReply.size());
}

void RouterSimulatorTest::replies_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    const FilterBytes zeros{};
    FilterBytes highByte = pattern(1);
    highByte[24] = 0x80;

    QTest::newRow("mode") << SysexFrame::query(1) << hex("F0 00 21 5E 01 01 02 F7");
    QTest::newRow("port counts") << SysexFrame::query(2) << hex("F0 00 21 5E 01 02 02 03 01 01 F7");
    QTest::newRow("routes, in order added")
        << SysexFrame::query(3)
        << hex("F0 00 21 5E 01 03 00 01 00 02 01 F7 F0 00 21 5E 01 03 01 01 02 01 01 F7");
    QTest::newRow("filter port counts")
        << SysexFrame::query(4) << hex("F0 00 21 5E 01 04 02 03 01 01 01 01 F7");
    QTest::newRow("filters, code then number order")
        << SysexFrame::query(5) << fixtureFilterReports();
    QTest::newRow("query item 0") << SysexFrame::query(0) << QByteArray();
    QTest::newRow("query item 6") << SysexFrame::query(6) << QByteArray();

    const QByteArray accepted = hex("F0 00 21 5E 02 01 00 00 F7");
    const QByteArray badClass = hex("F0 00 21 5E 02 01 01 01 F7");
    const QByteArray badNumber = hex("F0 00 21 5E 02 01 01 02 F7");
    QTest::newRow("add route") << routeCommand(0, 2, 1, 1, 0x01) << accepted;
    QTest::newRow("add held route") << routeCommand(0, 1, 0, 2, 0x01) << accepted;
    QTest::newRow("add to MIDI OUT 3") << routeCommand(0, 1, 0, 3, 0x01) << accepted;
    QTest::newRow("add from MIDI IN 3") << routeCommand(0, 3, 0, 1, 0x01) << badNumber;
    QTest::newRow("add to MIDI OUT 4") << routeCommand(0, 1, 0, 4, 0x01) << badNumber;
    QTest::newRow("add from source class 3") << routeCommand(3, 1, 0, 1, 0x01) << badClass;
    QTest::newRow("add to destination class 3") << routeCommand(0, 1, 3, 1, 0x01) << badClass;
    QTest::newRow("add from port 0") << routeCommand(1, 0, 0, 1, 0x01) << badNumber;
    QTest::newRow("add to port 0") << routeCommand(0, 1, 2, 0, 0x01) << badNumber;
    QTest::newRow("add from USB HOST 2") << routeCommand(1, 2, 0, 1, 0x01) << badNumber;
    QTest::newRow("add to USB Device 2") << routeCommand(0, 1, 2, 2, 0x01) << badNumber;
    QTest::newRow("delete held route") << routeCommand(1, 1, 2, 1, 0x00) << accepted;
    QTest::newRow("delete unknown route") << routeCommand(1, 1, 0, 1, 0x00) << badNumber;
    QTest::newRow("clear all routes") << routeCommand(0, 0, 0, 0, 0x7F) << accepted;
    QTest::newRow("route command 02") << routeCommand(0, 1, 0, 1, 0x02) << QByteArray();

    QTest::newRow("configuration")
        << hex("F0 00 21 5E 02 02 00 F7") << hex("F0 00 21 5E 02 02 00 00 F7");
    QTest::newRow("configuration payload 01") << hex("F0 00 21 5E 02 02 01 F7") << QByteArray();

    const QByteArray filterSet = hex("F0 00 21 5E 02 03 00 00 F7");
    QTest::newRow("filter one port") << filterCommand(3, 1, pattern(9)) << filterSet;
    QTest::newRow("filter all ports") << filterCommand(0x7F, 0, pattern(9)) << filterSet;
    QTest::newRow("filter code 6")
        << filterCommand(6, 1, zeros) << hex("F0 00 21 5E 02 03 01 02 F7");
    QTest::newRow("filter all ports with a number")
        << filterCommand(0x7F, 1, zeros) << hex("F0 00 21 5E 02 03 01 02 F7");
    QTest::newRow("filter port 0")
        << filterCommand(0, 0, zeros) << hex("F0 00 21 5E 02 03 01 01 F7");
    QTest::newRow("filter MIDI IN 3")
        << filterCommand(0, 3, zeros) << hex("F0 00 21 5E 02 03 01 01 F7");
    QTest::newRow("filter byte 80")
        << filterCommand(1, 3, highByte) << hex("F0 00 21 5E 02 03 01 03 F7");

    QTest::newRow("noise") << hex("12 34 7F F7") << QByteArray();
    QTest::newRow("unknown class") << hex("F0 00 21 5E 03 01 00 F7") << QByteArray();
    QTest::newRow("unknown set code") << hex("F0 00 21 5E 02 04 00 F7") << QByteArray();
    QTest::newRow("other manufacturer") << hex("F0 00 21 5F 01 03 01 F7") << QByteArray();
    QTest::newRow("query with two items") << hex("F0 00 21 5E 01 03 01 02 F7") << QByteArray();
    QTest::newRow("short route command") << hex("F0 00 21 5E 02 01 00 01 00 01 F7") << QByteArray();
    QTest::newRow("short filter command")
        << filterCommand(0, 1, zeros).remove(33, 1) << QByteArray();
    QTest::newRow("mode report sent back") << hex("F0 00 21 5E 01 01 02 F7") << QByteArray();
}

void RouterSimulatorTest::replies() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QCOMPARE(exchange(request, reply.size()).toHex(' '), reply.toHex(' '));
}

void RouterSimulatorTest::routeCommandsChangeTheTable() {
    const QByteArray accepted = hex("F0 00 21 5E 02 01 00 00 F7");
    const QList<QPair<QByteArray, QByteArray>> steps{
        {routeCommand(2, 1, 0, 3, 0x01), accepted},
        {routeCommand(0, 2, 1, 1, 0x01), accepted},
        {routeCommand(0, 1, 0, 2, 0x01), accepted},                          // held: not twice
        {routeCommand(0, 1, 0, 2, 0x00), accepted},                          // delete the first
        {routeCommand(0, 3, 0, 1, 0x01), hex("F0 00 21 5E 02 01 01 02 F7")}, // refused
    };
    for (const auto &step : steps)
        QCOMPARE(exchange(step.first, step.second.size()).toHex(' '), step.second.toHex(' '));

    const QList<Route> expected{{{1, 1}, {2, 1}}, {{2, 1}, {0, 3}}, {{0, 2}, {1, 1}}};
    QCOMPARE(sim->routes(), expected);
    QByteArray reports;
    for (const Route &route : expected)
        reports += routeReport(route);
    QCOMPARE(exchange(SysexFrame::query(3), reports.size()).toHex(' '), reports.toHex(' '));

    QCOMPARE(exchange(routeCommand(0, 0, 0, 0, 0x7F), accepted.size()), accepted);
    QVERIFY(sim->routes().isEmpty());
    QCOMPARE(exchange(SysexFrame::query(3), 0), QByteArray());
}

void RouterSimulatorTest::filterCommandsStoreTheBytes() {
    const QByteArray done = hex("F0 00 21 5E 02 03 00 00 F7");
    QCOMPARE(exchange(filterCommand(3, 1, pattern(20)), done.size()), done);
    QCOMPARE(sim->filter({3, 1}), pattern(20));
    QCOMPARE(sim->filter(patternedPort), pattern(3));
    QCOMPARE(sim->filter({2, 1}), FilterBytes{});

    // Refused commands keep what is stored.
    FilterBytes highByte = pattern(40);
    highByte[0] = 0x90;
    exchange(filterCommand(3, 1, highByte), done.size());
    exchange(filterCommand(0x7F, 4, pattern(40)), done.size());
    QCOMPARE(sim->filter({3, 1}), pattern(20));

    QCOMPARE(exchange(filterCommand(0x7F, 0, pattern(50)), done.size()), done);
    QByteArray reports;
    for (const FilterPort &port : fixtureFilterPorts) {
        QCOMPARE(sim->filter(port), pattern(50));
        reports += filterReport(port.first, port.second, pattern(50));
    }
    QCOMPARE(exchange(SysexFrame::query(5), reports.size()).toHex(' '), reports.toHex(' '));
}

void RouterSimulatorTest::routeLimitPerSource() {
    const QByteArray accepted = hex("F0 00 21 5E 02 01 00 00 F7");
    const QByteArray limit = hex("F0 00 21 5E 02 01 01 03 F7");
    sim->setRouteLimitPerSource(2);
    QCOMPARE(sim->routeLimitPerSource(), 2);
    // USB HOST 1 already routes to USB Device 1.
    QCOMPARE(exchange(routeCommand(1, 1, 0, 1, 0x01), accepted.size()), accepted);
    QCOMPARE(exchange(routeCommand(1, 1, 0, 2, 0x01), limit.size()), limit);
    QCOMPARE(exchange(routeCommand(1, 1, 0, 1, 0x01), accepted.size()), accepted);
    QCOMPARE(exchange(routeCommand(0, 2, 0, 2, 0x01), accepted.size()), accepted);
    QCOMPARE(exchange(routeCommand(1, 1, 2, 1, 0x00), accepted.size()), accepted);
    QCOMPARE(exchange(routeCommand(1, 1, 0, 2, 0x01), accepted.size()), accepted);
    const QList<Route> expected{
        {{0, 1}, {0, 2}}, {{1, 1}, {0, 1}}, {{0, 2}, {0, 2}}, {{1, 1}, {0, 2}}};
    QCOMPARE(sim->routes(), expected);
}

void RouterSimulatorTest::refuseNext_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("refusal");
    QTest::addColumn<QByteArray>("acceptance");
    QTest::newRow("route add") << routeCommand(2, 1, 0, 1, 0x01)
                               << hex("F0 00 21 5E 02 01 01 03 F7")
                               << hex("F0 00 21 5E 02 01 00 00 F7");
    QTest::newRow("route clear") << routeCommand(0, 0, 0, 0, 0x7F)
                                 << hex("F0 00 21 5E 02 01 01 03 F7")
                                 << hex("F0 00 21 5E 02 01 00 00 F7");
    QTest::newRow("configuration")
        << hex("F0 00 21 5E 02 02 00 F7") << hex("F0 00 21 5E 02 02 01 03 F7")
        << hex("F0 00 21 5E 02 02 00 00 F7");
    QTest::newRow("filter") << filterCommand(0x7F, 0, pattern(7))
                            << hex("F0 00 21 5E 02 03 01 03 F7")
                            << hex("F0 00 21 5E 02 03 00 00 F7");
}

void RouterSimulatorTest::refuseNext() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, refusal);
    QFETCH(QByteArray, acceptance);
    sim->refuseNext(1, 3);
    // Queries and frames that get no answer leave the refusal waiting.
    QCOMPARE(exchange(SysexFrame::query(2), 11), hex("F0 00 21 5E 01 02 02 03 01 01 F7"));
    QCOMPARE(exchange(routeCommand(0, 1, 0, 1, 0x05), 0), QByteArray());

    QCOMPARE(exchange(command, refusal.size()).toHex(' '), refusal.toHex(' '));
    QCOMPARE(sim->routes(), fixtureRoutes);
    QCOMPARE(sim->filter({0, 1}), FilterBytes{});

    QCOMPARE(exchange(command, acceptance.size()).toHex(' '), acceptance.toHex(' '));
}

void RouterSimulatorTest::silentRecordsButAnswersNothing() {
    sim->setSilent(true);
    write(SysexFrame::query(2));
    QVERIFY(QTest::qWaitFor([&] { return sim->receivedBytes().size() == 1; }, 3000));
    sim->setSilent(false);
    QCOMPARE(exchange(QByteArray(), 0), QByteArray());
    QCOMPARE(sim->receivedBytes(), (QList<QByteArray>{SysexFrame::query(2), sentinel()}));
}

void RouterSimulatorTest::recordsEveryFrameWithItsTime() {
    QSignalSpy spy(sim.get(), &RouterSimulator::frameReceived);
    const QByteArray first = routeCommand(0, 1, 0, 3, 0x01);
    write(hex("33 F7") + first.left(5));
    QTest::qWait(20);
    QVERIFY(sim->receivedFrames().isEmpty());
    write(first.mid(5));
    QVERIFY(spy.wait(3000));
    QTest::qWait(20);
    write(SysexFrame::query(4));
    QVERIFY(QTest::qWaitFor([&] { return spy.size() == 2; }, 3000));

    const QList<RouterSimulator::ReceivedFrame> frames = sim->receivedFrames();
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].bytes, first);
    QCOMPARE(frames[1].bytes, SysexFrame::query(4));
    QCOMPARE(spy[0][0].toByteArray(), first);
    QCOMPARE(spy[1][0].toByteArray(), SysexFrame::query(4));
    QVERIFY(frames[1].atMs - frames[0].atMs >= 15);

    sim->clearReceived();
    QVERIFY(sim->receivedBytes().isEmpty());
}

void RouterSimulatorTest::randomChunksReassemble() {
    sim->setRandomChunks(true, 7, 5);
    const QByteArray reports = fixtureFilterReports();
    QCOMPARE(exchange(SysexFrame::query(5), reports.size()).toHex(' '), reports.toHex(' '));
    QVERIFY2(reads > 2, qPrintable(QString::number(reads)));
}

void RouterSimulatorTest::noiseLiesBetweenFrames() {
    sim->setNoise(true);
    FiFoBuffer splitter;
    QList<QByteArray> frames;
    connect(&splitter, &FiFoBuffer::currDataFrame, this,
            [&](Feedbacktype, const QByteArray &frame) { frames.append(frame); });
    QList<QByteArray> expected{hex("F0 00 21 5E 01 04 02 03 01 01 01 01 F7")};
    for (const Route &route : fixtureRoutes)
        expected.append(routeReport(route));
    expected.append(hex("F0 00 21 5E 02 02 00 00 F7"));

    write(SysexFrame::query(4) + SysexFrame::query(3) + hex("F0 00 21 5E 02 02 00 F7"));
    QVERIFY(QTest::qWaitFor([&] { return incoming.endsWith(expected.last()); }, 3000));
    splitter.pushBytes(incoming);
    QCOMPARE(frames, expected);

    int at = 0;
    for (const QByteArray &frame : expected) {
        const int start = incoming.indexOf(SYSEX_START, at);
        const QByteArray gap = incoming.mid(at, start - at);
        QVERIFY2(gap.size() >= 1 && gap.size() <= 3, gap.toHex(' ').constData());
        QCOMPARE(incoming.mid(start, frame.size()), frame);
        at = start + frame.size();
    }
    QCOMPARE(at, incoming.size());
}

void RouterSimulatorTest::pacingTakesTheLineTime() {
    constexpr int baud = 9600;
    sim->setPacing(baud);
    const QByteArray reports = fixtureFilterReports();
    QElapsedTimer timer;
    timer.start();
    write(SysexFrame::query(5));
    QVERIFY(QTest::qWaitFor([&] { return incoming.size() >= reports.size(); }, 5000));
    const qint64 lineMs = qint64(reports.size()) * 10 * 1000 / baud;
    QVERIFY2(timer.elapsed() >= lineMs * 7 / 10,
             qPrintable(QStringLiteral("%1 ms for %2 line ms").arg(timer.elapsed()).arg(lineMs)));
    QCOMPARE(incoming, reports);
}

void RouterSimulatorTest::injectSendsRawBytes() {
    const QByteArray raw = hex("12 F0 00 21 5E 01 01 7F 34");
    sim->inject(raw);
    QVERIFY(QTest::qWaitFor([&] { return incoming.size() >= raw.size(); }, 3000));
    QCOMPARE(incoming, raw);
    QVERIFY(sim->receivedFrames().isEmpty());

    // More than the pseudo-terminal holds: the rest waits for room and nothing is lost.
    QByteArray block(64 * 1024, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(i % 0x7F);
    incoming.clear();
    sim->inject(block);
    QVERIFY(QTest::qWaitFor([&] { return incoming.size() >= block.size(); }, 5000));
    QVERIFY(incoming == block);
}

void RouterSimulatorTest::lineIsRawBeforeTheToolOpensIt() {
    port.reset();
    const int fd = ::open(sim->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios modes{};
    QCOMPARE(::tcgetattr(fd, &modes), 0);
    ::close(fd);
    QCOMPARE(modes.c_lflag & (ECHO | ICANON | ISIG), tcflag_t(0));
    QCOMPARE(modes.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(modes.c_iflag & (ICRNL | IXON), tcflag_t(0));
}

void RouterSimulatorTest::reconnectKeepsWorking() {
    const QByteArray counts = hex("F0 00 21 5E 01 02 02 03 01 01 F7");
    QCOMPARE(exchange(SysexFrame::query(2), counts.size()), counts);
    port->close();
    QTest::qWait(20);
    QVERIFY(openPort());
    QCOMPARE(exchange(SysexFrame::query(2), counts.size()), counts);
    port->close();
    QVERIFY(openPort());
    QCOMPARE(exchange(SysexFrame::query(2), counts.size()), counts);
}

void RouterSimulatorTest::hangUpFailsThePort() {
    QSignalSpy errors(port.get(), &QSerialPort::errorOccurred);
    QCOMPARE(port->error(), QSerialPort::NoError);
    sim->hangUp();
    // The hung-up line reads as end of file: the port reports a read error.
    QVERIFY(QTest::qWaitFor([&] { return port->error() != QSerialPort::NoError; }, 3000));
    QVERIFY(!errors.isEmpty());
    port->close();

    // A new start opens a new line that answers again.
    QVERIFY(sim->start());
    port.reset();
    QVERIFY(openPort());
    const QByteArray counts = hex("F0 00 21 5E 01 02 02 03 01 01 F7");
    QCOMPARE(exchange(SysexFrame::query(2), counts.size()), counts);
}

QTEST_GUILESS_MAIN(RouterSimulatorTest)
#include "tst_routersimulator.moc"
