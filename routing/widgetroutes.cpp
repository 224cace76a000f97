#include "app/widget.h"

#include "routing/myline.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::drawRoute(QPushButton *source, QPushButton *destination, int sourceKind,
                       int sourceNumber, int destinationKind, int destinationNumber) {
    Q_UNUSED(source)
    Q_UNUSED(destination)
    Q_UNUSED(sourceKind)
    Q_UNUSED(sourceNumber)
    Q_UNUSED(destinationKind)
    Q_UNUSED(destinationNumber)
}
MyLine *Widget::createRouteLine(QPointF start, QPointF end, QPair<int, int> key,
                                QPair<int, int> value) {
    Q_UNUSED(start)
    Q_UNUSED(end)
    Q_UNUSED(key)
    Q_UNUSED(value)
    return nullptr;
}
void Widget::takeRouteLineOut(MyLine *line) {
    Q_UNUSED(line)
}
void Widget::removeAllRouteLines() {}
void Widget::clearPortButtons() {}
