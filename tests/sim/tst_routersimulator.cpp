#include "link/sysexframe.h"
#include "sim/routersimulator.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>
#include <memory>

namespace {

using SysexFrame::query;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

QByteArray route(int op, int srcClass, int srcNumber, int dstClass, int dstNumber) {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeRoute,
                             {srcClass, srcNumber, dstClass, dstNumber, op});
}

// A set-filter command (class 2) or a filter report (class 1), every filter byte = fill.
QByteArray filterFrame(int messageClass, int code, int number, int fill) {
    const QByteArray payload =
        QByteArray(1, char(code)) + char(number) + QByteArray(25, char(fill));
    return SysexFrame::build(messageClass, messageClass == 1 ? 5 : 3, payload + QByteArray(2, 0));
}

// The fixture router's filter reports: MIDI IN 1 and 2, then one port of every other code.
QByteArray filterReports(int fill) {
    QByteArray reports = filterFrame(1, 0, 1, fill);
    for (int code = 0; code < 6; ++code)
        reports += filterFrame(1, code, code == 0 ? 2 : 1, fill);
    return reports;
}

const QByteArray modeReply = hex("F0 00 21 5E 01 01 02 F7");
const QByteArray portCounts = hex("F0 00 21 5E 01 02 02 01 01 01 F7");

} // namespace

class TestRouterSimulator : public QObject {
    Q_OBJECT

private slots:
    void init();
    void replies_data();
    void replies();
    void faultKnobs();

private:
    // Sends request and a mode query after it; returns what came back before the mode report.
    QByteArray exchange(const QByteArray &request);

    std::unique_ptr<RouterSimulator> sim;
    std::unique_ptr<QSerialPort> port;
    QByteArray incoming;
    int reads = 0;
};

void TestRouterSimulator::init() {
    sim = std::make_unique<RouterSimulator>();
    sim->setMode(2);
    sim->setPortCounts({2, 1, 1, 1});
    sim->setRoutes({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}});
    QVERIFY(sim->start());
    port = std::make_unique<QSerialPort>(sim->slavePath());
    connect(port.get(), &QSerialPort::readyRead, this, [this] {
        incoming += port->readAll();
        ++reads;
    });
    QVERIFY(port->open(QIODevice::ReadWrite));
}

QByteArray TestRouterSimulator::exchange(const QByteArray &request) {
    incoming.clear();
    reads = 0;
    port->write(request + query(1));
    if (!QTest::qWaitFor([&] { return incoming.endsWith(modeReply); }, 3000))
        return "no mode report after " + incoming.toHex(' ');
    return incoming.chopped(modeReply.size());
}

// Replies leave in the order the requests came, so one row may hold several exchanges.
void TestRouterSimulator::replies_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("start-up queries")
        << query(1) + query(2) + query(3) + query(4) + query(5)
        << modeReply + portCounts +
               hex("F0 00 21 5E 01 03 00 01 00 02 01 F7 F0 00 21 5E 01 03 01 01 02 01 01 F7"
                   "F0 00 21 5E 01 04 02 01 01 01 01 01 F7") +
               filterReports(0);
    // Added; MIDI IN 3 and class 3 do not exist; no such route; deleted; then all cleared.
    QTest::newRow("route commands")
        << route(1, 0, 2, 1, 1) + route(1, 0, 3, 0, 1) + route(1, 3, 1, 0, 1) +
               route(0, 1, 1, 0, 1) + route(0, 0, 1, 0, 2) + query(3) + route(0x7F, 0, 0, 0, 0) +
               query(3)
        << hex("F0 00 21 5E 02 01 00 00 F7 F0 00 21 5E 02 01 01 02 F7 F0 00 21 5E 02 01 01 01 F7"
               "F0 00 21 5E 02 01 01 02 F7 F0 00 21 5E 02 01 00 00 F7"
               "F0 00 21 5E 01 03 01 01 02 01 01 F7 F0 00 21 5E 01 03 00 02 01 01 01 F7"
               "F0 00 21 5E 02 01 00 00 F7");
    // The configuration command; filter code 6, port 0 and a byte of 80 are refused; all ports
    // at once is carried out.
    QTest::newRow("configuration and filter commands")
        << hex("F0 00 21 5E 02 02 00 F7") + filterFrame(2, 6, 1, 0) + filterFrame(2, 0, 0, 0) +
               filterFrame(2, 1, 1, 0x80) + filterFrame(2, 0x7F, 0, 0x15) + query(5)
        << hex("F0 00 21 5E 02 02 00 00 F7 F0 00 21 5E 02 03 01 02 F7 F0 00 21 5E 02 03 01 01 F7"
               "F0 00 21 5E 02 03 01 03 F7 F0 00 21 5E 02 03 00 00 F7") +
               filterReports(0x15);
    QTest::newRow("unanswered") << query(6) + route(2, 0, 1, 0, 1) + hex("F0 00 21 5E 03 01 00 F7")
                                << QByteArray();
}

void TestRouterSimulator::replies() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QCOMPARE(exchange(request).toHex(' '), reply.toHex(' '));
}

void TestRouterSimulator::faultKnobs() {
    // The reply comes in pieces, with 1 to 3 noise bytes (never F0) before every frame.
    sim->setRandomChunks(true, 7, 5);
    sim->setNoise(true);
    const QByteArray noisy = exchange(query(2));
    const int before = noisy.indexOf(portCounts);
    const int after = noisy.size() - before - portCounts.size();
    QVERIFY2(before >= 1 && before <= 3 && after >= 1 && after <= 3, noisy.toHex(' ').data());
    QCOMPARE(noisy.count(SYSEX_START), 1);
    QVERIFY(reads > 2);
    sim->setNoise(false);

    // Queries and frames without an answer leave the refusal waiting for a set command.
    sim->refuseNext(1, 3);
    QCOMPARE(exchange(query(2) + route(2, 0, 1, 0, 1)), portCounts);
    QCOMPARE(exchange(route(1, 0, 2, 0, 1)), hex("F0 00 21 5E 02 01 01 03 F7"));
    QCOMPARE(sim->routes().size(), 2);
    QCOMPARE(exchange(route(1, 0, 2, 0, 1)), hex("F0 00 21 5E 02 01 00 00 F7"));

    // A dropped verdict: the command is carried out, unanswered.
    sim->dropNextVerdict();
    QCOMPARE(exchange(route(0, 0, 2, 0, 1)), QByteArray());
    QCOMPARE(sim->routes().size(), 2);

    // Held replies wait, in order, until they are let go.
    sim->holdReplies(true);
    incoming.clear();
    const int received = sim->receivedBytes().size();
    port->write(route(1, 0, 2, 0, 1) + query(1));
    QVERIFY(QTest::qWaitFor([&] { return sim->receivedBytes().size() == received + 2; }, 3000));
    QTest::qWait(20);
    QCOMPARE(incoming, QByteArray());
    sim->holdReplies(false);
    QVERIFY(QTest::qWaitFor([&] { return incoming.endsWith(modeReply); }, 3000));
    QCOMPARE(incoming, hex("F0 00 21 5E 02 01 00 00 F7") + modeReply);

    // 10 bits a byte.
    sim->setPacing(1200);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(exchange(query(2)), portCounts);
    QVERIFY(timer.elapsed() >= (portCounts.size() + modeReply.size()) * 10 * 1000 / 1200 * 9 / 10);

    sim->hangUp();
    QVERIFY(QTest::qWaitFor([&] { return port->error() != QSerialPort::NoError; }, 3000));
}

QTEST_GUILESS_MAIN(TestRouterSimulator)
#include "tst_routersimulator.moc"
