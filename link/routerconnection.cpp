#include "link/routerconnection.h"

#include "link/commandframe.h"
#include "link/querychain.h"
#include "link/sysexframe.h"
#include "link/tracecategories.h"
#include "routing/verdicttext.h"

#include <QDebug>
#include <QSignalBlocker>

RouterConnection::RouterConnection(QObject *parent)
    : QObject(parent) {
    verdictTimer.setSingleShot(true);
    quietTimer.setSingleShot(true);
    quietTimer.setInterval(QuietMs);
    connect(&port, &QSerialPort::readyRead, this, &RouterConnection::readPort);
    connect(&port, &QSerialPort::errorOccurred, this, &RouterConnection::onPortError);
    connect(&receiver, &FiFoBuffer::currDataFrame, this, &RouterConnection::dispatch);
    connect(&verdictTimer, &QTimer::timeout, this, &RouterConnection::onVerdictOverdue);
    connect(&quietTimer, &QTimer::timeout, this, &RouterConnection::onQuiet);
    clock.start();
}

bool RouterConnection::open(const QString &portName) {
    close();
    port.setPortName(portName);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.setBaudRate(BaudRate, QSerialPort::AllDirections);
    // Bytes left on the line from before answer nothing asked on this connection.
    port.clear(QSerialPort::Input);
    ++sessions;
    return true;
}

void RouterConnection::close() {
    {
        // Closing a port whose device has gone can report errors again.
        const QSignalBlocker blocker(port);
        port.close();
    }
    forgetConversation();
}

// Everything learnt and asked belongs to one connection. A list that was running has lost
// its router.
void RouterConnection::forgetConversation() {
    receiver.clear();
    chainPause.stop();
    listPause.stop();
    verdictTimer.stop();
    quietTimer.stop();
    verdicts.clear();
    filtersWaiting.clear();
    current = RouterState();
    filterPortsCounted = false;
    chainDone = false;
    rereading = false;
    rereadWanted = false;
    filtersSent = false;
    again = Again::None;
    filtersDue.clear();
    endList(ListEnd::Lost);
}

void RouterConnection::readPort() {
    receive(port.readAll());
}

void RouterConnection::receive(const QByteArray &bytes) {
    receiver.pushBytes(bytes);
}

// The one switch for a router that went away. Linux reports a device end that vanished as a
// ReadError on every read, and keeps reporting it while the port stays open; Windows reports
// a ResourceError once; a write that cannot reach the device is a WriteError.
void RouterConnection::onPortError(QSerialPort::SerialPortError portError) {
    if (!port.isOpen() ||
        (portError != QSerialPort::ResourceError && portError != QSerialPort::ReadError &&
         portError != QSerialPort::WriteError))
        return;
    const QString why = QStringLiteral("the router went away (%1)").arg(port.errorString());
    close();
    emit lost(why);
}

// Nothing is written to a closed port. Each frame leaves at once, so that the pauses count
// from when it is on its way.
bool RouterConnection::write(const QByteArray &frame) {
    if (!port.isOpen())
        return false;
    port.write(frame);
    port.flush();
    emit frameWritten(frame);
    return true;
}

// The filter reports that answer query 5 hold every set-filter command written before it.
void RouterConnection::sendQuery(int item) {
    if (!write(SysexFrame::query(item)))
        return;
    if (item == QueryChain::PortFilters)
        filtersSent = false;
    emit querySent(item);
}

void RouterConnection::readState() {
    if (!isOpen())
        return;
    endList(ListEnd::Cancelled);
    rereadWanted = false;
    takePortMap(PortIdentity::PortCounts());
    sendQuery(QueryChain::Mode);
}

void RouterConnection::dispatch(Feedbacktype type, const QByteArray &frame) {
    emit frameRead(frame);
    quietTimer.start();
    switch (type) {
    case ModeReport:
        sendQuery(QueryChain::PortCounts);
        break;
    case PortCountReport:
        takePortCounts(frame);
        break;
    case RouteReport:
        takeRouteReport(frame);
        break;
    case FilterPortCountReport:
        takeFilterPortCounts(frame);
        break;
    case PortFilterReport:
        takeFilterReport(frame);
        break;
    case RouteResult:
        takeRouteResult(frame);
        break;
    case ConfigResult:
        emit configurationSettled(ReplyFrame::verdict(frame));
        break;
    case FilterResult:
        takeFilterResult(frame);
        break;
    case OtherFrame:
        break;
    }
}

