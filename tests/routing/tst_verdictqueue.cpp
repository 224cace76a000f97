// What a verdict means and when a waiting command is overdue, without a window; which command
// a verdict settles is tst_verdicts' part, through the window.
#include "routing/verdictqueue.h"

#include <QTest>

namespace {

using RouteCommand::Command;
using Outcome = VerdictQueue::Outcome;

const Command addA = RouteCommand::add({0, 1}, {0, 2});
const Command deleteB = RouteCommand::remove({1, 2}, {2, 1});

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestVerdictQueue : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void overdueCountsFromTheOldest();
};

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
