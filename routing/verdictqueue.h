#pragma once

#include "routing/routecommand.h"

#include <QList>
#include <optional>

// The route commands written to the router that still wait for its verdict, oldest first.
// The router answers every route command with one RouteResult, in order, so each verdict
// settles the oldest waiting command.
class VerdictQueue {
public:
    // How long the oldest command may wait before its verdict is given up on.
    static constexpr qint64 TimeoutMs = 3000;

    // Result 0 with reason 0 accepts, a nonzero result with a nonzero reason refuses; the
    // router means nothing by the other two combinations.
    enum class Outcome { Accepted, Refused, Unclear };

    struct Settlement {
        std::optional<RouteCommand::Command> command; // nothing when no command was waiting
        Outcome outcome = Outcome::Unclear;
        int reason = 0;
        bool listed = false; // the command went out as part of a paced list
    };

    // A command was written at sentAtMs (any monotonic clock, the same for every call), on its
    // own or as part of a paced list.
    void push(const RouteCommand::Command &command, qint64 sentAtMs, bool listed = false);
    // A RouteResult arrived: takes the oldest waiting command off the queue.
    Settlement settle(int result, int reason);

    bool isWaiting(const RouteCommand::Command &command) const;
    QList<RouteCommand::Command> waiting() const;
    bool isEmpty() const { return entries.isEmpty(); }
    // Milliseconds from nowMs until the oldest command is overdue (0 once it is); nothing
    // when no command waits.
    std::optional<qint64> msUntilOverdue(qint64 nowMs) const;
    void clear() { entries.clear(); }

    static Outcome outcomeOf(int result, int reason);

private:
    struct Entry {
        RouteCommand::Command command;
        qint64 sentAtMs = 0;
        bool listed = false;
    };
    QList<Entry> entries;
};
