#include "app/routeeditcommand.h"

#include "app/windowtext.h"

#include <utility>

RouteEditCommand::RouteEditCommand(const QString &text, QList<RouteCommand::Command> forward,
                                   QList<RouteCommand::Command> backward, Send sendForward,
                                   Send sendBackward)
    : QUndoCommand(text)
    , forward(std::move(forward))
    , backward(std::move(backward))
    , sendForward(std::move(sendForward))
    , sendBackward(std::move(sendBackward)) {}

QString RouteEditCommand::routeText(const Route &route) {
    using PortIdentity::End;
    return PortIdentity::buttonText(End::Source, route.first.first, route.first.second) + " → " +
           PortIdentity::buttonText(End::Destination, route.second.first, route.second.second);
}

RouteEditCommand *RouteEditCommand::added(const Route &route, Send send) {
    return new RouteEditCommand(windowText("Add route %1").arg(routeText(route)),
                                {RouteCommand::add(route.first, route.second)},
                                {RouteCommand::remove(route.first, route.second)}, send, send);
}

RouteEditCommand *RouteEditCommand::deleted(const Route &route, Send send) {
    return new RouteEditCommand(windowText("Delete route %1").arg(routeText(route)),
                                {RouteCommand::remove(route.first, route.second)},
                                {RouteCommand::add(route.first, route.second)}, send, send);
}

RouteEditCommand *RouteEditCommand::cleared(const QList<Route> &routes, Send send) {
    QList<RouteCommand::Command> restore;
    for (const Route &route : routes)
        restore.append(RouteCommand::add(route.first, route.second));
    return new RouteEditCommand(windowText("Disconnect all routes"), {RouteCommand::clearAll()},
                                restore, send, send);
}

RouteEditCommand *RouteEditCommand::imported(const QString &file, Send sendForward,
                                             Send sendBackward,
                                             QList<RouteCommand::Command> forward,
                                             QList<RouteCommand::Command> backward) {
    return new RouteEditCommand(windowText("Import routes from %1").arg(file), std::move(forward),
                                std::move(backward), std::move(sendForward),
                                std::move(sendBackward));
}

void RouteEditCommand::redo() {
    if (std::exchange(made, false))
        return;
    run(sendForward, forward);
}

void RouteEditCommand::undo() {
    run(sendBackward, backward);
}

void RouteEditCommand::run(const Send &send, const QList<RouteCommand::Command> &commands) {
    if (send(commands) == 0)
        setObsolete(true);
}
