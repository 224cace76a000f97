// The filter page: its group boxes and port records, "Set" through a real pseudo-terminal to
// the simulated router, and edits not yet sent: the mark on "Set" and the question before
// another port is loaded.
#include "tests/support/filtertable.h"
#include "tests/support/routerbench.h"
#include "tests/support/wire.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

using FilterTable::panelWith;
using FilterTable::shownBoxes;
using Wire::filterBytes;

namespace {

const QString Successful = "Configuration successful";

QCheckBox *box(RouterBench &bench, const QString &name) {
    return bench.find<QCheckBox>(name);
}

// The member boxes of each group, by its group box.
QMap<QString, QStringList> groupMembers() {
    QMap<QString, QStringList> groups;
    for (const FilterTable::Box &box : FilterTable::boxes())
        groups[box.group] << box.name;
    return groups;
}

QMap<QString, FilterBytes> recordBytes(RouterBench &bench) {
    QMap<QString, FilterBytes> bytes;
    const RouterState &state = bench.link().state();
    for (auto it = state.filters.cbegin(); it != state.filters.cend(); ++it)
        bytes.insert(PortIdentity::filterPortName(it.key().first, it.key().second), it.value());
    return bytes;
}

// "Set", by default on the filter page, its verdict answered.
void pressSet(RouterBench &bench, int page = 1) {
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(page);
    bench.answerer.pressButton("OK");
    bench.find<QPushButton>("pushButton_2")->click();
}

const QString TickMeaning =
    "A ticked box sets that item's bit in the filter sent to the router for the port.";

// A router whose MIDI IN1 passes on channel 1 only and whose MIDI OUT1 holds CC#0 only, on
// screen with its filter page, MIDI IN1 chosen.
bool connectToFilterPage(RouterBench &bench) {
    bench.sim.setFilter({0, 1}, filterBytes({{2, 0x01}}));
    bench.sim.setFilter({1, 1}, filterBytes({{22, 0x01}}));
    bench.window().show();
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    return QTest::qWaitForWindowExposed(&bench.window()) && bench.connectAndWait() &&
           bench.find<QComboBox>("comboBox_MiDiPorts")->currentText() == "MIDI IN1";
}

// Whether "Set" is marked as having edits to send, once the window has looked again.
bool setMarked(RouterBench &bench) {
    QTest::qWait(10);
    return bench.find<QPushButton>("pushButton_2")->font().bold();
}

void choosePort(RouterBench &bench, const QString &name) {
    auto *chooser = bench.find<QComboBox>("comboBox_MiDiPorts");
    chooser->setCurrentIndex(chooser->findText(name));
}

} // namespace

class TestFilterPanel : public QObject {
    Q_OBJECT
private slots:
    void eachBoxIsItsBit();
    void groupBoxFollowsItsMembers();
    void setSendsOneFrameAndRouterAgrees_data();
    void setSendsOneFrameAndRouterAgrees();
    void setIsMarkedWhileEditsAreUnsent();
    void changingPortAsksFirst_data();
    void changingPortAsksFirst();
    void closingAsksAboutUnsentEdits();
};

// For every box: the router reports a filter with just its bit, and the page shows that box
// alone, its group partly checked; "Set" then sends those same 25 bytes back.
void TestFilterPanel::eachBoxIsItsBit() {
    RouterBench bench;
    bench.sim.setPortCounts({1, 0, 0, 0}); // one filter port, MIDI IN1
    QVERIFY(bench.connectAndWait());
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    bench.sim.setSilent(true); // no verdicts: no message boxes between the rows
    QSignalSpy sent(&bench.sim, &RouterSimulator::frameReceived);

    for (const FilterTable::Box &row : FilterTable::boxes()) {
        const QByteArray bytes = FilterTable::filterBytes({row});
        bench.sim.inject(Wire::filterFrame("0105", "0001", bytes.toHex()));
        QTRY_COMPARE(FilterTable::shownBoxes(bench.window()).join(' '),
                     FilterTable::panelWith({row.name}).join(' '));

        sent.clear();
        bench.find<QPushButton>("pushButton_2")->click();
        QVERIFY2(sent.wait(2000), qPrintable(row.name));
        QCOMPARE(row.name + " " + sent.first().first().toByteArray().toHex(' '),
                 row.name + " " + Wire::setFilter("0001", bytes.toHex()).toHex(' '));
    }
}

// Per group: member clicks (one, all, all but the first), group box clicks from PartiallyChecked,
// Checked and Unchecked, then member clicks clearing it again.
void TestFilterPanel::groupBoxFollowsItsMembers() {
    RouterBench bench;
    const QMap<QString, QStringList> groups = groupMembers();
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        const QStringList &all = group.value();
        const QList<QPair<QStringList, QStringList>> steps = {{{all.first()}, {all.first()}},
                                                              {all.mid(1), all},
                                                              {{all.first()}, all.mid(1)},
                                                              {{group.key()}, all},
                                                              {{group.key()}, {}},
                                                              {{group.key()}, all},
                                                              {all, {}}};
        for (const auto &[clicks, checked] : steps) {
            for (const QString &name : clicks)
                box(bench, name)->click();
            QCOMPARE(shownBoxes(bench.window()), panelWith(checked));
        }
    }
}

