// The main window: its form (every name once, the details a slip would break), the state it
// starts in, the tab-dependent "Disconnect All" button and the one message box.
#include "app/widget.h"
#include "tests/support/fakeinventory.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/widgettestaccess.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QStringList numbered(const QString &pattern, int first, int last) {
    QStringList names;
    for (int n = first; n <= last; ++n)
        names << pattern.arg(n);
    return names;
}

const QStringList GroupBoxes = {"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                                "checkBox_SystemCommon", "checkBox_SystemRealtime"};
const QStringList AllNoneButtons =
    QString("channel_pb_all channel_pb_none Messages_pb_all Messages_pb_none ControlChange_pb_all "
            "ControlChange_pb_none System_common_pb_all System_common_pb_none "
            "SystemRealtime_pb_all SystemRealtime_pb_none")
        .split(' ');

QStringList checkBoxNames() {
    return GroupBoxes + numbered("checkBox_%1", 1, 16) + numbered("c%1", 0, 127) +
           QString("checkBox_Applies_To_All checkBox_NoteOn checkBox_NoteOff "
                   "checkBox_KeyAftertouch checkBox_ProgramChange checkBox_ChannelPressure "
                   "checkBox_PitchBend checkBox_SystemExclusive checkBox_MIDI_Time_Code "
                   "checkBox_SongPosPointer checkBox_song_select checkBox_Tune_Request "
                   "checkBox_Timing_Clock checkBox_Tick checkBox_Start checkBox_Continue "
                   "checkBox_Stop checkBox_Active_Sensing checkBox_System_Reset")
               .split(' ');
}

QStringList otherNames() {
    return AllNoneButtons + numbered("pushButton_%1", 2, 5) + numbered("verticalLayout_%1", 3, 17) +
           numbered("horizontalLayout_%1", 2, 10) +
           QString("pushButton Device lable_manufacture label_2 ComboBox_Devices "
                   "comboBox_MiDiPorts groupBox_2 groupBox_3 groupBox_4 groupBox_5 groupBox_6 "
                   "scrollArea addItemScroll graphicsView tabWidget header tab tab_2 "
                   "scrollAreaWidgetContents layoutWidget1 verticalLayout verticalLayout_20 "
                   "verticalLayout_24 verticalLayout_66 horizontalLayout label_status "
                   "pushButton_cancelImport scrollArea_filters scrollAreaWidgetContents_filters "
                   "verticalLayout_filterPage")
               .split(' ');
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setDeviceInventory(&inventory); }
    void init();
    void cleanup() { window.reset(); }
    void cleanupTestCase() { setDeviceInventory(nullptr); }

    void everyNameOnceAnd168CheckBoxes();
    void textsStyleAndScrollingColumn();
    void startState();
    void disconnectAllOnlyOnTheRoutingPage();
    void showMessage_data();
    void showMessage();

private:
    template <typename T> T *find(const QString &name) { return window->findChild<T *>(name); }

    FakeInventory inventory;
    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<Widget> window;
};

void MainWindowTest::init() {
    answerer = std::make_unique<ModalAnswerer>();
    window = std::make_unique<Widget>();
}

void MainWindowTest::everyNameOnceAnd168CheckBoxes() {
    QStringList boxes;
    for (const QCheckBox *box : window->findChildren<QCheckBox *>())
        boxes << box->objectName();
    QStringList expected = checkBoxNames();
    boxes.sort();
    expected.sort();
    QCOMPARE(boxes.size(), 168);
    QCOMPARE(boxes, expected);
    for (const QString &name : checkBoxNames() + otherNames())
        QVERIFY2(window->findChildren<QObject *>(name).size() == 1, qPrintable(name));
}

void MainWindowTest::textsStyleAndScrollingColumn() {
    auto *tabs = find<QTabWidget>("tabWidget");
    QCOMPARE(tabs->tabText(0), QString(17, ' ') + "MIDI Port Routing" + QString(11, ' '));
    QCOMPARE(tabs->tabText(1), QString(15, ' ') + "MIDI Messages Filter" + QString(13, ' '));
    QCOMPARE(find<QPushButton>("pushButton_3")->styleSheet(),
             "\nQPushButton{\nbackground-color:rgb(216,216,216);\nborder:1px solid gray; "
             "\nborder-radius:8px;" +
                 QString(17, ' ') + "\n" + QString(8, ' ') + "}");

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    tabs->setCurrentIndex(1);
    auto *scroll = find<QScrollArea>("addItemScroll");
    QTRY_VERIFY_WITH_TIMEOUT(scroll->verticalScrollBar()->isVisible(), 2000);
    QCOMPARE(scroll->widget()->height(), 3900);
    scroll->ensureWidgetVisible(find<QCheckBox>("c127"));
    QVERIFY(!find<QCheckBox>("c127")->visibleRegion().isEmpty());
}

void MainWindowTest::startState() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);
    QVERIFY(answerer->seen.isEmpty());
    QCOMPARE(find<QTabWidget>("tabWidget")->currentIndex(), 0);
    QVERIFY(find<QTabWidget>("tabWidget")->documentMode());
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!find<QLabel>("lable_manufacture")->pixmap(Qt::ReturnByValue).isNull());
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        QVERIFY2(box->isTristate() == GroupBoxes.contains(box->objectName()),
                 qPrintable(box->objectName()));
    for (const QString &name : AllNoneButtons)
        QVERIFY2(find<QPushButton>(name)->isHidden(), qPrintable(name));
    QCOMPARE(find<QLabel>("label_status")->text(), QString("Not connected"));
    QVERIFY(find<QPushButton>("pushButton_cancelImport")->isHidden());
    // The form's maximum width was below its minimum; the window has no maximum now.
    QCOMPARE(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

    QTimer *scan = WidgetTestAccess(*window).portScanTimer();
    QVERIFY(scan->isActive() && !scan->isSingleShot());
    QCOMPARE(scan->interval(), 10000);
}

void MainWindowTest::disconnectAllOnlyOnTheRoutingPage() {
    auto *disconnectAll = find<QPushButton>("pushButton_5");
    for (int page : {1, 0}) {
        find<QTabWidget>("tabWidget")->setCurrentIndex(page);
        QCOMPARE(disconnectAll->isHidden(), page == 1);
    }
}

void MainWindowTest::showMessage_data() {
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("result");
    QTest::newRow("notice") << QStringList{"OK"} << 0 << int(QMessageBox::Ok);
    QTest::newRow("question, first button")
        << QStringList{"Yes", "NO"} << 0 << int(QMessageBox::Ok);
    QTest::newRow("question, second button")
        << QStringList{"Yes", "NO"} << 1 << int(QMessageBox::Cancel);
}

void MainWindowTest::showMessage() {
    QFETCH(QStringList, buttons);
    QFETCH(int, press);
    QFETCH(int, result);
    answerer->pressButton(buttons.at(press));
    QCOMPARE(window->showMessage(buttons.first(), "Route saved", buttons.value(1)), result);
    QCOMPARE(answerer->seen.size(), 1);
    QCOMPARE(answerer->seen.first().title, QString("Pellvane"));
    QCOMPARE(answerer->seen.first().text, QString("Route saved"));
    QCOMPARE(answerer->seen.first().buttons, buttons);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
