#include "app/widget.h"

#include "app/tracecategories.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "routing/portidentity.h"
#include "routing/routecommand.h"
#include "ui_widget.h"

#include <QDebug>
#include <QGraphicsView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>

void Widget::armVerdictTimer() {
    if (const std::optional<qint64> ms = verdictQueue.msUntilOverdue(verdictClock.elapsed()))
        verdictTimer->start(int(*ms));
    else
        verdictTimer->stop();
}

// Writes a route command and waits for its verdict in the queue. Nothing is written, and
// false returned, when the port is closed.
bool Widget::sendRouteCommand(const RouteCommand::Command &command) {
    commandBuffer = RouteCommand::frame(command);
    if (!writeFrame(commandBuffer))
        return false;
    verdictQueue.push(command, verdictClock.elapsed());
    armVerdictTimer();
    return true;
}

// The router did not answer in time: whatever it did with the waiting commands, the lines
// are drawn again from what it reports now.
void Widget::rereadRoutes() {
    const std::optional<qint64> msLeft = verdictQueue.msUntilOverdue(verdictClock.elapsed());
    if (!msLeft || *msLeft > 0) { // a timer may fire a little early
        armVerdictTimer();
        return;
    }
    qCDebug(lcRouting) << "no route verdict for" << VerdictQueue::TimeoutMs
                       << "ms, routes read again";
    forgetPendingCommands();
    removeAllRouteLines();
    if (writeFrame(queryFrame3))
        serialPort->flush();
}

// Pending verdicts, the command of the last verdict and the gesture in progress belong to
// one connection.
void Widget::forgetPendingCommands() {
    verdictQueue.clear();
    verdictTimer->stop();
    lastCommand = 0;
    lineToDelete = nullptr;
    endGesture();
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

// Returns whether the add-route command went out.
bool Widget::addRoute(QPushButton *button) {
    if (startPoint.isNull() || !serialPort->isOpen())
        return false;
    if (const auto port =
            PortIdentity::parseButtonText(PortIdentity::End::Destination, button->text())) {
        dstKind = port->first;
        dstNumber = port->second;
    }
    const QPair<int, int> source(srcKind, srcNumber);
    const QPair<int, int> destination(dstKind, dstNumber);
    if (PortIdentity::isLoopback(source, destination) || routeMap.contains(source, destination))
        return false;
    routeMap.insert(source, destination);
    endPoint = destinationAnchor(button);
    createRouteLine(startPoint, endPoint, source, destination);
    sendRouteCommand(RouteCommand::add(source, destination));
    serialPort->flush();
    return true;
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
    qCDebug(lcRouting) << "Widget::deleteCurrLine";
    const RouteCommand::Command command = RouteCommand::remove(line->key, line->value);
    if (verdictQueue.isWaiting(command) || !sendRouteCommand(command))
        return;
    lastCommand = 1;
    lineToDelete = line;
}

void Widget::on_pushButton_5_clicked() {
    if (!checkConnected())
        return;
    if (showMessage(tr("Yes"), tr("Disconnect All ?"), tr("NO")) != QMessageBox::Ok)
        return;
    // The port may have closed while the question was open.
    if (sendRouteCommand(RouteCommand::clearAll()))
        lastCommand = 2;
}

// Presses that reach the window fell on an empty part of the page: a left one lets go of the
// chosen source.
void Widget::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        endGesture();
    const QString where = QString("(%1,%2)").arg(event->x()).arg(event->y());
    switch (event->button()) {
    case Qt::LeftButton:
        qCDebug(lcInput).noquote() << "左键：" + where;
        break;
    case Qt::RightButton:
        qCDebug(lcInput).noquote() << "右键：" + where;
        break;
    case Qt::MiddleButton:
        qCDebug(lcInput).noquote() << "中键：" + where;
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
    endGesture();
}

void Widget::endGesture() {
    startPoint = QPointF(0, 0);
    if (dragLine && dragLine->scene() == scene)
        scene->removeItem(dragLine);
}
