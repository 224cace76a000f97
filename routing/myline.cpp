#include "routing/myline.h"

#include <QGraphicsSceneMouseEvent>

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
