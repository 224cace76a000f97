// The main window before any router: the state it starts in. Its message box is answered and
// read by the tests of each question it asks.
#include "app/widget.h"
#include "tests/support/fakeinventory.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/widgettestaccess.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
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

    void startState();

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

// Only the five group boxes are tristate; the group's All and None buttons are hidden.
void MainWindowTest::startState() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);
    QVERIFY(answerer->seen.isEmpty());
    QCOMPARE(find<QTabWidget>("tabWidget")->currentIndex(), 0);
    QVERIFY(!window->windowIcon().isNull());
    QStringList tristate;
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        if (box->isTristate())
            tristate << box->objectName();
    tristate.sort();
    QCOMPARE(tristate,
             QStringList({"checkBox_Channels", "checkBox_ControlChange", "checkBox_Messages",
                          "checkBox_SystemCommon", "checkBox_SystemRealtime"}));
    for (QPushButton *button : window->findChildren<QPushButton *>())
        QVERIFY2(!button->objectName().contains("_pb_") || button->isHidden(),
                 qPrintable(button->objectName()));
    QCOMPARE(find<QLabel>("label_status")->text(), QString("Not connected"));
    QVERIFY(find<QPushButton>("pushButton_cancelImport")->isHidden());

    QTimer *scan = WidgetTestAccess(*window).portScanTimer();
    QVERIFY(scan->isActive() && !scan->isSingleShot());
    QCOMPARE(scan->interval(), 10000);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
