// Mouse events travel through the window system layer, as a user's do: the pressed button
// keeps the mouse, and what it ignores reaches the window.
#define QTEST_QPA_MOUSE_HANDLING

#include "link/fifobuffer.h"
#include "tests/routing/routingprobe.h"
#include "tests/support/routerbench.h"

#include <QGraphicsView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

using namespace RoutingProbe;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Expects this exact line in the debug log before the test function ends.
void expectTrace(const QString &text) {
    QTest::ignoreMessage(QtDebugMsg,
                         QRegularExpression("^" + QRegularExpression::escape(text) + "$"));
}

QString pressTrace(const QString &button, QWidget *from, QPoint at) {
    const QPoint inWindow = from->mapTo(from->window(), at);
    return QString("%1(%2,%3)").arg(button).arg(inWindow.x()).arg(inWindow.y());
}

QPushButton *buttonNamed(const QList<QPushButton *> &buttons, const QString &text) {
    for (QPushButton *button : buttons)
        if (button->text() == text)
            return button;
    return nullptr;
}

// A router with MIDI IN 1-3, MIDI OUT 1-3, USB HOST 1-2 and USB Device 1, connected, with the
// window on screen.
class Fixture {
public:
    explicit Fixture(const QList<Route> &held = {}) {
        bench.sim.setPortCounts({3, 3, 2, 1});
        bench.sim.setRoutes(held);
        bench.window().resize(1000, 700);
        bench.window().show();
        ready = QTest::qWaitForWindowExposed(&bench.window()) && bench.connectAndWait();
        QTest::qWait(20);
        bench.sim.clearReceived();
        verdicts = std::make_unique<QSignalSpy>(w.fifoBuffer(), &FiFoBuffer::currDataFrame);
    }

    QPushButton *input(const QString &text) { return buttonNamed(w.inputButtons(), text); }
    QPushButton *output(const QString &text) { return buttonNamed(w.outputButtons(), text); }
    QGraphicsView *view() { return bench.find<QGraphicsView>("graphicsView"); }
    QWidget *page() { return bench.find<QScrollArea>("scrollArea")->viewport(); }

    // A point of the view's viewport that is neither a button nor a line: the strip above the
    // column titles, between the columns.
    QPoint emptySpot() { return QPoint(view()->viewport()->width() / 2, 2); }
    // A point of the routing page below the view. (A click inside the view reaches the window
    // with its press only: the view keeps the release.)
    QPoint pageSpot() { return QPoint(page()->width() / 2, view()->height() + 10); }

    void press(QPushButton *from) {
        QTest::mousePress(from, Qt::LeftButton, {}, from->rect().center());
    }
    // A pointer leaving the pressed button first makes the button let go (it takes that
    // move); the moves after it reach the window.
    void moveTo(QWidget *to, QPoint at) {
        QTest::mouseMove(to, at + QPoint(1, 1));
        QTest::mouseMove(to, at);
    }
    void release(QWidget *over, QPoint at) { QTest::mouseRelease(over, Qt::LeftButton, {}, at); }
    void drag(QPushButton *from, QWidget *to, QPoint at) {
        press(from);
        moveTo(to, at);
        release(to, at);
    }
    void drag(QPushButton *from, QPushButton *to) { drag(from, to, to->rect().center()); }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Waits until the router's frames for n more commands have been handled.
    bool verdictsArrive(int n = 1) {
        awaited += n;
        return QTest::qWaitFor([&] { return verdicts->count() >= awaited; }, 3000);
    }
    // Lets anything written reach the simulator, then takes what it received.
    QList<QByteArray> takeSent() {
        QTest::qWait(40);
        const QList<QByteArray> frames = bench.sent();
        bench.sim.clearReceived();
        return frames;
    }
    // The router, the route table and the picture all hold the same routes.
    bool agree() {
        return sorted(bench.sim.routes()) == routesOfMap(w) && routesOfLines(w) == routesOfMap(w);
    }
    bool gestureEnded() { return w.startPoint().isNull() && !w.dragLine()->scene(); }

    RouterBench bench;
    WidgetTestAccess w = bench.access();
    std::unique_ptr<QSignalSpy> verdicts;
    bool ready = false;
    int awaited = 0;
};

} // namespace

