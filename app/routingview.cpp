#include "app/routingview.h"

#include "app/mainscense.h"
#include "app/myline.h"
#include "app/windowtext.h"
#include "link/routerconnection.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEvent>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPen>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using PortIdentity::End;

const QString styleNormal =
    QStringLiteral("QPushButton{background-color:rgb(216,216,216);border:0px solid gray;"
                   "border-radius:8px;}");
const QString styleSelected =
    QStringLiteral("QPushButton{background-color:rgb(146, 208, 80);border:0px solid gray;"
                   "border-radius:8px;}");
// Keyboard focus shows as a ring inside the coloured button.
const QString portFocusStyle =
    QStringLiteral("QPushButton:focus{border:2px dashed rgb(40, 40, 40);}");
// Added to a port button's style while it is the chosen end of a route.
const QString chosenStyle = QStringLiteral("QPushButton{border:3px solid rgb(0, 102, 204);}");

// The columns keep their buttons at the view's edges; the space between them, where the lines
// run, takes what the view has beyond this.
constexpr int ColumnMargin = 80;
constexpr int MinimumGap = 400;
constexpr int ButtonWidth = 120;
constexpr int ButtonHeight = 35;
constexpr int RowHeight = 40;

QPen routePen() {
    QPen pen(Qt::black);
    pen.setWidthF(2.0);
    return pen;
}

QVBoxLayout *portColumn(const QString &title, const QFont &font, Qt::Alignment side) {
    auto *column = new QVBoxLayout;
    auto *label = new QLabel(title);
    label->setFont(font);
    label->setMaximumSize(ButtonWidth, 20);
    column->addWidget(label, 0, side);
    column->setSpacing(10);
    return column;
}

} // namespace

RoutingView::RoutingView(QGraphicsView &view, RouterConnection &connection, const QFont &buttonFont)
    : view(view)
    , connection(connection)
    , buttonFont(buttonFont)
    , routeScene(new MainScense(&view))
    , dragLine(std::make_unique<MyLine>()) {
    view.setScene(routeScene);
    // The view never scrolls: the page around it does, buttons and lines together.
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view.viewport()->installEventFilter(this);
    dragLine->setPen(routePen());
    connect(&connection, &RouterConnection::portsChanged, this, &RoutingView::layOutPorts);
    connect(&connection, &RouterConnection::routesChanged, this, &RoutingView::showRoutes);
}

RoutingView::~RoutingView() = default;

QPushButton *RoutingView::button(End end, const PortIdentity::RouteEnd &port) const {
    const int index = PortIdentity::buttonIndex(end, port, connection.state().ports);
    return index < 0 ? nullptr : (end == End::Source ? inputs : outputs).value(index);
}

QPointF RoutingView::anchor(End end, const QPushButton *button) const {
    const QRect at = button->geometry(); // in the view's coordinates
    const QPoint onView = end == End::Source ? QPoint(at.x() + 10 + at.width() / 2, at.y() + 5)
                                             : QPoint(at.x() - at.width() / 3, at.y() + 5);
    return view.mapToScene(view.viewport()->mapFrom(&view, onView));
}

bool RoutingView::hasChosenPort() const {
    return chosen != nullptr;
}

bool RoutingView::showsRubberBand() const {
    return dragLine->scene() == routeScene;
}

