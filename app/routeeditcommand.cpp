#include "app/routeeditcommand.h"

#include "app/windowtext.h"

#include <utility>

namespace {

QString routeText(const RouteEditCommand::Route &route) {
    using PortIdentity::End;
    return PortIdentity::buttonText(End::Source, route.first.first, route.first.second) + " → " +
           PortIdentity::buttonText(End::Destination, route.second.first, route.second.second);
}

} // namespace

RouteEditCommand::RouteEditCommand(const QString &text, QList<RouteCommand::Command> forward,
                                   QList<RouteCommand::Command> backward, Send send)
    : QUndoCommand(text)
    , forward(std::move(forward))
    , backward(std::move(backward))
    , send(std::move(send)) {}

RouteEditCommand *RouteEditCommand::added(const Route &route, Send send) {
    return new RouteEditCommand(windowText("Add route %1").arg(routeText(route)),
                                {RouteCommand::add(route.first, route.second)},
                                {RouteCommand::remove(route.first, route.second)}, send);
}

RouteEditCommand *RouteEditCommand::deleted(const Route &route, Send send) {
    return new RouteEditCommand(windowText("Delete route %1").arg(routeText(route)),
                                {RouteCommand::remove(route.first, route.second)},
                                {RouteCommand::add(route.first, route.second)}, send);
}

RouteEditCommand *RouteEditCommand::cleared(const QList<Route> &routes, Send send) {
    QList<RouteCommand::Command> restore;
    for (const Route &route : routes)
        restore.append(RouteCommand::add(route.first, route.second));
    return new RouteEditCommand(windowText("Disconnect all routes"), {RouteCommand::clearAll()},
                                restore, send);
}

void RouteEditCommand::redo() {
    if (std::exchange(made, false))
        return;
    run(forward);
}

void RouteEditCommand::undo() {
    run(backward);
}

void RouteEditCommand::run(const QList<RouteCommand::Command> &commands) {
    if (send(commands) == 0)
        setObsolete(true);
}
