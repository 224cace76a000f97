// The main window before any router: the state it starts in. Its message box is answered and
// read by the tests of each question it asks.
#include "app/widget.h"
#include "tests/support/fakeinventory.h"
#include "tests/support/modalanswerer.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startState();
};

// No message box, the groups' All and None buttons hidden, and the scan for routers repeated.
void MainWindowTest::startState() {
    FakeInventory inventory;
    setDeviceInventory(&inventory);
    const auto noInventory = qScopeGuard([] { setDeviceInventory(nullptr); });
    ModalAnswerer answerer;
    Widget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    QVERIFY(answerer.seen.isEmpty());
    QVERIFY(!window.windowIcon().isNull());
    for (QPushButton *button : window.findChildren<QPushButton *>())
        QVERIFY2(!button->objectName().contains("_pb_") || button->isHidden(),
                 qPrintable(button->objectName()));
    QCOMPARE(window.findChild<QLabel *>("label_status")->text(), QString("Not connected"));
    QVERIFY(window.findChild<QPushButton *>("pushButton_cancelImport")->isHidden());

    const auto *scan = window.findChild<QTimer *>("portScanTimer");
    QVERIFY(scan->isActive() && !scan->isSingleShot());
    QCOMPARE(scan->interval(), 10000);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
