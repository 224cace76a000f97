// The routing page holds its shape: whatever size the window takes (larger, maximized,
// restored, too small so that the page scrolls, connected while maximized), every route line
// runs between its own two buttons, and a right click on its middle deletes that route and no
// other. Run on a 1920x1080 screen at scale 1, and at scale 2, where the form's minimum does
// not fit and the window may be made smaller than it.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/myline.h"
#include "tests/support/routingfixture.h"
#include "tests/support/wire.h"

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

using namespace RoutePicture;

// MIDI IN 1 to 5 into MIDI OUT 1, MIDI IN 6 to USB Device 1, USB HOST 1 to USB Device 2: no two
// lines meet at their middles.
const QList<Route> held = {{{0, 1}, {0, 1}}, {{0, 2}, {0, 1}}, {{0, 3}, {0, 1}}, {{0, 4}, {0, 1}},
                           {{0, 5}, {0, 1}}, {{0, 6}, {2, 1}}, {{1, 1}, {2, 2}}};

bool near(const QPointF &a, const QPointF &b) {
    return QLineF(a, b).length() <= 1.0;
}

QByteArray deleteFrame(const Route &route) {
    const auto hex = [](int value) { return QByteArray::number(value, 16).rightJustified(2, '0'); };
    return Wire::frame("0201" + hex(route.first.first) + hex(route.first.second) +
                       hex(route.second.first) + hex(route.second.second) + "00");
}

QString buttonText(PortIdentity::End end, const PortIdentity::RouteEnd &port) {
    return PortIdentity::buttonText(end, port.first, port.second);
}

} // namespace

class TestRoutingView : public QObject {
    Q_OBJECT

private slots:
    void linesFollowTheirButtons_data();
    void linesFollowTheirButtons();
};

void TestRoutingView::linesFollowTheirButtons_data() {
    QTest::addColumn<QString>("size");
    for (const char *size : {"larger", "maximized", "connected maximized, restored", "smaller"})
        QTest::newRow(size) << size;
}

void TestRoutingView::linesFollowTheirButtons() {
    QFETCH(QString, size);
    RoutingFixture f;
    Widget &window = f.bench.window();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (size.startsWith("connected maximized"))
        window.showMaximized();
    QVERIFY(f.connect(held, {6, 6, 2, 2}));
    if (size == "larger")
        window.resize(screen.size() * 3 / 4);
    else if (size == "maximized")
        window.showMaximized();
    else if (size.endsWith("restored"))
        window.showNormal();
    else
        window.resize(600, 400); // no smaller than its minimum where the screen has room for it
    QTest::qWait(100);
    auto *page = f.bench.find<QScrollArea>("scrollArea");
    const bool scrolls = page->horizontalScrollBar()->isVisible();
    QCOMPARE(scrolls, window.width() < 900);
    const QMultiMap<Route, MyLine *> lines = routeLines(f.bench);
    QCOMPARE(lines.keys(), sorted(held));
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        const QLineF expected =
            anchors(f.input(buttonText(PortIdentity::End::Source, it.key().first)),
                    f.output(buttonText(PortIdentity::End::Destination, it.key().second)));
        QVERIFY(near(it.value()->line().p1(), expected.p1()) &&
                near(it.value()->line().p2(), expected.p2()));
    }
    // Each line is hit where it is drawn: its own menu removes its own route.
    for (const Route &route : sorted(held)) {
        const MyLine *line = routeLines(f.bench).value(route);
        QVERIFY(line);
        const QPoint middle = f.view()->mapFromScene(line->line().center());
        const QPoint onPage = f.view()->viewport()->mapTo(f.view(), middle);
        page->ensureVisible(onPage.x(), onPage.y());
        QTest::mouseClick(f.view()->viewport(), Qt::RightButton, {}, middle);
        QVERIFY(f.pickFromMenu("Remove route"));
        QCOMPARE(f.takeSent(), QList{deleteFrame(route)});
        QTRY_VERIFY(!routeLines(f.bench).contains(route));
    }
}

QTEST_MAIN(TestRoutingView)
#include "tst_routingview.moc"
