#include "app/myline.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QStyleOptionGraphicsItem>

const QColor MyLine::SelectedColour(0, 102, 204);

MyLine::MyLine() {
    setAcceptHoverEvents(true);
}

QRectF MyLine::boundingRect() const {
    return shape().controlPointRect();
}

QPainterPath MyLine::shape() const {
    QPainterPath path(line().p1());
    path.lineTo(line().p2());
    QPainterPathStroker stroker;
    stroker.setWidth(pen().widthF() + 2 * HitMargin);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(path);
}

// The selection shows in the pen's colour, not in a dashed frame around the whole line.
void MyLine::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) {
    QStyleOptionGraphicsItem plain(*option);
    plain.state &= ~QStyle::State_Selected;
    QGraphicsLineItem::paint(painter, &plain, widget);
}

// A right press is taken here, so that where lines overlap only the topmost one asks for its
// deletion; other presses select as usual.
void MyLine::mousePressEvent(QGraphicsSceneMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit currLine(this);
        return;
    }
    QGraphicsLineItem::mousePressEvent(event);
}

void MyLine::hoverEnterEvent(QGraphicsSceneHoverEvent *event) {
    showLook(true, selected);
    QGraphicsLineItem::hoverEnterEvent(event);
}

void MyLine::hoverLeaveEvent(QGraphicsSceneHoverEvent *event) {
    showLook(false, selected);
    QGraphicsLineItem::hoverLeaveEvent(event);
}

QVariant MyLine::itemChange(GraphicsItemChange change, const QVariant &value) {
    if (change == ItemSelectedHasChanged)
        showLook(hovered, value.toBool());
    return QGraphicsLineItem::itemChange(change, value);
}

void MyLine::showLook(bool hover, bool select) {
    if (!hovered && !selected)
        restingPen = pen();
    hovered = hover;
    selected = select;
    QPen look = restingPen;
    if (selected)
        look.setColor(SelectedColour);
    if (hovered)
        look.setWidthF(2 * restingPen.widthF());
    setPen(look);
}
