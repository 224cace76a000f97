// The main window's life: the state it starts in, the start-up query frames, the port scan
// timer, the tab-dependent "Disconnect All" button, the one message box, and a clean teardown.
#include "app/widget.h"
#include "filters/portfilteringsituation.h"
#include "link/fifobuffer.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "tests/support/fakeinventory.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/widgettestaccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QLabel>
#include <QMessageBox>
#include <QPen>
#include <QPointer>
#include <QPushButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setDeviceInventory(&inventory); }
    void init();
    void cleanup() { window.reset(); }
    void cleanupTestCase() { setDeviceInventory(nullptr); }

    void startsOnTheRoutingPageWithoutAMessage();
    void startStateOfTheFilterPanel();
    void ownedObjectsAreCreated();
    void queryFrames();
    void portScanTimerRepeatsEveryTenSeconds();
    void disconnectAllOnlyOnTheRoutingPage();
    void showMessage_data();
    void showMessage();
    void teardownWithRubberBandButtonsAndRecords();

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

void MainWindowTest::startsOnTheRoutingPageWithoutAMessage() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);
    QCOMPARE(answerer->seen.size(), 0);

    auto *tabs = find<QTabWidget>("tabWidget");
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->documentMode());
    QCOMPARE(find<QComboBox>("ComboBox_Devices")->count(), 0);
    QCOMPARE(find<QPushButton>("pushButton")->text(), QString("Connect"));
    QVERIFY(find<QPushButton>("pushButton_5")->isVisible());
    QVERIFY(!window->isMaximized());
    QVERIFY(!window->windowIcon().pixmap(16).isNull());
    QVERIFY(!find<QLabel>("lable_manufacture")->pixmap(Qt::ReturnByValue).isNull());
}

void MainWindowTest::startStateOfTheFilterPanel() {
    const QStringList groups = {"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                                "checkBox_SystemCommon", "checkBox_SystemRealtime"};
    const QList<QCheckBox *> boxes = window->findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes)
        QVERIFY2(box->isTristate() == groups.contains(box->objectName()),
                 qPrintable(box->objectName()));

    for (const char *group :
         {"channel", "Messages", "ControlChange", "System_common", "SystemRealtime"})
        for (const char *which : {"_pb_all", "_pb_none"}) {
            const QString name = QString(group) + which;
            QVERIFY2(find<QPushButton>(name)->isHidden(), qPrintable(name));
        }
}

void MainWindowTest::ownedObjectsAreCreated() {
    WidgetTestAccess access(*window);
    auto *view = find<QGraphicsView>("graphicsView");
    QCOMPARE(view->scene(), access.scene());
    QCOMPARE(access.scene()->parent(), static_cast<QObject *>(view));

    QVERIFY(access.serialPort() && !access.serialPort()->isOpen());
    QVERIFY(!access.serialPort()->parent());
    QVERIFY(access.fifoBuffer());
    QVERIFY(!access.fifoBuffer()->parent());

    // The rubber band is ready but not drawn: a zero-length solid black line, 2 pixels wide.
    MyLine *band = access.dragLine();
    QVERIFY(band);
    QVERIFY(band->line().isNull());
    QVERIFY(!band->scene());
    QCOMPARE(band->pen().color(), QColor(Qt::black));
    QCOMPARE(band->pen().widthF(), 2.0);
    QCOMPARE(band->pen().style(), Qt::SolidLine);

    QCOMPARE(access.portFilters().size(), 0);
    QCOMPARE(access.inputButtons().size(), 0);
    QCOMPARE(access.outputButtons().size(), 0);
    QCOMPARE(access.routeMap().size(), 0);
    QVERIFY(!access.lastRouteLine());
}

void MainWindowTest::queryFrames() {
    const QList<QByteArray> expected = {
        QByteArray::fromHex("F000215E010301F7"), QByteArray::fromHex("F000215E010302F7"),
        QByteArray::fromHex("F000215E010303F7"), QByteArray::fromHex("F000215E010304F7"),
        QByteArray::fromHex("F000215E010305F7")};
    QCOMPARE(WidgetTestAccess(*window).queryFrames(), expected);
}

void MainWindowTest::portScanTimerRepeatsEveryTenSeconds() {
    QTimer *timer = WidgetTestAccess(*window).portScanTimer();
    QVERIFY(timer);
    QCOMPARE(timer->parent(), static_cast<QObject *>(window.get()));
    QCOMPARE(timer->interval(), 10000);
    QVERIFY(!timer->isSingleShot());
    QVERIFY(timer->isActive());
}

void MainWindowTest::disconnectAllOnlyOnTheRoutingPage() {
    auto *tabs = find<QTabWidget>("tabWidget");
    auto *disconnectAll = find<QPushButton>("pushButton_5");
    QVERIFY(!disconnectAll->isHidden());
    tabs->setCurrentIndex(1);
    QVERIFY(disconnectAll->isHidden());
    tabs->setCurrentIndex(0);
    QVERIFY(!disconnectAll->isHidden());
}

void MainWindowTest::showMessage_data() {
    QTest::addColumn<QString>("okText");
    QTest::addColumn<QString>("cancelText");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("result");

    QTest::newRow("notice") << "OK"
                            << ""
                            << "OK" << QStringList{"OK"} << int(QMessageBox::Ok);
    QTest::newRow("question, first button")
        << "Yes"
        << "NO"
        << "Yes" << QStringList{"Yes", "NO"} << int(QMessageBox::Ok);
    QTest::newRow("question, second button")
        << "Yes"
        << "NO"
        << "NO" << QStringList{"Yes", "NO"} << int(QMessageBox::Cancel);
}

void MainWindowTest::showMessage() {
    QFETCH(QString, okText);
    QFETCH(QString, cancelText);
    QFETCH(QString, press);
    QFETCH(QStringList, buttons);
    QFETCH(int, result);

    answerer->pressButton(press);
    const QString message = "Please connect the device and try again";
    QCOMPARE(window->showMessage(okText, message, cancelText), result);

    QCOMPARE(answerer->seen.size(), 1);
    const ModalAnswerer::Seen &seen = answerer->seen.first();
    QCOMPARE(seen.kind, QString("message"));
    QCOMPARE(seen.title, QString("Pellvane"));
    QCOMPARE(seen.text, message);
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(answerer->pendingAnswers(), 0);
}

// The window deletes what it made without a parent while the children it hands to the view
// still exist; run under the sanitizers this catches double deletes and leaks.
void MainWindowTest::teardownWithRubberBandButtonsAndRecords() {
    WidgetTestAccess access(*window);
    auto *view = find<QGraphicsView>("graphicsView");
    access.inputButtons() << new QPushButton("MIDI IN 1", view) << new QPushButton("MIDI IN 2");
    access.outputButtons() << new QPushButton("MIDI OUT 1", view);
    access.portFilters() << new PortFilteringSituation("MIDI IN1");
    access.scene()->addItem(access.dragLine());
    QPointer<QPushButton> onView = access.inputButtons().first();
    QPointer<QPushButton> loose = access.inputButtons().last();
    QPointer<MainScense> scene = access.scene();

    window.reset();
    QVERIFY(onView.isNull());
    QVERIFY(loose.isNull());
    QVERIFY(scene.isNull());
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
