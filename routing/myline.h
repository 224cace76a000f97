#pragma once

#include <QGraphicsLineItem>
#include <QObject>
#include <QPair>

// A route line (or the rubber-band line while a route is drawn). It knows its route and
// reports a right-button press so that the window can ask the router to delete the route.
class MyLine : public QObject, public QGraphicsLineItem {
    Q_OBJECT
public:
    MyLine() = default;
    ~MyLine() override = default;

    QPair<int, int> key;   // source (port class code, number)
    QPair<int, int> value; // destination (port class code, number)

signals:
    void currLine(MyLine *line);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
};