class TestRouteEditing : public QObject {
    Q_OBJECT

private slots:
    void dragAddsRoute_data();
    void dragAddsRoute();
    void clickSourceThenDestinations();
    void releaseOverEmptySpace();
    void refusedBeforeSending_data();
    void refusedBeforeSending();
    void rightButtonDeletesAfterConfirmation();
    void disconnectAll();
    void disconnectAllWithoutRouter();
    void routerRefusesRoute_data();
    void routerRefusesRoute();
};

void TestRouteEditing::dragAddsRoute_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<Route>("route");
    QTest::newRow("MIDI IN 1 to MIDI OUT 2")
        << "MIDI IN 1"
        << "MIDI OUT 2" << hex("F0 00 21 5E 02 01 00 01 00 02 01 F7") << Route({0, 1}, {0, 2});
    QTest::newRow("USB HOST 2 to USB Device 1")
        << "USB HOST 2"
        << "USB Device 1" << hex("F0 00 21 5E 02 01 01 02 02 01 01 F7") << Route({1, 2}, {2, 1});
    QTest::newRow("MIDI IN 1 to MIDI OUT 1: two sockets")
        << "MIDI IN 1"
        << "MIDI OUT 1" << hex("F0 00 21 5E 02 01 00 01 00 01 01 F7") << Route({0, 1}, {0, 1});
    QTest::newRow("USB Device 1 to USB HOST 1")
        << "USB Device 1"
        << "USB HOST 1" << hex("F0 00 21 5E 02 01 02 01 01 01 01 F7") << Route({2, 1}, {1, 1});
}

void TestRouteEditing::dragAddsRoute() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, command);
    QFETCH(Route, route);
    Fixture f;
    QVERIFY(f.ready);
    QPushButton *source = f.input(from);
    QPushButton *destination = f.output(to);

    f.press(source);
    QCOMPARE(f.w.startPoint(), sourceAnchorOf(source));
    QCOMPARE(f.w.dragLine()->scene(), f.w.scene());
    QCOMPARE(f.w.dragLine()->line(), QLineF(sourceAnchorOf(source), sourceAnchorOf(source)));

    // The rubber band trails the pointer by (40, 10).
    const QPoint at = destination->rect().center();
    f.moveTo(destination, at);
    const QPoint inView = destination->mapTo(f.view(), at);
    QCOMPARE(f.w.dragLine()->line().p2(), QPointF(inView.x() - 40.0, inView.y() - 10.0));

    f.release(destination, at);
    QVERIFY(f.gestureEnded());
    QCOMPARE(routesOfMap(f.w), QList<Route>({route}));
    MyLine *line = lineOf(f.w, route);
    QVERIFY(line);
    QCOMPARE(f.w.lastRouteLine(), line);
    QCOMPARE(line->line(), QLineF(sourceAnchorOf(source), destinationAnchorOf(destination)));
    QCOMPARE(f.takeSent(), QList<QByteArray>({command}));
    QVERIFY(f.verdictsArrive());
    QVERIFY(lineOf(f.w, route));
    QVERIFY(f.agree());
    QCOMPARE(f.bench.answerer.seen.size(), 0);
}

void TestRouteEditing::clickSourceThenDestinations() {
    Fixture f;
    QVERIFY(f.ready);
    f.click(f.input("MIDI IN 3"));
    f.click(f.output("MIDI OUT 1"));
    f.click(f.output("MIDI OUT 2"));
    QCOMPARE(f.takeSent(), QList<QByteArray>({hex("F0 00 21 5E 02 01 00 03 00 01 01 F7"),
                                              hex("F0 00 21 5E 02 01 00 03 00 02 01 F7")}));
    QVERIFY(f.verdictsArrive(2));
    QVERIFY(f.agree());
    QCOMPARE(f.w.routeMap().values({0, 3}), QList<RouteEnd>({{0, 2}, {0, 1}}));

    // A click on an empty part of the page drops the source; later clicks add nothing.
    QVERIFY(f.pageSpot().y() < f.page()->height());
    expectTrace(pressTrace("左键：", f.page(), f.pageSpot()));
    QTest::mouseClick(f.page(), Qt::LeftButton, {}, f.pageSpot());
    QVERIFY(f.gestureEnded());
    f.click(f.output("MIDI OUT 3"));
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QCOMPARE(f.w.routeMap().size(), 2);
}