// New ports: query 3 and, after its pause, query 4 go out before the news, so that the router
// answers while the ports are shown.
void RouterConnection::takePortCounts(const QByteArray &frame) {
    sendQuery(QueryChain::Routes);
    chainPause.start(QueryChain::RoutesPauseMs,
                     [this] { sendQuery(QueryChain::FilterPortCounts); });
    takePortMap(ReplyFrame::portCounts(frame));
}

// The routes go with the old port map; the router's reports fill the table again.
void RouterConnection::takePortMap(const PortIdentity::PortCounts &ports) {
    current.ports = ports;
    current.routes.clear();
    emit portsChanged();
    emit routesChanged();
}

void RouterConnection::takeRouteReport(const QByteArray &frame) {
    qCDebug(lcRouting) << "反馈的路由情况:" << frame;
    const std::optional<PortIdentity::Route> route = ReplyFrame::reportedRoute(frame);
    if (route && current.recordRoute(*route))
        emit routesChanged();
}

// The filter ports are counted once per connection.
void RouterConnection::takeFilterPortCounts(const QByteArray &frame) {
    if (filterPortsCounted)
        return;
    filterPortsCounted = true;
    current.filterPortCounts = ReplyFrame::filterPortCounts(frame);
    emit filterPortsListed();
    sendQuery(QueryChain::PortFilters);
    endChainIfAllFiltersIn();
}

// One record a port of a known kind: a port reported again gets its record's bytes replaced.
void RouterConnection::takeFilterReport(const QByteArray &frame) {
    const ReplyFrame::PortFilter filter = ReplyFrame::portFilter(frame);
    if (PortIdentity::filterPortName(filter.port.first, filter.port.second).isEmpty())
        return;
    current.filters.insert(filter.port, filter.bytes);
    filtersDue.removeAll(filter.port);
    emit filterReported(filter.port);
    endChainIfAllFiltersIn();
}

void RouterConnection::endChainIfAllFiltersIn() {
    if (!filterPortsCounted || chainDone || current.filters.size() < current.filterPorts().size())
        return;
    chainDone = true;
    emit chainEnded();
}

bool RouterConnection::needed(const RouteCommand::Command &command) const {
    const PortIdentity::Route route(command.source, command.destination);
    switch (command.kind) {
    case RouteCommand::Kind::Add:
        return PortIdentity::isRoutable(route) &&
               current.hasRoutePort(PortIdentity::End::Source, route.first) &&
               current.hasRoutePort(PortIdentity::End::Destination, route.second) &&
               !current.routes.contains(route.first, route.second);
    case RouteCommand::Kind::Delete:
        return current.routes.contains(route.first, route.second) && !verdicts.isWaiting(command);
    case RouteCommand::Kind::Clear:
        break;
    }
    return true;
}

bool RouterConnection::sendRoute(const RouteCommand::Command &command) {
    if (!isOpen() || list || !needed(command))
        return false;
    writeRoute(command, false);
    return true;
}

void RouterConnection::writeRoute(const RouteCommand::Command &command, bool listed) {
    if (!write(CommandFrame::route(command)))
        return;
    verdicts.push(command, clock.elapsed(), listed);
    armVerdictTimer();
    if (command.kind == RouteCommand::Kind::Add) {
        current.routes.insert(command.source, command.destination);
        emit routesChanged();
    }
}

bool RouterConnection::isWaiting(const RouteCommand::Command &command) const {
    return verdicts.isWaiting(command);
}

int RouterConnection::waitingCount() const {
    return verdicts.waiting().size() + filtersWaiting.size();
}

// Each RouteResult settles the oldest route command still waiting for one, unless nothing
// waits or the routes are being read again: commands forgotten by a re-read may still be
// answered, so such a verdict cannot say which command it answers, and the routes are read
// again once the replies have ended.
void RouterConnection::takeRouteResult(const QByteArray &frame) {
    const ReplyFrame::Verdict verdict = ReplyFrame::verdict(frame);
    if (rereading || verdicts.isEmpty()) {
        requestReread();
        emit routeSettled({std::nullopt, VerdictQueue::outcomeOf(verdict.result, verdict.reason),
                           verdict.reason});
        return;
    }
    const VerdictQueue::Settlement settled = verdicts.settle(verdict.result, verdict.reason);
    armVerdictTimer();
    applyToTable(*settled.command, settled.outcome);
    emit routeSettled({settled.command, settled.outcome, settled.reason, settled.listed});
    if (settled.command->kind == RouteCommand::Kind::Clear)
        settleListClear(settled.outcome);
    continueList();
    startReadingAgain();
}

