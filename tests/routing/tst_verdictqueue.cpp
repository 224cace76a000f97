// What a verdict means, which command it settles and when a waiting command is overdue,
// without a window.
#include "routing/verdictqueue.h"

#include <QTest>

namespace {

using Outcome = VerdictQueue::Outcome;

const RouteCommand::Command addA = RouteCommand::add({0, 1}, {0, 2});
const RouteCommand::Command deleteB = RouteCommand::remove({1, 2}, {2, 1});

} // namespace

class TestVerdictQueue : public QObject {
    Q_OBJECT

private slots:
    void outcomes();
    void settlesTheOldestAndTimesIt();
};

// Result 0 with reason 0 accepts, both nonzero refuse, and the router means nothing by the
// mixed pairs.
void TestVerdictQueue::outcomes() {
    QCOMPARE(VerdictQueue::outcomeOf(0, 0), Outcome::Accepted);
    QCOMPARE(VerdictQueue::outcomeOf(0x7F, 5), Outcome::Refused);
    QCOMPARE(VerdictQueue::outcomeOf(0, 1), Outcome::Unclear);
    QCOMPARE(VerdictQueue::outcomeOf(1, 0), Outcome::Unclear);
}

// The oldest command sets the time and takes the first verdict; then the next one does. A
// verdict with nothing waiting settles nothing.
void TestVerdictQueue::settlesTheOldestAndTimesIt() {
    VerdictQueue queue;
    QVERIFY(!queue.msUntilOverdue(0));
    queue.push(addA, 100);
    queue.push(deleteB, 2000);
    QCOMPARE(queue.msUntilOverdue(3099), std::optional<qint64>(1));
    QCOMPARE(queue.msUntilOverdue(9000), std::optional<qint64>(0));
    const VerdictQueue::Settlement settled = queue.settle(0x7F, 5);
    QVERIFY(settled.command == addA);
    QCOMPARE(settled.outcome, Outcome::Refused);
    QCOMPARE(settled.reason, 5);
    QCOMPARE(queue.msUntilOverdue(3100), std::optional<qint64>(1900));
    QVERIFY(queue.settle(0, 0).command == deleteB);
    QVERIFY(!queue.settle(0, 0).command && queue.isEmpty());
}

QTEST_APPLESS_MAIN(TestVerdictQueue)
#include "tst_verdictqueue.moc"