void TestRouteEditing::releaseOverEmptySpace() {
    Fixture f;
    QVERIFY(f.ready);
    f.drag(f.input("MIDI IN 2"), f.view()->viewport(), f.emptySpot());
    QVERIFY(f.gestureEnded());
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QVERIFY(routeLines(f.w).isEmpty());
    QVERIFY(f.w.routeMap().isEmpty());

    // Released over the pressed button itself: the button takes it and the source stays.
    QPushButton *source = f.input("USB HOST 1");
    f.drag(source, source);
    QCOMPARE(f.w.startPoint(), sourceAnchorOf(source));
    f.click(f.output("MIDI OUT 3"));
    QCOMPARE(f.takeSent(), QList<QByteArray>({hex("F0 00 21 5E 02 01 01 01 00 03 01 F7")}));
}

void TestRouteEditing::refusedBeforeSending_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("USB HOST 1 to itself") << "USB HOST 1"
                                          << "USB HOST 1";
    QTest::newRow("USB Device 1 to itself") << "USB Device 1"
                                            << "USB Device 1";
    QTest::newRow("reported by the router") << "MIDI IN 2"
                                            << "USB HOST 2";
}

void TestRouteEditing::refusedBeforeSending() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    Fixture f({{{0, 2}, {1, 2}}});
    QVERIFY(f.ready);
    const QList<Route> before = routesOfMap(f.w);
    MyLine *last = f.w.lastRouteLine();
    f.drag(f.input(from), f.output(to));
    QVERIFY(f.gestureEnded());
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QCOMPARE(routesOfMap(f.w), before);
    QCOMPARE(f.w.lastRouteLine(), last);
    QVERIFY(f.agree());

    // The same drag made twice by the user is sent once.
    f.drag(f.input("MIDI IN 1"), f.output("MIDI OUT 3"));
    f.drag(f.input("MIDI IN 1"), f.output("MIDI OUT 3"));
    QCOMPARE(f.takeSent(), QList<QByteArray>({hex("F0 00 21 5E 02 01 00 01 00 03 01 F7")}));
    QVERIFY(f.agree());
}

void TestRouteEditing::rightButtonDeletesAfterConfirmation() {
    const Route doomed{{1, 2}, {2, 1}};
    const Route kept{{0, 1}, {0, 1}};
    Fixture f({kept, doomed});
    QVERIFY(f.ready);
    MyLine *line = lineOf(f.w, doomed);
    QVERIFY(line);
    // The reply leaves slowly, so the state before the verdict can be seen.
    f.bench.sim.setPacing(600);

    // A left press only selects the line.
    const QPoint onLine = f.view()->mapFromScene(line->line().center());
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, {}, onLine);
    QVERIFY(line->isSelected());
    QCOMPARE(f.takeSent(), QList<QByteArray>());

    expectTrace("Widget::deleteCurrLine");
    // The line does not take the right press: it goes on to the window's trace.
    expectTrace(pressTrace("右键：", f.view()->viewport(), onLine));
    QTest::mousePress(f.view()->viewport(), Qt::RightButton, {}, onLine);
    QCOMPARE(f.w.lastCommand(), 1);
    QCOMPARE(f.w.lineToDelete(), line);
    QCOMPARE(lineOf(f.w, doomed), line);
    QVERIFY(f.w.routeMap().contains(doomed.first, doomed.second));
    QTest::mouseRelease(f.view()->viewport(), Qt::RightButton, {}, onLine);
    QCOMPARE(f.bench.sent(), QList<QByteArray>({hex("F0 00 21 5E 02 01 01 02 02 01 00 F7")}));

    QVERIFY(f.verdictsArrive());
    QCOMPARE(f.w.lastCommand(), 0);
    QVERIFY(!lineOf(f.w, doomed));
    QVERIFY(!f.w.routeMap().contains(doomed.first, doomed.second));
    QCOMPARE(f.bench.sim.routes(), QList<RouterSimulator::Route>({kept}));
    QVERIFY(f.agree());
}

