#include "app/widget.h"

#include "routing/mainscense.h"
#include "routing/myline.h"

#include <QPen>
#include <QPushButton>

// Lines start 10 pixels right of the middle of an input button and end a third of a button
// width left of an output button, both 5 pixels below the button's top. View coordinates are
// used unchanged as scene coordinates.
QPointF Widget::sourceAnchor(const QWidget *button) {
    return QPointF(button->x() + 10 + button->width() / 2, button->y() + 5);
}

QPointF Widget::destinationAnchor(const QWidget *button) {
    return QPointF(button->x() - button->width() / 3, button->y() + 5);
}

void Widget::drawRoute(QPushButton *source, QPushButton *destination, int sourceKind,
                       int sourceNumber, int destinationKind, int destinationNumber) {
    const QPair<int, int> key(sourceKind, sourceNumber);
    const QPair<int, int> value(destinationKind, destinationNumber);
    if (routeMap.contains(key, value))
        return;
    routeMap.insert(key, value);
    createRouteLine(sourceAnchor(source), destinationAnchor(destination), key, value);
}

MyLine *Widget::createRouteLine(QPointF start, QPointF end, QPair<int, int> key,
                                QPair<int, int> value) {
    auto *line = new MyLine;
    line->setLine(QLineF(start, end));
    line->setFlags(QGraphicsItem::ItemIsSelectable);
    line->key = key;
    line->value = value;
    QPen pen(Qt::black);
    pen.setWidthF(2.0);
    line->setPen(pen);
    scene->addItem(line);
    connect(line, &MyLine::currLine, this, &Widget::deleteCurrLine);
    lastRouteLine = line;
    return line;
}

void Widget::takeRouteLineOut(MyLine *line) {
    disconnect(line, &MyLine::currLine, this, &Widget::deleteCurrLine);
    if (line->scene() == scene)
        scene->removeItem(line);
    routeMap.remove(line->key, line->value);
}

void Widget::releaseRouteLine(MyLine *line) {
    if (lastRouteLine == line)
        lastRouteLine = nullptr;
    if (lineToDelete == line)
        lineToDelete = nullptr;
    delete line;
}

void Widget::removeAllRouteLines() {
    removeRouteLinesExcept({});
}

// Takes every route line out of the picture except those of keptAdds' routes.
void Widget::removeRouteLinesExcept(const QList<RouteCommand::Command> &keptAdds) {
    const QList<QGraphicsItem *> items = scene->items();
    for (QGraphicsItem *item : items) {
        auto *line = dynamic_cast<MyLine *>(item);
        if (!line || line == dragLine ||
            keptAdds.contains(RouteCommand::add(line->key, line->value)))
            continue;
        takeRouteLineOut(line);
        releaseRouteLine(line);
    }
}

// The line of a command's route, or null when the picture has none.
MyLine *Widget::routeLine(const RouteCommand::Command &command) const {
    const QList<QGraphicsItem *> items = scene->items();
    for (QGraphicsItem *item : items) {
        auto *line = dynamic_cast<MyLine *>(item);
        if (line && line != dragLine && line->key == command.source &&
            line->value == command.destination)
            return line;
    }
    return nullptr;
}

void Widget::clearPortButtons() {
    qDeleteAll(inputButtons);
    inputButtons.clear();
    qDeleteAll(outputButtons);
    outputButtons.clear();
}