// A refused add and a confirmed delete take their route out; a confirmed clear takes every
// route but those whose adds were written after it. A verdict the router means nothing by
// leaves the table in doubt.
void RouterConnection::applyToTable(const RouteCommand::Command &command,
                                    VerdictQueue::Outcome outcome) {
    using RouteCommand::Kind;
    const bool accepted = outcome == VerdictQueue::Outcome::Accepted;
    if (outcome == VerdictQueue::Outcome::Unclear) {
        requestReread();
    } else if ((command.kind == Kind::Add && !accepted) ||
               (command.kind == Kind::Delete && accepted)) {
        current.routes.remove(command.source, command.destination);
        emit routesChanged();
    } else if (command.kind == Kind::Clear && accepted) {
        QMultiMap<PortIdentity::RouteEnd, PortIdentity::RouteEnd> kept;
        for (const RouteCommand::Command &waiting : verdicts.waiting())
            if (waiting.kind == Kind::Add &&
                current.routes.contains(waiting.source, waiting.destination))
                kept.insert(waiting.source, waiting.destination);
        current.routes = kept;
        emit routesChanged();
    }
}

bool RouterConnection::sendFilter(const FilterCommand::Command &command) {
    if (!isOpen())
        return false;
    writeFilter(command);
    return true;
}

// The records the command addresses take its bytes at once; a refusal puts back what they
// held, unless a later command has changed them since.
void RouterConnection::writeFilter(const FilterCommand::Command &command) {
    if (!write(CommandFrame::filter(command)))
        return;
    filtersSent = true;
    WaitingFilter waiting{command, {}};
    const QList<PortIdentity::FilterPort> ports =
        command.port == FilterCommand::AllPorts ? current.filters.keys()
                                                : QList<PortIdentity::FilterPort>{command.port};
    for (const PortIdentity::FilterPort &port : ports) {
        if (!current.filters.contains(port))
            continue;
        waiting.before.insert(port, current.filters.value(port));
        current.filters.insert(port, command.bytes);
    }
    filtersWaiting.append(waiting);
}

void RouterConnection::takeFilterResult(const QByteArray &frame) {
    const ReplyFrame::Verdict verdict = ReplyFrame::verdict(frame);
    if (filtersWaiting.isEmpty()) {
        emit filterSettled({std::nullopt, verdict});
        return;
    }
    const WaitingFilter settled = filtersWaiting.takeFirst();
    if (!VerdictText::filterAccepted(verdict.result)) {
        for (auto it = settled.before.cbegin(); it != settled.before.cend(); ++it) {
            if (current.filters.value(it.key()) == settled.command.bytes)
                current.filters.insert(it.key(), it.value());
        }
    }
    emit filterSettled({settled.command, verdict});
}

bool RouterConnection::sendConfiguration() {
    return write(CommandFrame::configuration());
}

void RouterConnection::armVerdictTimer() {
    const std::optional<qint64> ms = verdicts.msUntilOverdue(clock.elapsed());
    if (ms && rereadWhenUnsure)
        verdictTimer.start(int(*ms));
    else
        verdictTimer.stop();
}

// The router did not answer in time: whatever it did with the waiting commands, the table is
// read again from what it reports now.
void RouterConnection::onVerdictOverdue() {
    const std::optional<qint64> msLeft = verdicts.msUntilOverdue(clock.elapsed());
    if (!msLeft || *msLeft > 0) { // a timer may fire a little early
        armVerdictTimer();
        return;
    }
    qCDebug(lcRouting) << "no route verdict for" << VerdictQueue::TimeoutMs
                       << "ms, routes read again";
    endList(ListEnd::Unanswered);
    startReread();
}

void RouterConnection::requestReread() {
    if (rereadWhenUnsure)
        rereadWanted = true;
}

// Commands still waiting are forgotten: the routes the router reports are what it holds.
void RouterConnection::startReread() {
    rereadWanted = false;
    verdicts.clear();
    verdictTimer.stop();
    current.routes = {};
    emit routesChanged();
    sendQuery(QueryChain::Routes);
    // Its route reports may come until the line has been quiet for QuietMs.
    rereading = true;
    quietTimer.start();
}