void TestFilterPanel::setSendsOneFrameAndRouterAgrees_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("message");
    const QByteArray c64 = QByteArray(26, '0') + "02";
    QTest::newRow("routing page") << 0 << "MIDI IN1" << QStringList{"c64"}
                                  << QByteArray::fromHex("F000215E020200F7") << Successful;
    QTest::newRow("USB DEVICE IN3")
        << 1 << "USB DEVICE IN3" << QStringList{"c64"} << Wire::setFilter("0403", c64)
        << Successful + ": USB DEVICE IN3";
    QTest::newRow("all ports") << 1 << "USB HOST IN1"
                               << QStringList{"checkBox_Channels", "checkBox_SystemRealtime",
                                              "checkBox_Applies_To_All"}
                               << Wire::setFilter("7F00", "037F7F" + QByteArray(42, '0') + "7F")
                               << Successful + ": all ports";
    QTest::newRow("no number") << 1 << "MIDI IN" << QStringList{"c64"}
                               << Wire::setFilter("0000", c64)
                               << "Configuration failed:Wrong port serial number";
}

// Exactly the frame the page and chooser call for crosses the line, the router gives its verdict
// (a success on the status line, a refusal in a box), and afterwards the router holds, port by
// port, what the window's records say.
void TestFilterPanel::setSendsOneFrameAndRouterAgrees() {
    QFETCH(int, page);
    QFETCH(QString, port);
    QFETCH(QStringList, clicks);
    QFETCH(QByteArray, frame);
    QFETCH(QString, message);
    RouterBench bench;
    bench.sim.setPortCounts({2, 2, 2, 3});
    QVERIFY(bench.connectAndWait());
    auto *chooser = bench.find<QComboBox>("comboBox_MiDiPorts");
    chooser->addItem(port);
    choosePort(bench, port);
    for (const QString &name : clicks)
        box(bench, name)->click();
    QCOMPARE(chooser->isEnabled(), !clicks.contains("checkBox_Applies_To_All"));

    bench.sim.clearReceived();
    pressSet(bench, page);
    if (message.startsWith(Successful)) {
        QTRY_VERIFY(bench.statusParts().contains(message));
        QVERIFY(bench.answerer.seen.isEmpty());
    } else {
        QTRY_COMPARE(bench.answerer.messages(), QStringList{message});
    }
    QCOMPARE(bench.sent(), QList<QByteArray>{frame});

    const QStringList kinds = {"MIDI IN",      "MIDI OUT",      "USB HOST IN",
                               "USB HOST OUT", "USB DEVICE IN", "USB DEVICE OUT"};
    const QMap<QString, FilterBytes> records = recordBytes(bench);
    QCOMPARE(records.size(), 14);
    for (int code = 0; code < kinds.size(); ++code)
        for (int number = 1; number <= bench.sim.filterPortCount(code); ++number)
            QCOMPARE(records.value(kinds[code] + QString::number(number)),
                     bench.sim.filter({code, number}));
}

// "Set" is bold exactly while the boxes differ from what the router was last told for the shown
// port, and only on the filter page; its tooltip and the groups' say what a tick means, the
// groups' in the platform's tooltip colours.
void TestFilterPanel::setIsMarkedWhileEditsAreUnsent() {
    RouterBench bench;
    QVERIFY(connectToFilterPage(bench));
    auto *set = bench.find<QPushButton>("pushButton_2");
    const QString sends = "Sends the boxes to the router as the chosen port's filter (every "
                          "port's with \"Applies to All MIDI Ports\"). " +
                          TickMeaning;
    QVERIFY(!setMarked(bench));
    QCOMPARE(set->toolTip(), sends);

    box(bench, "checkBox_5")->click();
    QVERIFY(setMarked(bench));
    QCOMPARE(set->toolTip(), "The boxes differ from what the router was last told for MIDI IN1; "
                             "\"Set\" sends them. " +
                                 TickMeaning);
    box(bench, "checkBox_5")->click();
    QVERIFY(!setMarked(bench));
    QCOMPARE(set->toolTip(), sends);

    box(bench, "checkBox_Messages")->click();
    QVERIFY(setMarked(bench));
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(0);
    QVERIFY(!setMarked(bench));
    QCOMPARE(set->toolTip(), QString());
    bench.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
    QVERIFY(setMarked(bench));
    QVERIFY(bench.statusParts().contains("Unsent changes to MIDI IN1"));
    pressSet(bench);
    QVERIFY(!setMarked(bench));
    QTRY_VERIFY(bench.statusParts().contains(Successful + ": MIDI IN1"));
    QVERIFY(!bench.statusParts().contains("Unsent changes to MIDI IN1"));
    QCOMPARE(bench.sim.filter({0, 1}), filterBytes({{2, 0x01}, {3, 0x7F}}));

    // The group frames and the group boxes.
    for (const QString &name :
         groupMembers().keys() +
             QStringList{"groupBox_2", "groupBox_3", "groupBox_4", "groupBox_5", "groupBox_6"})
        QCOMPARE(bench.find<QWidget>(name)->toolTip(), TickMeaning);
    // Shown for a member box, its frame's tooltip is not painted in the frame's orange.
    QWidget *member = box(bench, "checkBox_5");
    QHelpEvent hover(QEvent::ToolTip, QPoint(1, 1), member->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(member, &hover);
    QVERIFY(QToolTip::isVisible() && QToolTip::text() == TickMeaning);
    for (QWidget *tip : QApplication::topLevelWidgets())
        if (tip->windowType() == Qt::ToolTip && tip->isVisible())
            QCOMPARE(tip->grab().toImage().pixelColor(1, 1),
                     QToolTip::palette().color(QPalette::ToolTipBase));
}

void TestFilterPanel::changingPortAsksFirst_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("meanwhile"); // what the link does while the question is open
    QTest::addColumn<QString>("portAfter");
    QTest::addColumn<QStringList>("boxesAfter");
    for (const QString answer : {"Yes", "No"}) {
        const bool yes = answer == "Yes";
        QTest::addRow("%s", qPrintable(answer))
            << answer << "" << (yes ? "MIDI OUT1" : "MIDI IN1")
            << (yes ? QStringList{"c0"} : QStringList{"checkBox_1", "checkBox_9"});
        QTest::addRow("router hangs up, %s", qPrintable(answer)) << answer << "hang up"
                                                                 << "" << QStringList();
        QTest::addRow("Disconnect and Connect, %s", qPrintable(answer))
            << answer << "reconnect"
            << "MIDI IN1" << QStringList{"checkBox_1"};
    }
}