void TestRouteEditing::disconnectAll() {
    Fixture f({{{0, 1}, {0, 1}}, {{1, 1}, {2, 1}}});
    QVERIFY(f.ready);
    auto *button = f.bench.find<QPushButton>("pushButton_5");

    f.bench.answerer.pressButton("NO");
    button->click();
    QCOMPARE(f.bench.answerer.seen.size(), 1);
    const ModalAnswerer::Seen question = f.bench.answerer.seen.first();
    QCOMPARE(question.title, QString("Pellvane"));
    QCOMPARE(question.text, QString("Disconnect All ?"));
    QVERIFY(question.buttons.contains("Yes"));
    QVERIFY(question.buttons.contains("NO"));
    QCOMPARE(question.buttons.size(), 2);
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QCOMPARE(f.w.lastCommand(), 0);

    f.bench.answerer.pressButton("Yes");
    button->click();
    QCOMPARE(f.w.lastCommand(), 2);
    QCOMPARE(routeLines(f.w).size(), 2); // until the router confirms
    QVERIFY(f.verdictsArrive());
    QCOMPARE(f.bench.sent(), QList<QByteArray>({hex("F0 00 21 5E 02 01 00 00 00 00 7F F7")}));
    QVERIFY(routeLines(f.w).isEmpty());
    QVERIFY(f.w.routeMap().isEmpty());
    QVERIFY(!f.w.lastRouteLine());
    QCOMPARE(f.w.lastCommand(), 0);
    QVERIFY(f.agree());

    // The page works on afterwards.
    f.drag(f.input("MIDI IN 1"), f.output("MIDI OUT 1"));
    QVERIFY(f.verdictsArrive());
    QCOMPARE(f.bench.sim.routes().size(), 1);
    QVERIFY(f.agree());
}

void TestRouteEditing::disconnectAllWithoutRouter() {
    RouterBench bench;
    bench.find<QPushButton>("pushButton_5")->click();
    QCOMPARE(bench.answerer.messages(), QStringList({"Please connect the device and try again"}));
    QCOMPARE(bench.answerer.seen.first().buttons, QStringList({"OK"}));
    QCOMPARE(bench.access().lastCommand(), 0);
    QTest::qWait(20);
    QVERIFY(bench.sent().isEmpty());
}

void TestRouteEditing::routerRefusesRoute_data() {
    QTest::addColumn<int>("refusal"); // 0: the router judges for itself
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused by the router")
        << 1 << "MIDI OUT 2"
        << "Illegal routing (i.e. unable to connect in this way)";
    QTest::newRow("past the route limit")
        << 0 << "MIDI OUT 2"
        << "Exceeding the number of routes (some connecting nodes have a specified number of "
           "routes)";
    QTest::newRow("port the router does not have") << 0 << "MIDI OUT 9"
                                                   << "Port serial number error";
}

void TestRouteEditing::routerRefusesRoute() {
    QFETCH(int, refusal);
    QFETCH(QString, destination);
    QFETCH(QString, message);
    const Route held{{0, 1}, {0, 1}};
    Fixture f({held});
    QVERIFY(f.ready);
    f.bench.sim.setRouteLimitPerSource(1);
    if (refusal)
        f.bench.sim.refuseNext(1, refusal);
    f.bench.answerer.pressButton("OK");

    // The verdict leaves slowly, so the new line can be seen before it.
    f.bench.sim.setPacing(600);
    if (QPushButton *to = f.output(destination)) {
        f.drag(f.input("MIDI IN 1"), to);
    } else {
        // A port the map lacks can only come from a file, whose routes are added this way.
        QPushButton stray(destination);
        f.w.anchorSource(f.input("MIDI IN 1"));
        f.w.addRoute(&stray);
    }
    QCOMPARE(routeLines(f.w).size(), 2);
    QVERIFY(f.verdictsArrive());
    QCOMPARE(f.bench.answerer.messages(), QStringList({message}));
    QCOMPARE(routesOfLines(f.w), QList<Route>({held}));
    QVERIFY(!f.w.lastRouteLine());
    QVERIFY(f.agree());
}

QTEST_MAIN(TestRouteEditing)
#include "tst_routeediting.moc"
