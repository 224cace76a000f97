// Every verdict settles the command it answers, whatever else is waiting, and the picture
// ends equal to the router's route table: real mouse gestures against the simulated router.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include "tests/support/testfiles.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QThread>

namespace {

using namespace RoutePicture;
using PortIdentity::End;

const QString illegal = "Illegal routing (i.e. unable to connect in this way)";
const QString imported = "File imported successfully: "; // on the status line

// Routes by letter: a, b and e are new to the router; c, d and f it holds at the start.
const QMap<QChar, Route> routes = {{'a', {{0, 1}, {0, 1}}}, {'b', {{0, 1}, {0, 2}}},
                                   {'e', {{0, 2}, {0, 1}}}, {'c', {{0, 2}, {1, 1}}},
                                   {'d', {{1, 1}, {2, 1}}}, {'f', {{2, 1}, {0, 2}}}};
const QList<Route> held = {routes['c'], routes['d'], routes['f']};

} // namespace

class TestVerdicts : public QObject {
    Q_OBJECT

private slots:
    void oneRightClickOneDelete();
    void framesHandledWhateverIsOpen_data();
    void framesHandledWhateverIsOpen();
    void strayVerdictsRemoveNothing();
    void portCountsRedrawTheRoutes();
};

// All routes from one input leave the same point: a right click where they still overlap, just
// beside the button, deletes one of them, and a second click while that delete waits sends
// nothing more.
void TestVerdicts::oneRightClickOneDelete() {
    RoutingFixture f;
    QVERIFY(f.connect({routes['a'], routes['b']}));
    f.bench.sim.holdReplies(true);
    const MyLine *a = routeLines(f.bench).value(routes['a']);
    const MyLine *b = routeLines(f.bench).value(routes['b']);
    QCOMPARE(a->line().p1(), b->line().p1());
    const int width = f.input("MIDI IN 1")->width(); // the lines leave from 10 px past its middle
    const qreal beside = width - (10 + width / 2) + 3;
    const QPointF at =
        (a->line().pointAt(beside / a->line().dx()) + b->line().pointAt(beside / b->line().dx())) /
        2;
    QVERIFY(a->contains(at) && b->contains(at));
    const QPoint meeting = f.view()->mapFromScene(at);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(f.view()->viewport(), Qt::RightButton, {}, meeting);
        QVERIFY(f.pickFromMenu("Remove route"));
    }
    const QList<QByteArray> sent = f.takeSent();
    QCOMPARE(routeLines(f.bench).size(), 2); // until the router has taken the route away
    QVERIFY(sent == QList{Wire::frame("0201 00010001 00")} ||
            sent == QList{Wire::frame("0201 00010002 00")});

    f.bench.sim.holdReplies(false);
    QVERIFY(f.agree());
    QCOMPARE(f.bench.sim.routes().size(), 1);
}

void TestVerdicts::framesHandledWhateverIsOpen_data() {
    QTest::addColumn<QString>("moment");
    QTest::addColumn<bool>("hangUp");
    // The start of what the user was told last: in a box, or on the status line for a success.
    QTest::addColumn<QString>("told");
    QTest::newRow("notice") << "notice" << false << illegal;
    QTest::newRow("notice, hang-up") << "notice" << true << illegal;
    QTest::newRow("question") << "question" << false << "Disconnect All ?";
    QTest::newRow("question, hang-up") << "question" << true << "Disconnect All ?";
    QTest::newRow("file dialog") << "file dialog" << false << imported;
    QTest::newRow("file dialog, hang-up")
        << "file dialog" << true << "Please connect the device and try again";
    QTest::newRow("import") << "import" << false << imported;
    QTest::newRow("import, hang-up")
        << "import" << true << "Import stopped: the router was disconnected after";
}

