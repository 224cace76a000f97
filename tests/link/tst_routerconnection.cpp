// The router connection without a window, talking to the simulated router through a real
// pseudo-terminal: the start-up queries and what they read, the verdicts of commands waiting
// together, the re-read when one is overdue or cannot be placed, paced lists and what stops
// them, and which port errors mean that the router is gone. Frames written out by hand.
#include "link/routerconnection.h"
#include "sim/routersimulator.h"
#include "tests/support/pacing.h"
#include "tests/support/wire.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using Frames = QList<QByteArray>;
using Route = RouterSimulator::Route;
using ListEnd = RouterConnection::ListEnd;
using Wire::addRoute;
using Wire::ClearRoutes;

const Frames Queries = {Wire::frame("010301"), Wire::frame("010302"), Wire::frame("010303"),
                        Wire::frame("010304"), Wire::frame("010305")};
const QByteArray ReadRoutes = Wire::frame("010303");

QByteArray deleteRoute(const QByteArray &portsHex) {
    return Wire::frame("0201" + portsHex + "00");
}

// A connection to a fresh simulated router, read to its end, with what it told recorded.
struct Bench {
    Bench() {
        if (!sim.start())
            qFatal("router simulator did not start");
        QObject::connect(&link, &RouterConnection::routeSettled, [this](const auto &verdict) {
            settled << (verdict.command ? int(verdict.outcome) : -1);
        });
        QObject::connect(&link, &RouterConnection::listEnded,
                         [this](const RouterConnection::ListResult &result) { ended << result; });
        QObject::connect(&link, &RouterConnection::lost,
                         [this](const QString &why) { lost = why; });
    }
    bool read() {
        QSignalSpy chain(&link, &RouterConnection::chainEnded);
        link.readState();
        return chain.wait(3000);
    }
    bool open() {
        if (!link.open(sim.slavePath()) || !read())
            return false;
        sim.clearReceived();
        return true;
    }
    QList<Route> table() const {
        QList<Route> routes;
        for (auto it = link.state().routes.cbegin(); it != link.state().routes.cend(); ++it)
            routes << Route(it.key(), it.value());
        std::sort(routes.begin(), routes.end());
        return routes;
    }
    QList<Route> held() const {
        QList<Route> routes = sim.routes();
        std::sort(routes.begin(), routes.end());
        return routes;
    }

    RouterSimulator sim;
    RouterConnection link;
    QList<int> settled; // each route verdict's outcome; -1 when it settled no command
    QList<RouterConnection::ListResult> ended;
    QString lost;
};

const Route a{{0, 1}, {0, 1}};
const Route b{{0, 2}, {1, 1}};
const Route c{{1, 1}, {2, 1}};

} // namespace

class TestRouterConnection : public QObject {
    Q_OBJECT

private slots:
    void queriesReadTheRouter();
    void verdictsSettleWhatWaits_data();
    void verdictsSettleWhatWaits();
    void overdueOrStrayVerdictsReadTheRoutesAgain();
    void pacedLists_data();
    void pacedLists();
    void portErrorsMeanGone_data();
    void portErrorsMeanGone();
};

// The five queries, query 4 no sooner than 15 ms after query 3 has left; the state read is
// the router's, one filter record a port of a known kind; filter ports are counted once.
void TestRouterConnection::queriesReadTheRouter() {
    Bench bench;
    bench.sim.setPortCounts({2, 3, 1, 1});
    bench.sim.setRoutes({a, b, c, {{0, 3}, {0, 1}}}); // MIDI IN 3 is no port of the router
    bench.sim.setFilter({1, 3}, Wire::filterBytes({{24, 0x40}}));
    QVERIFY(bench.link.open(bench.sim.slavePath()) && bench.read());
    QCOMPARE(bench.sim.receivedBytes(), Queries);
    const QString gap = unpaced(bench.sim.receivedFrames(), 2, 3);
    QVERIFY2(gap.isEmpty(), qPrintable(gap));
    const RouterState &state = bench.link.state();
    QCOMPARE(state.ports.midiOut, 3);
    QCOMPARE(bench.table(), (QList<Route>{a, b, c}));
    QCOMPARE(state.filters.size(), 2 + 3 + 4 * 1);
    QCOMPARE(state.filters.value({1, 3}), Wire::filterBytes({{24, 0x40}}));

    bench.sim.clearReceived();
    bench.sim.inject(Wire::filterFrame("0105", "0601", "7F") + Wire::frame("0104 020301010101"));
    QTest::qWait(100);
    QCOMPARE(state.filters.size(), 9);
    QVERIFY(!state.filters.contains({6, 1}) && bench.sim.receivedBytes().isEmpty());
}