// A new port map: the lines go with the old buttons, and the routes drawn again are those of
// the connection's table, which the router's reports fill anew.
// A router that reports the port counts it reported before keeps its buttons: only the lines
// go.
void RoutingView::layOutPorts() {
    letGo();
    removeLines();
    const PortIdentity::PortCounts counts = connection.state().ports;
    if (portsLayout && counts == laidOut)
        return;
    removePortMap();
    laidOut = counts;
    if (counts.midiIn + counts.midiOut + counts.usbHost + counts.usbDevice == 0)
        return;

    auto *inputColumn = portColumn(QStringLiteral("  Input Ports"), buttonFont, Qt::AlignLeft);
    auto *outputColumn = portColumn(QStringLiteral("  Output Ports"), buttonFont, Qt::AlignRight);
    inputColumn->setContentsMargins(ColumnMargin, 5, 0, 20);
    outputColumn->setContentsMargins(0, 5, ColumnMargin, 20);
    portsLayout = new QHBoxLayout;
    portsLayout->addLayout(inputColumn);
    portsLayout->addSpacerItem(
        new QSpacerItem(MinimumGap, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    portsLayout->addLayout(outputColumn);

    for (int i = 1; i <= counts.midiIn; ++i)
        addPortButton(End::Source, PortIdentity::Midi, i);
    for (int i = 1; i <= counts.midiOut; ++i)
        addPortButton(End::Destination, PortIdentity::Midi, i);
    // USB ports are two-way: one button in each column.
    for (int portClass : {PortIdentity::UsbHost, PortIdentity::UsbDevice}) {
        const int count = portClass == PortIdentity::UsbHost ? counts.usbHost : counts.usbDevice;
        for (int i = 1; i <= count; ++i) {
            addPortButton(End::Source, portClass, i);
            addPortButton(End::Destination, portClass, i);
        }
    }
    for (QVBoxLayout *column : {inputColumn, outputColumn})
        column->addStretch();
    view.setLayout(portsLayout);
    // A narrower or lower page scrolls rather than squeeze the columns together.
    view.setMinimumWidth(2 * (ColumnMargin + ButtonWidth) + MinimumGap);
    view.setFixedHeight((qMax(inputs.size(), outputs.size()) + 2) * RowHeight);
    emit buttonsLaidOut();
}

void RoutingView::addPortButton(End end, int portClass, int number) {
    // Made on the view, whose layout they go to: a button moved there later would be styled
    // twice.
    auto *port = new QPushButton(PortIdentity::buttonText(end, portClass, number), &view);
    port->setFixedSize(ButtonWidth, ButtonHeight);
    port->setStyleSheet((portClass == PortIdentity::Midi ? styleNormal : styleSelected) +
                        portFocusStyle);
    port->setFont(buttonFont);
    port->installEventFilter(this);
    const bool source = end == End::Source;
    (source ? inputs : outputs).append(port);
    auto *column = static_cast<QVBoxLayout *>(portsLayout->itemAt(source ? 0 : 2)->layout());
    column->addWidget(port, 0, source ? Qt::AlignLeft : Qt::AlignRight);
}

// The buttons, the column labels and the layout that holds them.
void RoutingView::removePortMap() {
    qDeleteAll(inputs);
    inputs.clear();
    qDeleteAll(outputs);
    outputs.clear();
    if (!portsLayout)
        return;
    for (int column : {0, 2}) {
        QLayout *ports = portsLayout->itemAt(column)->layout();
        while (QLayoutItem *item = ports->takeAt(0)) {
            delete item->widget();
            delete item;
        }
    }
    delete portsLayout;
    portsLayout = nullptr;
}

// One line for each route of the table whose two ports the map shows, and no other.
void RoutingView::showRoutes() {
    const auto &table = connection.state().routes;
    for (auto it = lines.begin(); it != lines.end();) {
        if (table.contains(it.key().first, it.key().second)) {
            ++it;
            continue;
        }
        delete it.value();
        it = lines.erase(it);
    }
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const PortIdentity::Route route(it.key(), it.value());
        if (lines.contains(route) || !button(End::Source, route.first) ||
            !button(End::Destination, route.second))
            continue;
        auto *line = new MyLine;
        line->setFlags(QGraphicsItem::ItemIsSelectable);
        line->key = route.first;
        line->value = route.second;
        line->setPen(routePen());
        routeScene->addItem(line);
        lines.insert(route, line);
        placeLine(line);
        emit lineMade(line);
    }
}

void RoutingView::removeLines() {
    qDeleteAll(lines);
    lines.clear();
}

// The scene is the viewport: scene coordinates stay those of the viewport at every size.
void RoutingView::fitSceneToView() {
    routeScene->setSceneRect(QRectF(QPointF(0, 0), view.viewport()->size()));
}

void RoutingView::placeLine(MyLine *line) {
    line->setLine(QLineF(anchor(End::Source, button(End::Source, line->key)),
                         anchor(End::Destination, button(End::Destination, line->value))));
}

void RoutingView::placeLinesAt(const QObject *moved) {
    for (MyLine *line : qAsConst(lines)) {
        if (button(End::Source, line->key) == moved ||
            button(End::Destination, line->value) == moved)
            placeLine(line);
    }
}

bool RoutingView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == view.viewport() && event->type() == QEvent::ContextMenu) {
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        auto *line = dynamic_cast<MyLine *>(view.itemAt(menuEvent->pos()));
        if (!line || line == dragLine.get())
            offerViewMenu(menuEvent->globalPos());
        return false;
    }
    if (event->type() != QEvent::Move && event->type() != QEvent::Resize)
        return false;
    if (watched == view.viewport()) {
        fitSceneToView();
        for (MyLine *line : qAsConst(lines))
            placeLine(line);
    } else {
        placeLinesAt(watched);
    }
    return false;
}

// A pressed input completes the route to the output chosen before it, or is chosen itself.
void RoutingView::pressInput(QPushButton *input) {
    if (chosen && chosenEnd == End::Destination) {
        addRoute(input, chosen);
        letGo();
    } else {
        choose(input, End::Source);
    }
}

// A pressed output is chosen when no input is; with an input chosen, its click adds the route.
void RoutingView::pressOutput(QPushButton *output) {
    if (!chosen || chosenEnd == End::Destination)
        choose(output, End::Destination);
}

void RoutingView::clickOutput(QPushButton *output) {
    if (chosen && chosenEnd == End::Source)
        addRoute(chosen, output);
}

// The chosen port shows as chosen; the rubber band appears once the pointer moves.
void RoutingView::choose(QPushButton *port, End end) {
    letGo();
    chosen = port;
    chosenEnd = end;
    port->setStyleSheet(port->styleSheet() + chosenStyle);
}