// A wanted re-read goes before a list that has not started; one that runs goes on first.
void RouterConnection::onQuiet() {
    rereading = false;
    if (rereadWanted && isOpen() && !(list && list->started)) {
        startReread();
        return;
    }
    endReadingAgain();
    continueList();
    startReadingAgain();
}

void RouterConnection::readAgain() {
    if (!isOpen() || again == Again::Reading)
        return;
    again = Again::Wanted;
    startReadingAgain();
}

// As a list, the read waits until no reply it asks for could be taken for the answer to
// something else. The router answers in order: the route reports, then the filter reports.
void RouterConnection::startReadingAgain() {
    if (again != Again::Wanted || list || !verdicts.isEmpty() || rereading || rereadWanted)
        return;
    again = Again::Reading;
    filtersDue = current.filterPorts();
    startReread();
    sendQuery(QueryChain::PortFilters);
}

// Like the routes of a re-read, the filter reports have all come once the line is quiet: a
// port that has not reported by then is not waited for.
void RouterConnection::endReadingAgain() {
    if (again != Again::Reading)
        return;
    again = Again::None;
    emit stateRead(filtersDue.isEmpty());
}

// What the list would send if it ran now: a clear empties the table for the commands after
// it.
int RouterConnection::plannedSends(const QList<Command> &commands) const {
    RouterState planned = current;
    int sends = 0;
    for (const Command &command : commands) {
        const auto *route = std::get_if<RouteCommand::Command>(&command);
        if (!route) {
            ++sends;
            continue;
        }
        const PortIdentity::Route ends(route->source, route->destination);
        switch (route->kind) {
        case RouteCommand::Kind::Add:
            if (!PortIdentity::isRoutable(ends) || !planned.recordRoute(ends))
                continue;
            break;
        case RouteCommand::Kind::Delete:
            if (verdicts.isWaiting(*route) || planned.routes.remove(ends.first, ends.second) == 0)
                continue;
            break;
        case RouteCommand::Kind::Clear:
            planned.routes.clear();
            break;
        }
        ++sends;
    }
    return sends;
}

int RouterConnection::startList(const QList<Command> &commands) {
    if (!isOpen() || list)
        return 0;
    const int sends = plannedSends(commands);
    if (sends == 0)
        return 0;
    list = ListRun{commands};
    emit listStarted();
    continueList();
    return sends;
}

// A list starts only once nothing it sends could be taken for the answer to something else.
void RouterConnection::continueList() {
    if (!list || list->started || !verdicts.isEmpty() || rereading || rereadWanted ||
        again == Again::Reading)
        return;
    list->started = true;
    stepList();
}

void RouterConnection::stepList() {
    while (list && list->next < list->commands.size()) {
        const Command command = list->commands.at(list->next++);
        if (const auto *route = std::get_if<RouteCommand::Command>(&command)) {
            if (!needed(*route))
                continue;
            writeRoute(*route, true);
        } else {
            writeFilter(std::get<FilterCommand::Command>(command));
        }
        ++list->sent;
        emit listProgress(list->sent, list->commands.size());
        if (const auto *route = std::get_if<RouteCommand::Command>(&command);
            route && route->kind == RouteCommand::Kind::Clear) {
            list->awaitingClear = true; // the verdict decides whether the list goes on
            return;
        }
        listPause.start(PaceMs, [this] { stepList(); });
        return;
    }
    endList(ListEnd::Done);
}

void RouterConnection::settleListClear(VerdictQueue::Outcome outcome) {
    if (!list || !list->awaitingClear)
        return;
    list->awaitingClear = false;
    if (outcome == VerdictQueue::Outcome::Accepted)
        stepList();
    else
        endList(ListEnd::ClearRefused);
}

void RouterConnection::cancelList() {
    endList(ListEnd::Cancelled);
}

void RouterConnection::endList(ListEnd end) {
    if (!list)
        return;
    listPause.stop();
    const ListResult result{list->sent, int(list->commands.size()), end};
    list.reset();
    emit listEnded(result);
    // A read that waited for the list starts once the line is quiet.
    if (rereadWanted && isOpen() && !quietTimer.isActive())
        startReread();
    startReadingAgain();
}
