#pragma once

#include "routing/routecommand.h"

#include <QList>
#include <QUndoCommand>
#include <functional>

// A route edit made in the window, undone and redone by sending route commands again. It
// keeps the routes, never the lines: what a step does is settled by the router's verdicts
// like any command, and a step that finds nothing to send (its route is already as it would
// make it) is dropped from the history.
class RouteEditCommand : public QUndoCommand {
public:
    using Route = QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd>;
    // Sends the commands in order and returns how many went out.
    using Send = std::function<int(const QList<RouteCommand::Command> &)>;

    // The edit has been made already: the history records it without sending it again.
    static RouteEditCommand *added(const Route &route, Send send);
    static RouteEditCommand *deleted(const Route &route, Send send);
    static RouteEditCommand *cleared(const QList<Route> &routes, Send send);
    // An import from file: forward replaced the routes, backward puts back those from before.
    // Each direction sends its list its own way.
    static RouteEditCommand *imported(const QString &file, Send sendForward, Send sendBackward,
                                      QList<RouteCommand::Command> forward,
                                      QList<RouteCommand::Command> backward);
    // "MIDI IN 1 → MIDI OUT 2"
    static QString routeText(const Route &route);

    void redo() override;
    void undo() override;

private:
    RouteEditCommand(const QString &text, QList<RouteCommand::Command> forward,
                     QList<RouteCommand::Command> backward, Send sendForward, Send sendBackward);
    void run(const Send &send, const QList<RouteCommand::Command> &commands);

    QList<RouteCommand::Command> forward;
    QList<RouteCommand::Command> backward;
    Send sendForward;
    Send sendBackward;
    bool made = true; // the first redo, when pushed, finds the edit made
};
