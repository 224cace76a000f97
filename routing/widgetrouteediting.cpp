#include "app/widget.h"

#include "app/tracecategories.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "routing/portidentity.h"
#include "routing/routecommand.h"
#include "routing/routeeditcommand.h"
#include "ui_widget.h"

#include <QAction>
#include <QDebug>
#include <QGraphicsView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>
#include <QUndoStack>
#include <utility>

namespace {

// Added to a port button's style while it is the chosen source of a route.
const QString chosenSourceStyle = QStringLiteral("QPushButton{border:3px solid rgb(0, 102, 204);}");

} // namespace

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
    if (startPoint.isNull())
        return false;
    if (const auto port =
            PortIdentity::parseButtonText(PortIdentity::End::Destination, button->text())) {
        dstKind = port->first;
        dstNumber = port->second;
    }
    endPoint = destinationAnchor(button);
    return recordAndSendAdd({srcKind, srcNumber}, {dstKind, dstNumber}, startPoint, endPoint);
}

// A new route is recorded and drawn at once and taken back if the router refuses it.
bool Widget::recordAndSendAdd(PortIdentity::RouteEnd source, PortIdentity::RouteEnd destination,
                              QPointF from, QPointF to) {
    if (!serialPort->isOpen() || !PortIdentity::isRoutable({source, destination}) ||
        routeMap.contains(source, destination))
        return false;
    routeMap.insert(source, destination);
    createRouteLine(from, to, source, destination);
    sendRouteCommand(RouteCommand::add(source, destination));
    serialPort->flush();
    return true;
}

// Adds a route between the buttons of the current port map, outside any gesture.
bool Widget::sendRouteAdd(PortIdentity::RouteEnd source, PortIdentity::RouteEnd destination) {
    QPushButton *from = routeButton(PortIdentity::End::Source, source);
    QPushButton *to = routeButton(PortIdentity::End::Destination, destination);
    return from && to &&
           recordAndSendAdd(source, destination, sourceAnchor(from), destinationAnchor(to));
}

// The chosen input shows as chosen; the rubber band appears once the pointer moves.
void Widget::connectPB11() {
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    endGesture();
    anchorSource(button);
    chosenSource = button;
    button->setStyleSheet(button->styleSheet() + chosenSourceStyle);
}

void Widget::connectPB1(bool isChecked) {
    Q_UNUSED(isChecked)
    connectPB11();
}

void Widget::connectPB2(bool isChecked) {
    Q_UNUSED(isChecked)
    auto *button = qobject_cast<QPushButton *>(sender());
    if (button && addRoute(button))
        recordEdit(
            RouteEditCommand::added({{srcKind, srcNumber}, {dstKind, dstNumber}}, replayer()));
}

void Widget::deleteCurrLine(MyLine *line) {
    qCDebug(lcRouting) << "Widget::deleteCurrLine";
    if (requestDelete(line))
        recordEdit(RouteEditCommand::deleted({line->key, line->value}, replayer()));
}

// The line stays until the router confirms its deletion; a delete already waiting is not
// sent again.
bool Widget::requestDelete(MyLine *line) {
    const RouteCommand::Command command = RouteCommand::remove(line->key, line->value);
    if (verdictQueue.isWaiting(command) || !sendRouteCommand(command))
        return false;
    lastCommand = 1;
    lineToDelete = line;
    return true;
}

bool Widget::requestClear() {
    if (!sendRouteCommand(RouteCommand::clearAll()))
        return false;
    lastCommand = 2;
    return true;
}

// Enter and Escape answer "NO": only a deliberate "Yes" clears the router.
void Widget::on_pushButton_5_clicked() {
    if (!checkConnected())
        return;
    if (showMessage(tr("Yes"), tr("Disconnect All ?"), tr("NO")) != QMessageBox::Ok)
        return;
    QList<RouteEditCommand::Route> routes;
    for (auto it = routeMap.cbegin(); it != routeMap.cend(); ++it)
        routes.append(RouteEditCommand::Route(it.key(), it.value()));
    // The port may have closed while the question was open.
    if (requestClear())
        recordEdit(RouteEditCommand::cleared(routes, replayer()));
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
    if (startPoint.isNull() || !(event->buttons() & Qt::LeftButton))
        return;
    if (dragLine->scene() != scene)
        scene->addItem(dragLine);
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
    if (chosenSource)
        chosenSource->setStyleSheet(chosenSource->styleSheet().remove(chosenSourceStyle));
    chosenSource = nullptr;
}

// Undo and redo of route edits (Ctrl+Z, Ctrl+Shift+Z), and Delete or Backspace for the
// selected route line, on the routing page.
void Widget::initRouteEditing() {
    routeEdits = new QUndoStack(this);
    const auto addShortcut = [this](const QList<QKeySequence> &keys, void (Widget::*run)()) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    addShortcut({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &Widget::undoRouteEdit);
    addShortcut({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, &Widget::redoRouteEdit);
    addShortcut({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)},
                &Widget::deleteSelectedLine);
}

void Widget::undoRouteEdit() {
    stepRouteEdits(&QUndoStack::undo);
}

void Widget::redoRouteEdit() {
    stepRouteEdits(&QUndoStack::redo);
}

// A step may pace several routes, and the router may vanish meanwhile: the history is emptied
// only once the step has returned.
void Widget::stepRouteEdits(void (QUndoStack::*step)()) {
    if (pacingRoutes || replayingEdits || !onRoutingPage())
        return;
    replayingEdits = true;
    (routeEdits->*step)();
    replayingEdits = false;
    if (std::exchange(editsStale, false))
        routeEdits->clear();
}

void Widget::clearRouteEdits() {
    if (replayingEdits)
        editsStale = true;
    else
        routeEdits->clear();
}

void Widget::recordEdit(RouteEditCommand *command) {
    routeEdits->push(command);
}

RouteEditCommand::Send Widget::replayer() {
    return [this](const QList<RouteCommand::Command> &commands) {
        return replayRouteCommands(commands);
    };
}

// Sends an undone or redone edit. Several routes go out paced like an import, with the
// controls locked; a route already as the command would make it is passed over.
int Widget::replayRouteCommands(const QList<RouteCommand::Command> &commands) {
    const bool paced = commands.size() > 1;
    const quint64 session = linkSession;
    if (paced)
        lockWhilePacing(true);
    int sent = 0;
    for (const RouteCommand::Command &command : commands) {
        if (!serialPort->isOpen() || linkSession != session)
            break;
        switch (command.kind) {
        case RouteCommand::Kind::Add:
            if (sendRouteAdd(command.source, command.destination)) {
                ++sent;
                if (paced)
                    waitMs(15);
            }
            break;
        case RouteCommand::Kind::Delete:
            if (MyLine *line = routeLine(command))
                sent += requestDelete(line);
            break;
        case RouteCommand::Kind::Clear:
            sent += requestClear();
            break;
        }
    }
    if (paced)
        lockWhilePacing(false);
    return sent;
}

void Widget::deleteSelectedLine() {
    if (pacingRoutes || !onRoutingPage())
        return;
    const QList<QGraphicsItem *> selected = scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (auto *line = dynamic_cast<MyLine *>(item)) {
            deleteCurrLine(line);
            return;
        }
    }
}
