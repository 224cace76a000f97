#include "routing/verdictqueue.h"

#include <algorithm>

void VerdictQueue::push(const RouteCommand::Command &command, qint64 sentAtMs, bool listed) {
    entries.append({command, sentAtMs, listed});
}

VerdictQueue::Settlement VerdictQueue::settle(int result, int reason) {
    Settlement settlement;
    settlement.outcome = outcomeOf(result, reason);
    settlement.reason = reason;
    if (!entries.isEmpty()) {
        const Entry oldest = entries.takeFirst();
        settlement.command = oldest.command;
        settlement.listed = oldest.listed;
    }
    return settlement;
}

bool VerdictQueue::isWaiting(const RouteCommand::Command &command) const {
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&](const Entry &entry) { return entry.command == command; });
}

QList<RouteCommand::Command> VerdictQueue::waiting() const {
    QList<RouteCommand::Command> commands;
    for (const Entry &entry : entries)
        commands.append(entry.command);
    return commands;
}

std::optional<qint64> VerdictQueue::msUntilOverdue(qint64 nowMs) const {
    if (entries.isEmpty())
        return std::nullopt;
    return std::max<qint64>(0, entries.first().sentAtMs + TimeoutMs - nowMs);
}

VerdictQueue::Outcome VerdictQueue::outcomeOf(int result, int reason) {
    if (result == 0 && reason == 0)
        return Outcome::Accepted;
    if (result != 0 && reason != 0)
        return Outcome::Refused;
    return Outcome::Unclear;
}
