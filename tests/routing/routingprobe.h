#pragma once

#include "link/sysexframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "tests/support/widgettestaccess.h"

#include <QList>
#include <QPair>
#include <QPushButton>
#include <algorithm>

// Router replies as they arrive, and what the routing page shows, for the routing tests.
namespace RoutingProbe {

using RouteEnd = QPair<int, int>;
using Route = QPair<RouteEnd, RouteEnd>;

inline QByteArray modeReport(int mode) {
    return SysexFrame::build(SysexFrame::ClassQuery, 0x01, {mode});
}
inline QByteArray portCountReport(int midiIn, int midiOut, int usbHost, int usbDevice) {
    return SysexFrame::build(SysexFrame::ClassQuery, 0x02, {midiIn, midiOut, usbHost, usbDevice});
}
inline QByteArray routeReport(const Route &route, int state = 0x01) {
    return SysexFrame::build(
        SysexFrame::ClassQuery, 0x03,
        {route.first.first, route.first.second, route.second.first, route.second.second, state});
}
inline QByteArray filterPortCountReport(std::initializer_list<int> counts) {
    return SysexFrame::build(SysexFrame::ClassQuery, 0x04, counts);
}
inline QByteArray portFilterReport(int code, int number, const QByteArray &filterBytes) {
    QByteArray payload;
    payload.append(char(code));
    payload.append(char(number));
    payload.append(filterBytes.leftJustified(25, '\0', true));
    payload.append(2, '\0');
    return SysexFrame::build(SysexFrame::ClassQuery, 0x05, payload);
}
inline QByteArray result(int code, int resultByte, int reason) {
    return SysexFrame::build(SysexFrame::ClassSet, code, {resultByte, reason});
}
inline QByteArray routeResult(int resultByte, int reason) {
    return result(SysexFrame::CodeRoute, resultByte, reason);
}

// Where a route line meets the buttons, from their current geometry.
inline QPointF sourceAnchorOf(const QPushButton *b) {
    return QPointF(b->x() + 10 + b->width() / 2, b->y() + 5);
}
inline QPointF destinationAnchorOf(const QPushButton *b) {
    return QPointF(b->x() - b->width() / 3, b->y() + 5);
}

// The route lines in the scene (the rubber band excluded).
inline QList<MyLine *> routeLines(WidgetTestAccess &w) {
    QList<MyLine *> lines;
    const QList<QGraphicsItem *> items = w.scene()->items();
    for (QGraphicsItem *item : items) {
        auto *line = dynamic_cast<MyLine *>(item);
        if (line && line != w.dragLine())
            lines << line;
    }
    return lines;
}

inline QList<Route> sorted(QList<Route> routes) {
    std::sort(routes.begin(), routes.end());
    return routes;
}

inline QList<Route> routesOfLines(WidgetTestAccess &w) {
    QList<Route> routes;
    for (MyLine *line : routeLines(w))
        routes << Route(line->key, line->value);
    return sorted(routes);
}

inline QList<Route> routesOfMap(WidgetTestAccess &w) {
    QList<Route> routes;
    for (auto it = w.routeMap().cbegin(); it != w.routeMap().cend(); ++it)
        routes << Route(it.key(), it.value());
    return sorted(routes);
}

inline MyLine *lineOf(WidgetTestAccess &w, const Route &route) {
    for (MyLine *line : routeLines(w))
        if (line->key == route.first && line->value == route.second)
            return line;
    return nullptr;
}

} // namespace RoutingProbe
