#include "routing/verdictqueue.h"

#include <QTest>

namespace {

using RouteCommand::Command;
using Outcome = VerdictQueue::Outcome;

const Command addA = RouteCommand::add({0, 1}, {0, 2});
const Command deleteB = RouteCommand::remove({1, 2}, {2, 1});
const Command clear = RouteCommand::clearAll();

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestVerdictQueue : public QObject {
    Q_OBJECT

private slots:
    void commandFrames();
    void outcomes_data();
    void outcomes();
    void settlesOldestFirst();
    void overdueCountsFromTheOldest();
};

void TestVerdictQueue::commandFrames() {
    QCOMPARE(RouteCommand::frame(RouteCommand::add({1, 2}, {2, 1})),
             QByteArray::fromHex("F0 00 21 5E 02 01 01 02 02 01 01 F7"));
    QCOMPARE(RouteCommand::frame(deleteB),
             QByteArray::fromHex("F0 00 21 5E 02 01 01 02 02 01 00 F7"));
    QCOMPARE(RouteCommand::frame(clear),
             QByteArray::fromHex("F0 00 21 5E 02 01 00 00 00 00 7F F7"));
}

void TestVerdictQueue::outcomes_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("reason");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("00 00") << 0 << 0 << Outcome::Accepted;
    QTest::newRow("01 01") << 1 << 1 << Outcome::Refused;
    QTest::newRow("7F 05") << 0x7F << 5 << Outcome::Refused;
    QTest::newRow("negative") << -1 << -123 << Outcome::Refused;
    QTest::newRow("00 01") << 0 << 1 << Outcome::Unclear;
    QTest::newRow("01 00") << 1 << 0 << Outcome::Unclear;
}

void TestVerdictQueue::outcomes() {
    QFETCH(int, result);
    QFETCH(int, reason);
    QFETCH(Outcome, outcome);
    VerdictQueue queue;
    queue.push(addA, 0);
    const VerdictQueue::Settlement settled = queue.settle(result, reason);
    QCOMPARE(settled.outcome, outcome);
    QCOMPARE(settled.reason, reason);
    QVERIFY(settled.command == addA);
    QVERIFY(queue.isEmpty());
}

void TestVerdictQueue::settlesOldestFirst() {
    VerdictQueue queue;
    queue.push(addA, 10);
    queue.push(deleteB, 20);
    queue.push(clear, 30);
    QVERIFY(queue.isWaiting(deleteB));
    QVERIFY(!queue.isWaiting(RouteCommand::remove({0, 1}, {0, 2})));
    QCOMPARE(queue.waiting(), QList<Command>({addA, deleteB, clear}));

    QVERIFY(queue.settle(0, 0).command == addA);
    QVERIFY(queue.settle(1, 3).command == deleteB);
    QVERIFY(!queue.isWaiting(deleteB));
    QVERIFY(queue.settle(0, 0).command == clear);

    // A verdict with nothing waiting settles nothing, and still says what it means.
    const VerdictQueue::Settlement stray = queue.settle(1, 2);
    QVERIFY(!stray.command);
    QCOMPARE(stray.outcome, Outcome::Refused);

    queue.push(addA, 40);
    queue.clear();
    QVERIFY(queue.isEmpty() && !queue.settle(0, 0).command);
}

void TestVerdictQueue::overdueCountsFromTheOldest() {
    VerdictQueue queue;
    QVERIFY(!queue.msUntilOverdue(0));
    queue.push(addA, 100);
    queue.push(deleteB, 2000);
    QCOMPARE(queue.msUntilOverdue(100), std::optional<qint64>(3000));
    QCOMPARE(queue.msUntilOverdue(3099), std::optional<qint64>(1));
    QCOMPARE(queue.msUntilOverdue(3100), std::optional<qint64>(0));
    QCOMPARE(queue.msUntilOverdue(9000), std::optional<qint64>(0));
    queue.settle(0, 0);
    QCOMPARE(queue.msUntilOverdue(3100), std::optional<qint64>(1900));
}

QTEST_APPLESS_MAIN(TestVerdictQueue)
#include "tst_verdictqueue.moc"
