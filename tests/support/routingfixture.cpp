// Mouse events travel through the window system layer, as a user's do: the pressed button
// keeps the mouse, and what it ignores reaches the window.
#define QTEST_QPA_MOUSE_HANDLING

#include "tests/support/routingfixture.h"

#include "app/mainscense.h"
#include "app/myline.h"

#include <QApplication>
#include <QMenu>
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
    auto *view = qobject_cast<QGraphicsView *>(from->parentWidget());
    const auto inScene = [view](int x, int y) {
        return view->mapToScene(view->viewport()->mapFrom(view, QPoint(x, y)));
    };
    return QLineF(inScene(from->x() + 10 + from->width() / 2, from->y() + 5),
                  inScene(to->x() - to->width() / 3, to->y() + 5));
}

QMultiMap<Route, MyLine *> routeLines(RouterBench &bench) {
    QMultiMap<Route, MyLine *> lines;
    for (QGraphicsItem *item : bench.routing().scene().items())
        if (auto *line = dynamic_cast<MyLine *>(item);
            line && line->key != PortIdentity::RouteEnd())
            lines.insert(Route(line->key, line->value), line);
    return lines;
}

QList<Route> sorted(QList<Route> routes) {
    std::sort(routes.begin(), routes.end());
    return routes;
}

QList<Route> tableRoutes(RouterBench &bench) {
    QList<Route> routes;
    const auto &table = bench.link().state().routes;
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        routes << Route(it.key(), it.value());
    return sorted(routes);
}

bool consistent(RouterBench &bench) {
    const QMultiMap<Route, MyLine *> lines = routeLines(bench);
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        const RoutingView &routing = bench.routing();
        const QPushButton *from = routing.button(PortIdentity::End::Source, it.key().first);
        const QPushButton *to = routing.button(PortIdentity::End::Destination, it.key().second);
        if (!from || !to || it.value()->line() != anchors(from, to))
            return false;
    }
    return lines.keys() == tableRoutes(bench);
}

} // namespace RoutePicture

bool RoutingFixture::connect(const QList<RoutePicture::Route> &held,
                             RouterSimulator::PortCounts counts) {
    bench.sim.setPortCounts(counts);
    bench.sim.setRoutes(held);
    bench.window().show();
    const bool connected = QTest::qWaitForWindowExposed(&bench.window()) && bench.connectAndWait();
    bench.sim.clearReceived();
    return connected;
}

void RoutingFixture::rightClickLine(const RoutePicture::Route &route) {
    const MyLine *line = RoutePicture::routeLines(bench).value(route);
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {},
                      view()->mapFromScene(line->line().center()));
    pickFromMenu("Remove route");
}

bool RoutingFixture::pickFromMenu(const QString &text) {
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return false;
    QAction *picked = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == text)
            picked = action;
    menu->close();
    if (picked)
        picked->trigger();
    return picked != nullptr;
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
        return !bench.link().isListRunning() && bench.link().waitingCount() == 0 &&
               RoutePicture::sorted(bench.sim.routes()) == RoutePicture::tableRoutes(bench) &&
               RoutePicture::consistent(bench);
    };
    return QTest::qWaitFor(same, timeoutMs);
}
