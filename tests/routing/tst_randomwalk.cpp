// Seeded random walks of what a user does on the routing page (adds, right clicks, Delete,
// undo and redo, "Disconnect All", imports and their Cancel, reconnects) against a router that
// refuses, answers late, in bursts or not at all, and hangs up. However they interleave, once
// everything has settled the lines are the router's route table. A walk that ends otherwise
// prints its seed and its steps.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/routingfixture.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <random>

namespace {

using namespace RoutePicture;

constexpr int Walks = 8;
constexpr int Steps = 30;

class Walk {
public:
    explicit Walk(quint32 seed)
        : random(seed) {}

    bool start() { return f.connect({{{0, 1}, {0, 2}}, {{1, 1}, {2, 1}}}); }
    void step();
    // Lets go of the router's replies and waits for the picture to settle.
    bool settled();
    // The steps, and the routes of the router and of the window as they ended.
    QString trace();

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    template <typename T> T *any(const QList<T *> &list) {
        return list.isEmpty() ? nullptr : list.at(pick(list.size()));
    }
    void userStep();
    void routerStep();
    void importRoutes();
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void reconnect();

    RoutingFixture f;
    std::mt19937 random;
    QStringList steps;
    QTemporaryDir dir;
    bool dropped = false; // one lost verdict a walk: each costs the 3 s the window waits
    bool hungUp = false;
};

void Walk::step() {
    if (!f.bench.link().isOpen())
        reconnect();
    if (pick(3) == 0)
        routerStep();
    else
        userStep();
    QTest::qWait(pick(30));
}

void Walk::userStep() {
    RoutingView &routing = f.bench.routing();
    const QList<MyLine *> lines = routeLines(f.bench).values();
    switch (pick(8)) {
    case 0:
    case 1: {
        QPushButton *from = any(routing.inputButtons());
        QPushButton *to = any(routing.outputButtons());
        if (!from || !to)
            break;
        steps << "add " + from->text() + ">" + to->text();
        f.click(from);
        f.click(to);
        break;
    }
    case 2:
        if (MyLine *line = any(lines)) {
            steps << "right-click";
            QTest::mouseClick(f.view()->viewport(), Qt::RightButton, {},
                              f.view()->mapFromScene(line->line().center()));
        }
        break;
    case 3:
        if (MyLine *line = any(lines)) {
            steps << "select, Delete";
            QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, {},
                              f.view()->mapFromScene(line->line().center()));
            key(Qt::Key_Delete);
        }
        break;
    case 4:
        steps << "undo";
        key(Qt::Key_Z, Qt::ControlModifier);
        break;
    case 5:
        steps << "redo";
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        break;
    case 6:
        steps << "Disconnect All";
        f.bench.answerer.pressButton(pick(2) ? "Yes" : "NO");
        f.click(f.bench.find<QPushButton>("pushButton_5"));
        break;
    default:
        importRoutes();
    }
}

void Walk::routerStep() {
    switch (pick(5)) {
    case 0:
        steps << "router refuses next";
        f.bench.sim.refuseNext(1, 1 + pick(3));
        break;
    case 1:
        steps << "router holds replies";
        f.bench.sim.holdReplies(true);
        break;
    case 2:
        steps << "router lets replies go";
        f.bench.sim.holdReplies(false);
        break;
    case 3:
        if (!std::exchange(dropped, true)) {
            steps << "router loses next verdict";
            f.bench.sim.dropNextVerdict();
        }
        break;
    default:
        if (pick(3) == 0) {
            steps << "router hangs up";
            f.bench.sim.hangUp();
            hungUp = true;
        } else {
            steps << "reconnect";
            f.click(f.bench.find<QPushButton>("pushButton"));
        }
    }
}

// A file of up to 30 routes between the router's ports, opened on the routing page; now and
// then cancelled a moment later.
void Walk::importRoutes() {
    QByteArray file = "{";
    const int routes = pick(30);
    for (int i = 0; i < routes; ++i)
        file += QByteArray(i ? ", " : "") + "\"MIDI IN " + QByteArray::number(1 + pick(2)) +
                "\": [\"MIDI OUT " + QByteArray::number(1 + pick(2)) + "\", \"USB Device 1\"]";
    const QString path = dir.filePath(QString("%1.ini").arg(steps.size()));
    QVERIFY(writeFile(path, file + "}"));
    const bool cancel = pick(2);
    steps << QString("import %1 routes%2").arg(routes).arg(cancel ? ", Cancel" : "");
    f.bench.answerer.chooseFile(path);
    f.click(f.bench.find<QPushButton>("pushButton_4"));
    if (cancel) {
        QTest::qWait(pick(60));
        f.bench.find<QPushButton>("pushButton_cancelImport")->click();
    }
}

// Keys reach the window only while no box is open over it.
void Walk::key(int key, Qt::KeyboardModifiers modifiers) {
    f.bench.window().activateWindow();
    if (QApplication::activeModalWidget() || !QTest::qWaitForWindowActive(&f.bench.window(), 200))
        return;
    QTest::keyClick(&f.bench.window(), Qt::Key(key), modifiers);
}

// The router plugged in again: it is found on its new port and connected.
void Walk::reconnect() {
    f.bench.sim.holdReplies(false);
    if (std::exchange(hungUp, false)) {
        QVERIFY(f.bench.sim.start());
        f.bench.inventory.ports = {{f.bench.sim.slavePath(), 0x1209, 0x7A01}};
        emit f.bench.monitor.devicesChanged();
    }
    QVERIFY(f.bench.connectAndWait());
}

QString Walk::trace() {
    const auto names = [](const QList<Route> &routes) {
        QStringList list;
        for (const Route &route : routes)
            list << PortIdentity::buttonText(PortIdentity::End::Source, route.first.first,
                                             route.first.second) +
                        ">" +
                        PortIdentity::buttonText(PortIdentity::End::Destination, route.second.first,
                                                 route.second.second);
        return list.join(", ");
    };
    return steps.join(", ") + "\nrouter: " + names(sorted(f.bench.sim.routes())) +
           "\nwindow: " + names(tableRoutes(f.bench));
}

bool Walk::settled() {
    f.bench.sim.holdReplies(false);
    if (!f.bench.link().isOpen())
        reconnect();
    return QTest::qWaitFor(
        [&] {
            return !QApplication::activeModalWidget() && !f.bench.link().isListRunning() &&
                   f.bench.link().waitingCount() == 0 &&
                   sorted(f.bench.sim.routes()) == tableRoutes(f.bench) && consistent(f.bench);
        },
        8000);
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
    QVERIFY(walk.start());
    for (int i = 0; i < Steps; ++i)
        walk.step();
    QVERIFY2(walk.settled(), qPrintable(QString("seed %1: %2").arg(seed).arg(walk.trace())));
}

QTEST_MAIN(TestRandomWalk)
#include "tst_randomwalk.moc"