void RoutingView::addRoute(const QPushButton *input, const QPushButton *output) {
    const auto source = PortIdentity::parseButtonText(End::Source, input->text());
    const auto destination = PortIdentity::parseButtonText(End::Destination, output->text());
    if (!source || !destination)
        return;
    if (!PortIdentity::isRoutable({*source, *destination})) {
        emit told(windowText("A USB port cannot be routed to itself: %1").arg(input->text()));
        return;
    }
    if (connection.sendRoute(RouteCommand::add(*source, *destination)))
        record(RouteEditCommand::added({*source, *destination},
                                       [this](const auto &commands) { return replay(commands); }));
}

// A line's own menu. The route is looked up again when the user picks: its line may be gone.
void RoutingView::offerLineMenu(const MyLine *line) {
    const PortIdentity::Route route(line->key, line->value);
    auto *menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(windowText("Remove route")), &QAction::triggered, this, [this, route] {
        if (const MyLine *shown = lines.value(route))
            deleteRoute(shown);
    });
    menu->popup(QCursor::pos());
}

// The menu of the view where no line is: the history, and clearing every route.
void RoutingView::offerViewMenu(const QPoint &globalPos) {
    auto *menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool canEdit = editable() && connection.isOpen();
    QAction *undoAction = menu->addAction(windowText("Undo"), this, &RoutingView::undo);
    undoAction->setEnabled(canEdit && history.canUndo());
    QAction *redoAction = menu->addAction(windowText("Redo"), this, &RoutingView::redo);
    redoAction->setEnabled(canEdit && history.canRedo());
    menu->addSeparator();
    QAction *removeAll =
        menu->addAction(windowText("Remove all routes…"), this, &RoutingView::removeAllAsked);
    removeAll->setEnabled(canEdit);
    menu->popup(globalPos);
}

// The line stays until the router confirms its deletion; a delete already waiting is not sent
// again.
void RoutingView::deleteRoute(const MyLine *line) {
    const RouteEditCommand::Route route(line->key, line->value);
    if (connection.sendRoute(RouteCommand::remove(route.first, route.second)))
        record(RouteEditCommand::deleted(
            route, [this](const auto &commands) { return replay(commands); }));
}

void RoutingView::deleteSelected() {
    if (!editable())
        return;
    for (QGraphicsItem *item : routeScene->selectedItems()) {
        if (auto *line = dynamic_cast<MyLine *>(item); line && line != dragLine.get()) {
            deleteRoute(line);
            return;
        }
    }
}

void RoutingView::clearAll() {
    QList<RouteEditCommand::Route> routes;
    const auto &table = connection.state().routes;
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        routes.append(RouteEditCommand::Route(it.key(), it.value()));
    if (connection.sendRoute(RouteCommand::clearAll()))
        record(RouteEditCommand::cleared(
            routes, [this](const auto &commands) { return replay(commands); }));
}

// The rubber band trails the pointer a little up and to the left of it, so that the pointer
// stays over whatever it is dragged onto.
void RoutingView::dragTo(const QPoint &globalPos) {
    if (!chosen)
        return;
    if (!showsRubberBand())
        routeScene->addItem(dragLine.get());
    const QPointF at = view.mapToScene(view.viewport()->mapFromGlobal(globalPos));
    dragLine->setLine(QLineF(anchor(chosenEnd, chosen), at - QPointF(40.0, 10.0)));
}

// Dropped over a port of the other column, the route between the two is made; anywhere, the
// gesture ends.
void RoutingView::dropAt(const QPoint &globalPos) {
    if (chosen) {
        const QPoint at = view.mapFromGlobal(globalPos);
        for (QPushButton *other : chosenEnd == End::Source ? outputs : inputs) {
            if (other->geometry().contains(at)) {
                other->click();
                break;
            }
        }
    }
    letGo();
}

void RoutingView::letGo() {
    if (showsRubberBand())
        routeScene->removeItem(dragLine.get());
    if (chosen)
        chosen->setStyleSheet(chosen->styleSheet().remove(chosenStyle));
    chosen = nullptr;
}

void RoutingView::undo() {
    if (editable())
        history.undo();
}

void RoutingView::redo() {
    if (editable())
        history.redo();
}

void RoutingView::clear() {
    letGo();
    removeLines();
    removePortMap();
    history.clear();
}

void RoutingView::record(RouteEditCommand *command) {
    history.push(command);
}

// Sends an undone or redone edit: one command at once, several as a paced list. Returns how
// many commands go out; none when the routes are already as the edit would make them.
int RoutingView::replay(const QList<RouteCommand::Command> &commands) {
    if (commands.size() == 1)
        return connection.sendRoute(commands.first());
    QList<RouterConnection::Command> list;
    for (const RouteCommand::Command &command : commands)
        list.append(command);
    return connection.startList(list);
}

// Keys edit the routes only on the routing page, and not while a list paces its commands.
bool RoutingView::editable() const {
    return view.isVisibleTo(view.window()) && !connection.isListRunning();
}
