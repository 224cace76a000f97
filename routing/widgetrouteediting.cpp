#include "app/widget.h"

#include "link/sysexframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "routing/portidentity.h"
#include "ui_widget.h"

#include <QDebug>
#include <QGraphicsView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSerialPort>

namespace {

// Byte 10 of a route command: what to do with the route.
constexpr int RouteDelete = 0x00;
constexpr int RouteAdd = 0x01;
constexpr int RouteDeleteAll = 0x7F;

QByteArray routeCommand(QPair<int, int> source, QPair<int, int> destination, int action) {
    return SysexFrame::build(
        SysexFrame::ClassSet, SysexFrame::CodeRoute,
        {source.first, source.second, destination.first, destination.second, action});
}

} // namespace

void Widget::sendCommand(const QByteArray &frame) {
    commandBuffer = frame;
    serialPort->write(commandBuffer);
}

void Widget::anchorSource(QPushButton *button) {
    if (const auto port =
            PortIdentity::parseButtonText(PortIdentity::End::Source, button->text())) {
        srcKind = port->first;
        srcNumber = port->second;
    }
    startPoint = sourceAnchor(button);
    endPoint = startPoint;
}

void Widget::addRoute(QPushButton *button) {
    if (startPoint.isNull())
        return;
    if (const auto port =
            PortIdentity::parseButtonText(PortIdentity::End::Destination, button->text())) {
        dstKind = port->first;
        dstNumber = port->second;
    }
    const QPair<int, int> source(srcKind, srcNumber);
    const QPair<int, int> destination(dstKind, dstNumber);
    // A USB port is one socket in both columns; a MIDI IN and a MIDI OUT of one number are two.
    if (source == destination && srcKind != PortIdentity::Midi)
        return;
    if (routeMap.contains(source, destination))
        return;
    routeMap.insert(source, destination);
    endPoint = destinationAnchor(button);
    createRouteLine(startPoint, endPoint, source, destination);
    sendCommand(routeCommand(source, destination, RouteAdd));
    serialPort->flush();
}

void Widget::connectPB11() {
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    anchorSource(button);
    dragLine->setLine(QLineF(startPoint, endPoint));
    if (dragLine->scene() != scene)
        scene->addItem(dragLine);
}

void Widget::connectPB1(bool isChecked) {
    Q_UNUSED(isChecked)
    connectPB11();
}

void Widget::connectPB2(bool isChecked) {
    Q_UNUSED(isChecked)
    if (auto *button = qobject_cast<QPushButton *>(sender()))
        addRoute(button);
}

void Widget::deleteCurrLine(MyLine *line) {
    qDebug() << "Widget::deleteCurrLine";
    sendCommand(routeCommand(line->key, line->value, RouteDelete));
    lastCommand = 1;
    lineToDelete = line;
}

void Widget::on_pushButton_5_clicked() {
    if (!checkConnected())
        return;
    if (showMessage(tr("Yes"), tr("Disconnect All ?"), tr("NO")) != QMessageBox::Ok)
        return;
    sendCommand(routeCommand({0, 0}, {0, 0}, RouteDeleteAll));
    lastCommand = 2;
}

void Widget::mousePressEvent(QMouseEvent *event) {
    const QString where = QString("(%1,%2)").arg(event->x()).arg(event->y());
    switch (event->button()) {
    case Qt::LeftButton:
        qDebug().noquote() << "左键：" + where;
        break;
    case Qt::RightButton:
        qDebug().noquote() << "右键：" + where;
        break;
    case Qt::MiddleButton:
        qDebug().noquote() << "中键：" + where;
        break;
    default:
        break;
    }
}

// The rubber band trails the pointer a little up and to the left of it, so that the pointer
// stays over whatever it is dragged onto.
void Widget::mouseMoveEvent(QMouseEvent *event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = ui->graphicsView->mapFromGlobal(event->globalPos());
    dragLine->setLine(QLineF(startPoint, QPointF(at.x() - 40.0, at.y() - 10.0)));
}

// A release that no button took ends the gesture; over an output button it adds the route.
void Widget::mouseReleaseEvent(QMouseEvent *e) {
    if (!startPoint.isNull()) {
        const QPoint at = ui->graphicsView->mapFromGlobal(e->globalPos());
        for (QPushButton *button : qAsConst(outputButtons)) {
            if (button->geometry().contains(at)) {
                button->click();
                break;
            }
        }
    }
    startPoint = QPointF(0, 0);
    if (dragLine->scene() == scene)
        scene->removeItem(dragLine);
}
