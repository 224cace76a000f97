#include "cli/clitext.h"

#include "routing/verdicttext.h"

namespace CliText {

namespace {

using PortIdentity::End;

Verdict refused(const QString &reasonText, int reason) {
    return {false,
            QStringLiteral("refused: ") +
                (reasonText.isEmpty() ? QStringLiteral("reason %1").arg(reason) : reasonText)};
}

const Verdict accepted{true, QStringLiteral("accepted")};

} // namespace

QString route(const PortIdentity::Route &route) {
    return PortIdentity::buttonText(End::Source, route.first.first, route.first.second) + " -> " +
           PortIdentity::buttonText(End::Destination, route.second.first, route.second.second);
}

QString routeCommand(const RouteCommand::Command &command) {
    if (command.kind == RouteCommand::Kind::Clear)
        return QStringLiteral("clear all routes");
    return route({command.source, command.destination});
}

QString filterCommand(const FilterCommand::Command &command) {
    if (command.port == FilterCommand::AllPorts)
        return QStringLiteral("filter on every port");
    return QStringLiteral("filter ") +
           PortIdentity::filterPortName(command.port.first, command.port.second);
}

Verdict routeVerdict(const RouterConnection::RouteVerdict &verdict) {
    switch (verdict.outcome) {
    case VerdictQueue::Outcome::Accepted:
        return accepted;
    case VerdictQueue::Outcome::Refused:
        return refused(VerdictText::routeRefusal(verdict.reason), verdict.reason);
    case VerdictQueue::Outcome::Unclear:
        break;
    }
    return {false, QStringLiteral("no clear verdict (reason %1)").arg(verdict.reason)};
}

Verdict filterVerdict(const RouterConnection::FilterVerdict &verdict) {
    const ReplyFrame::Verdict &answer = verdict.verdict;
    if (VerdictText::filterAccepted(answer.result))
        return accepted;
    return refused(VerdictText::filterResult(answer.result, answer.reason), answer.reason);
}

} // namespace CliText