// Commands sent while the router holds its replies, "!" before one making the router refuse
// it: each verdict settles its own command, and the table ends as the router's.
void TestRouterConnection::verdictsSettleWhatWaits_data() {
    QTest::addColumn<QString>("script"); // +x add, -x delete, * clear
    QTest::addColumn<QList<int>>("outcomes");
    const int yes = int(VerdictQueue::Outcome::Accepted);
    const int no = int(VerdictQueue::Outcome::Refused);
    QTest::newRow("add, refused add, delete") << "+a !+b -c" << QList<int>{yes, no, yes};
    QTest::newRow("refused delete, clear") << "!-c *" << QList<int>{no, yes};
    QTest::newRow("add, clear, add") << "+a * +b" << QList<int>{yes, yes, yes};
    QTest::newRow("add, refused clear, add") << "+a !* +b" << QList<int>{yes, no, yes};
    QTest::newRow("delete of an add waiting") << "-c +a -a" << QList<int>{yes, yes, yes};
}

void TestRouterConnection::verdictsSettleWhatWaits() {
    QFETCH(QString, script);
    QFETCH(QList<int>, outcomes);
    Bench bench;
    bench.sim.setRoutes({c});
    QVERIFY(bench.open());
    bench.sim.holdReplies(true);
    const QMap<QChar, Route> routes = {{'a', a}, {'b', b}, {'c', c}};
    int sent = 0;
    for (QString step : script.split(' ')) {
        if (step.startsWith('!')) {
            QTRY_COMPARE(bench.sim.receivedBytes().size(), sent); // before the next command
            bench.sim.refuseNext(1, 1);
            step.remove(0, 1);
        }
        const Route route = routes.value(step.back());
        const RouteCommand::Command command =
            step[0] == '+'   ? RouteCommand::add(route.first, route.second)
            : step[0] == '-' ? RouteCommand::remove(route.first, route.second)
                             : RouteCommand::clearAll();
        QVERIFY(bench.link.sendRoute(command));
        ++sent;
    }
    QCOMPARE(bench.link.waitingCount(), sent);
    bench.sim.holdReplies(false);
    QTRY_COMPARE(bench.settled, outcomes);
    QCOMPARE(bench.table(), bench.held());
}

// A delete whose verdict comes late: 3 s after it the routes are read again, query 3 alone.
// Its verdict then arrives while the routes are being read, before that of an add written
// since: neither can say which command it answers, so both settle nothing, and once the
// reports have ended the routes are read once more. A verdict with nothing waiting does the
// same. The table ends as the router's.
void TestRouterConnection::overdueOrStrayVerdictsReadTheRoutesAgain() {
    Bench bench;
    bench.sim.setRoutes({a, b});
    QVERIFY(bench.open());
    bench.sim.holdReplies(true);
    QVERIFY(bench.link.sendRoute(RouteCommand::remove(a.first, a.second)));
    QTRY_COMPARE_WITH_TIMEOUT(bench.sim.receivedBytes().size(), 2, 5000);
    const QList<RouterSimulator::ReceivedFrame> frames = bench.sim.receivedFrames();
    QVERIFY(frames.at(1).atMs - frames.at(0).atMs >= 2990);
    QVERIFY(bench.link.sendRoute(RouteCommand::add(c.first, c.second)));
    bench.sim.holdReplies(false);
    QTRY_COMPARE(bench.sim.receivedBytes(),
                 (Frames{deleteRoute("00010001"), ReadRoutes, addRoute("01010201"), ReadRoutes}));
    QCOMPARE(bench.settled, (QList<int>{-1, -1}));
    QTRY_COMPARE(bench.table(), (QList<Route>{b, c}));

    bench.sim.clearReceived();
    bench.sim.inject(Wire::frame("0201 0000"));
    QTRY_COMPARE(bench.sim.receivedBytes(), Frames{ReadRoutes});
    QCOMPARE(bench.settled, (QList<int>{-1, -1, -1}));
}

