// Seeded random walks of what a user does on the routing page (adds, right clicks, Delete,
// undo and redo, "Disconnect All", imports and their Cancel, reconnects) against a router that
// refuses, answers late, in bursts or not at all, and hangs up. However they interleave, once
// everything has settled the lines are the router's route table. A walk that ends otherwise
// prints its seed, its steps and how many routes the router and the window ended with.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/routingfixture.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <random>

namespace {

using namespace RoutePicture;

constexpr int Walks = 8;
constexpr int Steps = 30;

class Walk : public RoutingFixture {
public:
    explicit Walk(quint32 seed)
        : random(seed) {}

    void step();
    // Lets go of the router's replies and waits for the picture to settle.
    bool settled();
    QString trace();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    template <typename T> T *any(const QList<T *> &list) {
        return list.isEmpty() ? nullptr : list.at(pick(list.size()));
    }
    void act(const QString &step, const std::function<void()> &action) {
        steps << step;
        action();
    }
    void clickAt(Qt::MouseButton button, const MyLine *line) {
        QTest::mouseClick(view()->viewport(), button, {},
                          view()->mapFromScene(line->line().center()));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void importRoutes();
    void reconnect();

    std::mt19937 random;
    QStringList steps;
    QTemporaryDir dir;
    bool dropped = false; // one lost verdict a walk: each costs the 3 s the window waits
    bool hungUp = false;
};

void Walk::step() {
    if (!bench.link().isOpen())
        reconnect();
    RouterSimulator &sim = bench.sim;
    QPushButton *from = any(bench.routing().inputButtons());
    QPushButton *to = any(bench.routing().outputButtons());
    MyLine *line = any(routeLines(bench).values());
    switch (pick(14)) {
    case 0:
    case 1:
        if (from && to)
            act("add " + from->text() + ">" + to->text(), [&] {
                click(from);
                click(to);
            });
        break;
    case 2:
        if (line)
            act("right-click, Remove route", [&] {
                clickAt(Qt::RightButton, line);
                pickFromMenu("Remove route");
            });
        break;
    case 3:
        if (line)
            act("select, Delete", [&] {
                clickAt(Qt::LeftButton, line);
                key(Qt::Key_Delete);
            });
        break;
    case 4:
        act("undo", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        break;
    case 5:
        act("redo", [&] { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); });
        break;
    case 6:
        act("Disconnect All", [&] {
            bench.answerer.pressButton(pick(2) ? "Yes" : "NO");
            click(bench.find<QPushButton>("pushButton_5"));
        });
        break;
    case 7:
        importRoutes();
        break;
    case 8:
        act("router refuses next", [&] { sim.refuseNext(1, 1 + pick(3)); });
        break;
    case 9:
        act("router holds replies", [&] { sim.holdReplies(true); });
        break;
    case 10:
        act("router lets replies go", [&] { sim.holdReplies(false); });
        break;
    case 11:
        if (!std::exchange(dropped, true))
            act("router loses next verdict", [&] { sim.dropNextVerdict(); });
        break;
    case 12:
        act("router hangs up", [&] {
            sim.hangUp();
            hungUp = true;
        });
        break;
    default:
        act("reconnect", [&] { click(bench.find<QPushButton>("pushButton")); });
    }
    QTest::qWait(pick(30));
}

// A file of up to 30 routes between the router's ports, opened on the routing page; now and
// then cancelled a moment later.
void Walk::importRoutes() {
    QJsonObject file;
    const int routes = pick(30);
    for (int i = 0; i < routes; ++i) {
        const QString source = QString("MIDI IN %1").arg(1 + pick(2));
        QJsonArray destinations = file.value(source).toArray();
        destinations << QString("MIDI OUT %1").arg(1 + pick(2)) << "USB Device 1";
        file.insert(source, destinations);
    }
    const QString path = dir.filePath(QString("%1.ini").arg(steps.size()));
    QVERIFY(writeFile(path, QJsonDocument(file).toJson()));
    const bool cancel = pick(2);
    steps << QString("import %1 routes%2").arg(routes).arg(cancel ? ", Cancel" : "");
    bench.answerer.chooseFile(path);
    click(bench.find<QPushButton>("pushButton_4"));
    if (cancel) {
        QTest::qWait(pick(60));
        bench.find<QPushButton>("pushButton_cancelImport")->click();
    }
}

// Keys reach the window only while no box is open over it.
void Walk::key(int key, Qt::KeyboardModifiers modifiers) {
    if (!QApplication::activeModalWidget())
        bench.pressKey(key, modifiers, 200);
}

// The router plugged in again is found on its new port and connected.
void Walk::reconnect() {
    bench.sim.holdReplies(false);
    if (std::exchange(hungUp, false)) {
        QVERIFY(bench.sim.start());
        bench.inventory.ports = {{bench.sim.slavePath(), 0x1209, 0x7A01}};
        emit bench.monitor.devicesChanged();
    }
    QVERIFY(bench.connectAndWait());
}

bool Walk::settled() {
    bench.sim.holdReplies(false);
    if (!bench.link().isOpen())
        reconnect();
    return QTest::qWaitFor([&] { return !QApplication::activeModalWidget() && agree(0); }, 8000);
}

QString Walk::trace() {
    return steps.join(", ") + QString("\nrouter: %1 routes, window: %2")
                                  .arg(bench.sim.routes().size())
                                  .arg(tableRoutes(bench).size());
}

} // namespace

class TestRandomWalk : public QObject {
    Q_OBJECT

private slots:
    void linesEndAsTheRoutersTable_data();
    void linesEndAsTheRoutersTable();
};

void TestRandomWalk::linesEndAsTheRoutersTable_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= Walks; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestRandomWalk::linesEndAsTheRoutersTable() {
    QFETCH(quint32, seed);
    Walk walk(seed);
    QVERIFY(walk.connect({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}}));
    for (int i = 0; i < Steps; ++i)
        walk.step();
    QVERIFY2(walk.settled(), qPrintable(QString("seed %1: %2").arg(seed).arg(walk.trace())));
}

QTEST_MAIN(TestRandomWalk)
#include "tst_randomwalk.moc"
