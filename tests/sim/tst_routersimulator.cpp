#include "link/sysexframe.h"
#include "sim/routersimulator.h"

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
};

void TestRouterSimulator::init() {
    sim = std::make_unique<RouterSimulator>();
    sim->setMode(2);
    sim->setPortCounts({2, 1, 1, 1});
    sim->setRoutes({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}});
    QVERIFY(sim->start());
    port = std::make_unique<QSerialPort>(sim->slavePath());
    connect(port.get(), &QSerialPort::readyRead, this, [this] { incoming += port->readAll(); });
    QVERIFY(port->open(QIODevice::ReadWrite));
}

QByteArray TestRouterSimulator::exchange(const QByteArray &request) {
    incoming.clear();
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
        << query(2) + query(3) + query(4)
        << portCounts +
               hex("F0 00 21 5E 01 03 00 01 00 02 01 F7 F0 00 21 5E 01 03 01 01 02 01 01 F7"
                   "F0 00 21 5E 01 04 02 01 01 01 01 01 F7");
    // Added; MIDI IN 3 does not exist; no such route; deleted; then all cleared.
    QTest::newRow("route commands")
        << route(1, 0, 2, 1, 1) + route(1, 0, 3, 0, 1) + route(0, 1, 1, 0, 1) +
               route(0, 0, 1, 0, 2) + query(3) + route(0x7F, 0, 0, 0, 0) + query(3)
        << hex("F0 00 21 5E 02 01 00 00 F7 F0 00 21 5E 02 01 01 02 F7 F0 00 21 5E 02 01 01 02 F7"
               "F0 00 21 5E 02 01 00 00 F7"
               "F0 00 21 5E 01 03 01 01 02 01 01 F7 F0 00 21 5E 01 03 00 02 01 01 01 F7"
               "F0 00 21 5E 02 01 00 00 F7");
}

void TestRouterSimulator::replies() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QCOMPARE(exchange(request).toHex(' '), reply.toHex(' '));
}

// The knobs the window's tests use. A dropped verdict's command is still carried out; held
// replies wait, in order, until they are let go.
void TestRouterSimulator::faultKnobs() {
    sim->dropNextVerdict();
    QCOMPARE(exchange(route(1, 0, 2, 0, 1)), QByteArray());
    QCOMPARE(sim->routes().size(), 3);

    sim->holdReplies(true);
    incoming.clear();
    const int received = sim->receivedBytes().size();
    port->write(route(0, 0, 2, 0, 1) + query(1));
    QVERIFY(QTest::qWaitFor([&] { return sim->receivedBytes().size() == received + 2; }, 3000));
    QTest::qWait(20);
    QCOMPARE(incoming, QByteArray());
    sim->holdReplies(false);
    QVERIFY(QTest::qWaitFor([&] { return incoming.endsWith(modeReply); }, 3000));
    QCOMPARE(incoming, hex("F0 00 21 5E 02 01 00 00 F7") + modeReply);
}

QTEST_GUILESS_MAIN(TestRouterSimulator)
#include "tst_routersimulator.moc"
