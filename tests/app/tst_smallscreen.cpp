// The window on a virtual screen at twice the scale: it stays within the screen, keeps its
// form's minimum size where the screen has room for it, and where it has not the pages scroll:
// no button of the bottom row and no filter box is out of reach.
#include "tests/support/routerbench.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

namespace {

// The screen size in device pixels that the platform plugin was given ("vnc:size=WxH:...").
QSize configuredScreen() {
    const QRegularExpressionMatch size =
        QRegularExpression("size=(\\d+)x(\\d+)").match(qEnvironmentVariable("QT_QPA_PLATFORM"));
    return size.hasMatch() ? QSize(size.captured(1).toInt(), size.captured(2).toInt()) : QSize();
}

// The whole widget is on the screen and nothing of it is cut off by the window or a page.
bool wholeOnScreen(const QWidget *widget, const QRect &screen) {
    return widget->visibleRegion() == QRegion(widget->rect()) &&
           screen.contains(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

} // namespace

class TestSmallScreen : public QObject {
    Q_OBJECT

private slots:
    void nothingOutOfReach();
};

// A router with six ports on each side and a few routes, its window shown and connected. The
// screen must be the configured one at twice the scale, or the test would look at another.
// 1280x720 (2560x1440 at 2x) has room for the form's 1000x720; 960x540 (1920x1080) has not.
void TestSmallScreen::nothingOutOfReach() {
    const QSize pixels = configuredScreen();
    QVERIFY2(pixels.isValid(), "run with QT_QPA_PLATFORM=vnc:size=WxH:mmsize=...");
    RouterBench bench;
    bench.sim.setPortCounts({4, 4, 1, 1});
    bench.sim.setRoutes({{{0, 1}, {0, 4}}, {{2, 1}, {1, 1}}});
    Widget &window = bench.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(bench.connectAndWait());
    QCOMPARE(window.screen()->devicePixelRatio(), 2.0);
    QCOMPARE(window.screen()->geometry().size() * 2, pixels);
    const QRect screen = window.screen()->availableGeometry();
    if (screen.width() >= 1000 && screen.height() >= 720)
        QCOMPARE(window.minimumSize(), QSize(1000, 720));

    // The routing page shows the whole bottom row, the filter page all but pushButton_5; both
    // show the header's buttons.
    for (int page : {0, 1}) {
        bench.find<QTabWidget>("tabWidget")->setCurrentIndex(page);
        QTest::qWait(50);
        QVERIFY(screen.contains(window.frameGeometry()));
        for (const char *name : {"pushButton_2", "pushButton_3", "pushButton_saveRouter",
                                 "pushButton_4", "pushButton_openRouter", "pushButton_5",
                                 "pushButton_compare", "pushButton_history"}) {
            auto *button = bench.find<QPushButton>(name);
            QCOMPARE(button->isVisible(), page == 0 || name != QString("pushButton_5"));
            QVERIFY2(button->isHidden() || wholeOnScreen(button, screen), name);
        }
    }

    // The filter page is taller than a small screen leaves for it: it scrolls, its group boxes
    // keep their size, and the last box of each column can be brought into view whole (the
    // controllers scroll within their own list).
    auto *filterPage = bench.find<QScrollArea>("scrollArea_filters");
    for (const char *name : {"checkBox_16", "checkBox_SystemExclusive", "checkBox_Tune_Request",
                             "checkBox_System_Reset"}) {
        QWidget *last = bench.find<QWidget>(name);
        filterPage->ensureWidgetVisible(last, 0, 0);
        QTest::qWait(20);
        QVERIFY2(wholeOnScreen(last, screen), name);
    }
    for (const char *name : {"groupBox_6", "groupBox_3", "groupBox_2", "groupBox_4", "groupBox_5"})
        QCOMPARE(bench.find<QGroupBox>(name)->height(), 400);
}

QTEST_MAIN(TestSmallScreen)
#include "tst_smallscreen.moc"
