// Mouse events travel through the window system layer, as a user's do: the pressed button
// keeps the mouse, and what it ignores reaches the window.
#define QTEST_QPA_MOUSE_HANDLING

#include "tests/support/routingfixture.h"

#include "routing/mainscense.h"
#include "routing/myline.h"

#include <algorithm>

namespace RoutePicture {

QStringList texts(const QList<QPushButton *> &buttons) {
    QStringList list;
    for (QPushButton *button : buttons)
        list << button->text();
    return list;
}

QPushButton *named(const QList<QPushButton *> &buttons, const QString &text) {
    return buttons.value(texts(buttons).indexOf(text));
}

QLineF anchors(const QPushButton *from, const QPushButton *to) {
    return QLineF(from->x() + 10 + from->width() / 2, from->y() + 5, to->x() - to->width() / 3,
                  to->y() + 5);
}

QMultiMap<Route, MyLine *> routeLines(WidgetTestAccess &w) {
    QMultiMap<Route, MyLine *> lines;
    for (QGraphicsItem *item : w.scene()->items())
        if (auto *line = dynamic_cast<MyLine *>(item); line && line != w.dragLine())
            lines.insert(Route(line->key, line->value), line);
    return lines;
}

QList<Route> sorted(QList<Route> routes) {
    std::sort(routes.begin(), routes.end());
    return routes;
}

QList<Route> mapRoutes(WidgetTestAccess &w) {
    QList<Route> routes;
    for (auto it = w.routeMap().cbegin(); it != w.routeMap().cend(); ++it)
        routes << Route(it.key(), it.value());
    return sorted(routes);
}

bool consistent(WidgetTestAccess &w) {
    const QList<Route> known = mapRoutes(w);
    const QList<MyLine *> lines = routeLines(w).values();
    return routeLines(w).keys() == known &&
           std::adjacent_find(known.begin(), known.end()) == known.end() &&
           (!w.lastRouteLine() || lines.contains(w.lastRouteLine())) &&
           (!w.lineToDelete() || lines.contains(w.lineToDelete()));
}

} // namespace RoutePicture

bool RoutingFixture::connect(const QList<RoutePicture::Route> &held,
                             RouterSimulator::PortCounts counts) {
    bench.sim.setPortCounts(counts);
    bench.sim.setRoutes(held);
    bench.window().show();
    const bool connected = QTest::qWaitForWindowExposed(&bench.window()) && bench.connectAndWait();
    queries = bench.sim.receivedFrames();
    bench.sim.clearReceived();
    return connected;
}

void RoutingFixture::rightClickLine(const RoutePicture::Route &route) {
    const MyLine *line = RoutePicture::routeLines(w).value(route);
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {},
                      view()->mapFromScene(line->line().center()));
}

void RoutingFixture::drag(QPushButton *from, QWidget *to, QPoint at) {
    QTest::mousePress(from, Qt::LeftButton, {}, from->rect().center());
    QTest::mouseMove(to, at + QPoint(1, 1));
    QTest::mouseMove(to, at);
    QTest::mouseRelease(to, Qt::LeftButton, {}, at);
}

QList<QByteArray> RoutingFixture::takeSent() {
    QTest::qWait(40);
    const QList<QByteArray> sent = bench.sent();
    bench.sim.clearReceived();
    return sent;
}

bool RoutingFixture::agree(int timeoutMs) {
    const auto same = [&] {
        return w.verdictQueue().isEmpty() &&
               RoutePicture::sorted(bench.sim.routes()) == RoutePicture::mapRoutes(w) &&
               RoutePicture::consistent(w);
    };
    return QTest::qWaitFor(same, timeoutMs);
}