// With an edit on MIDI IN1, choosing MIDI OUT1 asks first. "Yes" loads MIDI OUT1; "No" puts the
// chooser back on MIDI IN1 with the edit kept. When the link goes while the question is open,
// and maybe comes back, the window handles it inside the box's event loop and the answer then
// changes nothing: the panel shows what the link left, nothing or the first port's record
// afresh. Without edits nothing is asked.
void TestFilterPanel::changingPortAsksFirst() {
    QFETCH(QString, answer);
    QFETCH(QString, meanwhile);
    QFETCH(QString, portAfter);
    QFETCH(QStringList, boxesAfter);
    RouterBench bench;
    QVERIFY(connectToFilterPage(bench));
    auto *chooser = bench.find<QComboBox>("comboBox_MiDiPorts");
    box(bench, "checkBox_9")->click();
    bool linkChanged = meanwhile.isEmpty();
    bench.answerer.keepOpen = [&] {
        if (!std::exchange(linkChanged, true)) {
            if (meanwhile == "hang up") {
                bench.sim.hangUp();
            } else {
                bench.find<QPushButton>("pushButton")->click();
                bench.find<QPushButton>("pushButton")->click();
            }
        }
        if (meanwhile == "reconnect")
            return chooser->count() == 0 || bench.link().state().filters.size() < chooser->count();
        return meanwhile == "hang up" && bench.link().isOpen();
    };
    bench.answerer.pressButton(answer);
    choosePort(bench, "MIDI OUT1");
    QTest::qWait(50);

    QCOMPARE(bench.answerer.messages(), QStringList{"Discard the changes to MIDI IN1?"});
    QCOMPARE(bench.answerer.seen.first().buttons, (QStringList{"Yes", "No"}));
    QCOMPARE(bench.link().isOpen(), meanwhile != "hang up");
    QCOMPARE(chooser->currentText(), portAfter);
    QCOMPARE(shownBoxes(bench.window()), panelWith(boxesAfter));
    QCOMPARE(setMarked(bench), boxesAfter.contains("checkBox_9"));
    if (meanwhile == "hang up")
        QCOMPARE(bench.find<QLabel>("label_status")->text(), QString("The router was unplugged"));

    if (boxesAfter.contains("checkBox_9"))
        box(bench, "checkBox_9")->click();
    choosePort(bench, "MIDI IN2");
    QCOMPARE(bench.answerer.seen.size(), 1);
    QCOMPARE(shownBoxes(bench.window()), panelWith({}));
}

// Closing the window with an unsent edit asks the same question; Enter keeps the window open.
void TestFilterPanel::closingAsksAboutUnsentEdits() {
    RouterBench bench;
    QVERIFY(connectToFilterPage(bench));
    box(bench, "checkBox_9")->click();
    bench.answerer.pressButton("No");
    QVERIFY(!bench.window().close());
    QVERIFY(bench.window().isVisible() && setMarked(bench));
    bench.answerer.pressButton("Yes");
    QVERIFY(bench.window().close());
    QVERIFY(!bench.window().isVisible());
    QCOMPARE(bench.answerer.messages(),
             QStringList({"Discard the changes to MIDI IN1?", "Discard the changes to MIDI IN1?"}));
    QCOMPARE(bench.answerer.seen.first().defaultButton, QString("No"));
}

QTEST_MAIN(TestFilterPanel)
#include "tst_filterpanel.moc"
