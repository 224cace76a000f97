// Route editing as a user does it, with the mouse and the keyboard, against the simulated
// router: lines that are easy to hit, deleting from the keyboard, undo and redo, a question
// that keeps the routes unless "Yes" is chosen, and a chosen input that shows.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/pacing.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include <QApplication>
#include <QMessageBox>
#include <QUndoStack>

namespace {

using namespace RoutePicture;

const Route inToHost{{0, 2}, {1, 1}};     // MIDI IN 2 → USB HOST 1
const Route hostToDevice{{1, 1}, {2, 1}}; // USB HOST 1 → USB Device 1
const Route deviceToOut{{2, 1}, {0, 2}};  // USB Device 1 → MIDI OUT 2
const QList<Route> held = {inToHost, hostToDevice, deviceToOut};

// A point beside the middle of a route's line, at a right angle to it, in viewport pixels.
QPoint beside(RoutingFixture &f, const Route &route, qreal distance) {
    const QLineF line = routeLines(f.bench).value(route)->line();
    const QLineF normal = line.normalVector().unitVector();
    return f.view()->mapFromScene(line.center() + (normal.p2() - normal.p1()) * distance);
}

struct Editing : RoutingFixture {
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QVERIFY(bench.pressKey(key, modifiers));
    }
};

} // namespace

class TestRouteEditing : public QObject {
    Q_OBJECT

private slots:
    void linesAreEasyToHit();
    void deleteFromTheKeyboardThenUndoAndRedo();
    void undoingDisconnectAllRestoresEveryRoute();
    void disconnectAllAsked_data();
    void disconnectAllAsked();
    void theChosenInputShowsUntilLetGo();
};

// A right click 3 px beside a line deletes it, one 10 px away does nothing; the line is drawn
// thicker while the pointer is on it.
void TestRouteEditing::linesAreEasyToHit() {
    Editing f;
    QVERIFY(f.connect(held));
    QWidget *viewport = f.view()->viewport();
    MyLine *line = routeLines(f.bench).value(inToHost);
    const QPen resting = line->pen();

    QTest::mouseMove(viewport, beside(f, inToHost, 3));
    QVERIFY(QTest::qWaitFor([&] { return line->pen().widthF() > resting.widthF(); }, 1000));
    QTest::mouseMove(viewport, beside(f, inToHost, 10));
    QVERIFY(QTest::qWaitFor([&] { return line->pen() == resting; }, 1000));

    QTest::mouseClick(viewport, Qt::RightButton, {}, beside(f, inToHost, 10));
    QVERIFY(!f.pickFromMenu("Remove route")); // the view's own menu, not the line's
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QTest::mouseClick(viewport, Qt::RightButton, {}, beside(f, inToHost, -3));
    QVERIFY(f.pickFromMenu("Remove route"));
    QCOMPARE(f.takeSent(), QList{Wire::frame("0201 00020101 00")});
    QVERIFY(f.agree() && !routeLines(f.bench).contains(inToHost));
}

// Port buttons show keyboard focus, and Space on an input then on an output adds a route. A
// click selects a line; Delete sends the same command as a right click. Ctrl+Z sends the route
// back and the line returns once the router takes it; Ctrl+Shift+Z deletes it again.
void TestRouteEditing::deleteFromTheKeyboardThenUndoAndRedo() {
    Editing f;
    QVERIFY(f.connect(held));
    QPushButton *output = f.output("MIDI OUT 1");
    const QImage unfocused = output->grab().toImage();
    f.input("MIDI IN 2")->setFocus();
    f.key(Qt::Key_Space);
    output->setFocus();
    QVERIFY(output->grab().toImage() != unfocused);
    f.key(Qt::Key_Space);
    QCOMPARE(f.takeSent(), QList{Wire::addRoute("00020001")});

    MyLine *line = routeLines(f.bench).value(hostToDevice);
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, {}, beside(f, hostToDevice, 0));
    QVERIFY(line->isSelected());
    QCOMPARE(line->pen().color(), MyLine::SelectedColour);
    const QByteArray deleted = Wire::frame("0201 01010201 00");
    f.key(Qt::Key_Delete);
    QCOMPARE(f.takeSent(), QList{deleted});
    QVERIFY(f.agree() && !routeLines(f.bench).contains(hostToDevice));
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.takeSent(), QList{Wire::addRoute("01010201")});
    QVERIFY(f.agree() && routeLines(f.bench).contains(hostToDevice));
    f.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.takeSent(), QList{deleted});
}

// Undoing "Disconnect All" sends every route it took, 15 ms apart on the line. The router
// unplugged while an undo paces its routes stops the undo, and the history, which belongs to
// the connection, is emptied.
void TestRouteEditing::undoingDisconnectAllRestoresEveryRoute() {
    Editing f;
    QVERIFY(f.connect(held));
    f.disconnectAll();
    QCOMPARE(f.takeSent(), QList{Wire::ClearRoutes});
    QVERIFY(f.agree() && routeLines(f.bench).isEmpty());

    f.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.agree());
    QCOMPARE(f.bench.sent(),
             QList<QByteArray>({Wire::addRoute("00020101"), Wire::addRoute("01010201"),
                                Wire::addRoute("02010002")}));
    const QString gaps = unpaced(f.bench.sim.receivedFrames(), 0, held.size() - 1);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps));
    QCOMPARE(tableRoutes(f.bench), sorted(held));

    f.disconnectAll();
    QVERIFY(f.agree());
    QObject::connect(&f.bench.sim, &RouterSimulator::frameReceived, &f.bench.sim,
                     [&] { f.bench.sim.hangUp(); });
    f.key(Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(!f.bench.link().isOpen());
    QCOMPARE(f.bench.routing().edits().count(), 0);
    QVERIFY(routeLines(f.bench).isEmpty());
}

void TestRouteEditing::disconnectAllAsked_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

// "Disconnect All ?" answered from the keyboard keeps every route.
void TestRouteEditing::disconnectAllAsked() {
    QFETCH(int, key);
    Editing f;
    QVERIFY(f.connect(held));
    QStringList asked;
    f.bench.answerer.keepOpen = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        asked = QStringList{box->text()};
        for (const QAbstractButton *button : box->buttons())
            asked << button->text();
        QTest::keyClick(box, Qt::Key(key));
        return true; // answered by the key
    };
    f.disconnectAll();
    asked.sort();
    QCOMPARE(asked, QStringList({"Disconnect All ?", "NO", "Yes"}));
    QCOMPARE(f.takeSent(), QList<QByteArray>());
    QCOMPARE(tableRoutes(f.bench), sorted(held));
}

// A chosen input shows as chosen, with nothing drawn on it until the pointer moves. A click on
// the empty view lets go of it, mark and all: a click on an output then adds nothing.
void TestRouteEditing::theChosenInputShowsUntilLetGo() {
    Editing f;
    QVERIFY(f.connect(held));
    QPushButton *input = f.input("MIDI IN 1");
    const QImage plain = input->grab().toImage();
    f.click(input);
    QVERIFY(input->grab().toImage() != plain);
    QVERIFY(f.bench.routing().hasChosenPort() && !f.bench.routing().showsRubberBand());
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, {},
                      QPoint(f.view()->width() / 2, f.view()->height() - 10));
    QVERIFY(!f.bench.routing().hasChosenPort());
    QTRY_VERIFY(input->grab().toImage() == plain);
    f.click(f.output("MIDI OUT 1"));
    QCOMPARE(f.takeSent(), QList<QByteArray>());
}

QTEST_MAIN(TestRouteEditing)
#include "tst_routeediting.moc"
