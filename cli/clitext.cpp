#include "cli/clitext.h"

#include "routing/verdicttext.h"

namespace CliText {

namespace {

Verdict refused(const QString &reasonText, int reason) {
    return {false,
            QStringLiteral("refused: ") +
                (reasonText.isEmpty() ? QStringLiteral("reason %1").arg(reason) : reasonText)};
}

const Verdict accepted{true, QStringLiteral("accepted")};

} // namespace

QString routeCommand(const RouteCommand::Command &command) {
    if (command.kind == RouteCommand::Kind::Clear)
        return QStringLiteral("clear all routes");
    return PortIdentity::routeName({command.source, command.destination});
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
