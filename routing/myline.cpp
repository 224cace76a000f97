#include "routing/myline.h"

#include <QGraphicsSceneMouseEvent>

void MyLine::mousePressEvent(QGraphicsSceneMouseEvent *event) {
    if (event->button() == Qt::RightButton)
        emit currLine(this);
    QGraphicsLineItem::mousePressEvent(event);
}
