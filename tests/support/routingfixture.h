#pragma once

#include "tests/support/routerbench.h"

#include <QGraphicsView>
#include <QLineF>
#include <QMultiMap>
#include <QPushButton>
#include <QTest>

// What the routing page shows, read back for checks.
namespace RoutePicture {

using Route = RouterSimulator::Route;

QStringList texts(const QList<QPushButton *> &buttons);
QPushButton *named(const QList<QPushButton *> &buttons, const QString &text);
// Where a route line runs, in the scene: from 10 px right of the input button's middle to a
// third of a button width left of the output button, 5 px below their tops.
QLineF anchors(const QPushButton *from, const QPushButton *to);
// Route lines in the scene by their routes, the rubber band excluded.
QMultiMap<Route, MyLine *> routeLines(RouterBench &bench);
QList<Route> sorted(QList<Route> routes);
// The connection's route table.
QList<Route> tableRoutes(RouterBench &bench);
// The picture shows the route table: one line a route whose ports are on the page, each
// between its own two buttons.
bool consistent(RouterBench &bench);

} // namespace RoutePicture

// The window on screen, connected through the pseudo-terminal to the simulated router;
// mouse events go through the window system layer as a user's do.
class RoutingFixture {
public:
    // Connects to a router with these routes and ports; what takeSent() returns starts after
    // the window's queries.
    bool connect(const QList<RoutePicture::Route> &held = {},
                 RouterSimulator::PortCounts counts = {2, 2, 1, 1});
    QGraphicsView *view() { return bench.find<QGraphicsView>("graphicsView"); }
    QPushButton *input(const QString &text) {
        return RoutePicture::named(bench.routing().inputButtons(), text);
    }
    QPushButton *output(const QString &text) {
        return RoutePicture::named(bench.routing().outputButtons(), text);
    }
    void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // "Disconnect All", answered "Yes".
    void disconnectAll() {
        bench.answerer.pressButton("Yes");
        click(bench.find<QPushButton>("pushButton_5"));
    }
    // A right click on the middle of a route's line, then "Remove route" from its menu.
    void rightClickLine(const RoutePicture::Route &route);
    // Picks the action of this text from the menu open now; false when there is none.
    bool pickFromMenu(const QString &text);
    // Leaving the pressed button makes it let go; the moves after that reach the window.
    void drag(QPushButton *from, QWidget *to, QPoint at);
    // Lets anything written reach the router, then takes what it received.
    QList<QByteArray> takeSent();
    // Waits until the window has sent every command, has every verdict and shows the routes that
    // the router holds.
    bool agree(int timeoutMs = 3000);

    RouterBench bench;
};