// Forty adds after a clear, 15 ms apart on the line, and what ends the list: the count it
// gives is the count the router received. "wait" holds a verdict that is due when the list is
// asked for: nothing goes out until it has come.
void TestRouterConnection::pacedLists_data() {
    QTest::addColumn<QString>("stop"); // what happens once the router has `after` commands
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("end");
    QTest::newRow("to the end") << "" << 0 << int(ListEnd::Done);
    QTest::newRow("Cancel") << "cancel" << 12 << int(ListEnd::Cancelled);
    QTest::newRow("hang-up") << "hang up" << 12 << int(ListEnd::Lost);
    QTest::newRow("refused clear") << "refuse" << 0 << int(ListEnd::ClearRefused);
    QTest::newRow("a verdict due first") << "wait" << 0 << int(ListEnd::Done);
}

void TestRouterConnection::pacedLists() {
    QFETCH(QString, stop);
    QFETCH(int, after);
    QFETCH(int, end);
    Bench bench;
    bench.sim.setPortCounts({5, 8, 0, 0});
    bench.sim.setRoutes({{{0, 5}, {0, 8}}});
    QVERIFY(bench.open());
    QList<RouterConnection::Command> list{RouteCommand::clearAll()};
    for (int in = 1; in <= 5; ++in)
        for (int out = 1; out <= 8; ++out)
            list << RouteCommand::add({0, in}, {0, out});
    QObject::connect(&bench.sim, &RouterSimulator::frameReceived, &bench.sim, [&] {
        if (bench.sim.receivedBytes().size() != after + 1)
            return;
        if (stop == "cancel")
            bench.link.cancelList();
        else if (stop == "hang up")
            bench.sim.hangUp();
    });
    if (stop == "refuse")
        bench.sim.refuseNext(1, 1);
    if (stop == "wait") {
        bench.sim.holdReplies(true);
        QVERIFY(bench.link.sendRoute(RouteCommand::add({0, 1}, {0, 1})));
    }
    QCOMPARE(bench.link.startList(list), 41);
    if (stop == "wait") {
        QTest::qWait(100);
        QCOMPARE(bench.sim.receivedBytes().size(), 1);
        bench.sim.holdReplies(false);
    }
    QTRY_COMPARE_WITH_TIMEOUT(bench.ended.size(), 1, 5000);
    const RouterConnection::ListResult result = bench.ended.first();
    QCOMPARE(int(result.end), end);
    QCOMPARE(result.total, 41);
    QTest::qWait(50);
    const int extra = stop == "wait";
    const int received = bench.sim.receivedBytes().size() - extra;
    // A hang-up may cut off the last command written before it.
    QVERIFY(received == result.sent || (stop == "hang up" && received == result.sent - 1));
    if (stop != "hang up")
        QCOMPARE(result.sent, stop == "cancel" ? after + 1 : stop == "refuse" ? 1 : 41);
    QCOMPARE(bench.sim.receivedBytes().at(extra), ClearRoutes);
    const QString gaps = unpaced(bench.sim.receivedFrames(), extra + 1, extra + received - 1);
    QVERIFY2(received < 3 || gaps.isEmpty(), qPrintable(gaps));
    QCOMPARE(bench.link.isOpen(), stop != "hang up");
}

void TestRouterConnection::portErrorsMeanGone_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("gone");
    QTest::newRow("resource") << int(QSerialPort::ResourceError) << true;
    QTest::newRow("read") << int(QSerialPort::ReadError) << true;
    QTest::newRow("write") << int(QSerialPort::WriteError) << true;
    QTest::newRow("timeout") << int(QSerialPort::TimeoutError) << false;
    QTest::newRow("unsupported") << int(QSerialPort::UnsupportedOperationError) << false;
}

// Errors that mean the device went away close the port, end the running list and say so;
// others leave the connection as it was.
void TestRouterConnection::portErrorsMeanGone() {
    QFETCH(int, error);
    QFETCH(bool, gone);
    Bench bench;
    QVERIFY(bench.open());
    bench.sim.holdReplies(true);
    QCOMPARE(bench.link.startList({RouteCommand::clearAll()}), 1);
    emit bench.link.findChild<QSerialPort *>()->errorOccurred(QSerialPort::SerialPortError(error));
    QCOMPARE(bench.link.isOpen(), !gone);
    QCOMPARE(bench.lost.startsWith("the router went away ("), gone);
    QCOMPARE(bench.ended.size(), int(gone));
    QCOMPARE(bench.link.state().filters.isEmpty(), gone);
}

QTEST_GUILESS_MAIN(TestRouterConnection)
#include "tst_routerconnection.moc"
