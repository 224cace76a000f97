#pragma once

#include <QGraphicsLineItem>
#include <QObject>
#include <QPair>
#include <QPen>

// A route line (or the rubber-band line while a route is drawn). It knows its route and
// reports a right-button press so that the window can ask the router to delete the route.
// It answers the pointer a few pixels either side of its stroke, is drawn thicker while the
// pointer is on it and in another colour while it is selected.
class MyLine : public QObject, public QGraphicsLineItem {
    Q_OBJECT
public:
    MyLine();
    ~MyLine() override = default;

    // How far from the drawn stroke the pointer still hits the line.
    static constexpr qreal HitMargin = 4.0;
    static const QColor SelectedColour;

    QPair<int, int> key;   // source (port class code, number)
    QPair<int, int> value; // destination (port class code, number)

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

signals:
    void currLine(MyLine *line);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void showLook(bool hover, bool select);

    bool hovered = false;
    bool selected = false;
    QPen restingPen; // the pen it was given, kept while hovered or selected
};