// While a notice, the "Disconnect All ?" question or the file dialog is open, or an import
// paces its routes, a route report the router sends is drawn at once, and a router that hangs
// up is let go of at once; a notice or a pause runs no event loop of its own to get there.
// What the moment then goes on to do finds the link as it is: without the router the picture
// is empty, nothing is asked of it and the notice says so.
void TestVerdicts::framesHandledWhateverIsOpen() {
    QFETCH(QString, moment);
    QFETCH(bool, hangUp);
    QFETCH(QString, told);
    RoutingFixture f;
    QVERIFY(f.connect(held));
    bool acted = false;
    const auto act = [&] { // the router hangs up, or reports a route it has gained
        if (std::exchange(acted, true))
            return;
        if (hangUp) {
            f.bench.sim.hangUp();
            return;
        }
        f.bench.sim.setRoutes(f.bench.sim.routes() + QList<Route>{routes['e']});
        f.bench.sim.inject(Wire::frame("0103 0002000101"));
    };
    const auto handled = [&] {
        return hangUp ? !f.bench.link().isOpen() : routeLines(f.bench).contains(routes['e']);
    };
    bool handledInTime = false; // while the moment lasted
    int deepestLoop = 0;        // of those in which a frame was handled
    QObject::connect(&f.bench.link(), &RouterConnection::frameRead, &f.bench.sim, [&] {
        deepestLoop = qMax(deepestLoop, QThread::currentThread()->loopLevel());
    });
    f.bench.answerer.keepOpen = [&] {
        act();
        handledInTime = handledInTime || handled();
        return !handledInTime;
    };
    // Fourteen routes from every input to every output but itself, or just one.
    QStringList sources;
    for (const QString input : {"MIDI IN 1", "MIDI IN 2", "USB HOST 1", "USB Device 1"}) {
        QStringList outputs;
        for (const QString output : {"MIDI OUT 1", "MIDI OUT 2", "USB HOST 1", "USB Device 1"})
            if (output != input)
                outputs << '"' + output + '"';
        sources << '"' + input + "\": [" + outputs.join(", ") + ']';
    }
    const QByteArray routesFile = moment != "import" ? R"({"MIDI IN 1": ["MIDI OUT 1"]})"
                                                     : '{' + sources.join(", ").toUtf8() + '}';
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("routes.ini"), routesFile));
    if (moment == "import") {
        f.bench.answerer.keepOpen = nullptr;
        QObject::connect(&f.bench.sim, &RouterSimulator::frameReceived, &f.bench.sim, [&] {
            if (f.bench.sim.receivedBytes().size() == 3)
                act();
        });
        QObject::connect(&f.bench.link(), &RouterConnection::listEnded, &f.bench.sim,
                         [&] { handledInTime = handled(); });
    }
    if (moment == "notice") {
        f.bench.sim.inject(Wire::frame("0201 0101"));
    } else if (moment == "question") {
        f.bench.answerer.pressButton("Yes");
        f.click(f.bench.find<QPushButton>("pushButton_5"));
    } else {
        f.bench.answerer.chooseFile(dir.filePath("routes.ini"));
        f.click(f.bench.find<QPushButton>("pushButton_4"));
    }
    QTRY_VERIFY(acted && !f.bench.link().isListRunning() && !QApplication::activeModalWidget());
    QVERIFY(handledInTime);
    QCOMPARE(deepestLoop > 0, !hangUp && (moment == "question" || moment == "file dialog"));
    const QString lastBox = f.bench.answerer.messages().value(f.bench.answerer.seen.size() - 1);
    if (told == imported)
        QVERIFY(lastBox.isEmpty() && f.bench.statusParts().value(1).startsWith(told));
    else
        QVERIFY2(lastBox.startsWith(told), qPrintable(f.bench.answerer.messages().join('|')));
    if (!hangUp) {
        QVERIFY(f.agree());
        return;
    }
    QVERIFY(routeLines(f.bench).isEmpty() && f.bench.routing().inputButtons().isEmpty());
    QCOMPARE(f.bench.find<QLabel>("label_status")->text(), QString("The router was unplugged"));
}

// Verdicts of every kind with nothing waiting, in one chunk: each shows the router's words, if
// there are any, in order (a success on the status line), and no line goes.
void TestVerdicts::strayVerdictsRemoveNothing() {
    RoutingFixture f;
    QVERIFY(f.connect(held));
    const QList<QPair<QByteArray, QString>> verdicts = {
        {"0201 0101", illegal},
        {"0201 0102", "Port serial number error"},
        {"0201 0103", "Exceeding the number of routes (some connecting nodes have a specified "
                      "number of routes)"},
        {"0201 7F85", {}},
        {"0201 0000", {}},
        {"0201 0001", {}},
        {"0202 0009", {}}, // "Configuration successful", on the status line
        {"0202 0500", "Configuration failed"},
        {"0203 0102", "Configuration failed:Category error"},
        {"0203 0103", "Configuration failed:Category serial number error"},
        {"0203 0104", {}}};
    QByteArray flood;
    QStringList shown;
    for (const auto &[hex, text] : verdicts) {
        flood += Wire::frame(hex);
        if (!text.isEmpty())
            shown << text;
    }
    f.bench.sim.inject(flood);
    QTRY_COMPARE(f.bench.answerer.messages(), shown);
    QCOMPARE(f.bench.statusParts().value(1), QString("Configuration successful"));
    QVERIFY(f.agree());
    QCOMPARE(tableRoutes(f.bench), sorted(held));

    // A refusal that comes as the last notice closes follows it, not left waiting.
    f.bench.answerer.keepOpen = [&f, hooked = false]() mutable {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && !std::exchange(hooked, true))
            connect(box, &QDialog::finished, &f.bench.link(), [&f, once = true]() mutable {
                if (std::exchange(once, false))
                    f.bench.link().receive(Wire::frame("0201 0102"));
            });
        return false;
    };
    f.bench.sim.inject(Wire::frame("0201 0101"));
    QTRY_COMPARE(f.bench.answerer.messages().mid(shown.size()),
                 QStringList({illegal, "Port serial number error"}));
}

// Port counts the window did not ask for: the old lines go with the old buttons, and the
// routes the router reports afterwards are drawn between the new ones.
void TestVerdicts::portCountsRedrawTheRoutes() {
    RoutingFixture f;
    QVERIFY(f.connect(held));
    f.bench.sim.setPortCounts({2, 2, 1, 1});
    f.bench.sim.setRoutes({routes['c'], routes['d']});
    f.bench.sim.inject(Wire::frame("0102 02020101"));
    QVERIFY(f.agree());
    QCOMPARE(tableRoutes(f.bench), sorted({routes['c'], routes['d']}));
    QCOMPARE(routeLines(f.bench).value(routes['c'])->line(),
             anchors(f.input("MIDI IN 2"), f.output("USB HOST 1")));
}

QTEST_MAIN(TestVerdicts)
#include "tst_verdicts.moc"
