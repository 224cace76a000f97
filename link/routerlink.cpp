#include "link/routerlink.h"

#include "config/routeimport.h"
#include "link/querychain.h"
#include "link/sysexframe.h"

#include <QEventLoop>
#include <QSignalBlocker>

RouterLink::RouterLink(int timeoutMs, QObject *parent)
    : QObject(parent)
    , answerTimeoutMs(timeoutMs) {
    answerTimer.setSingleShot(true);
    answerTimer.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait 5 % early
    pauseTimer.setSingleShot(true);
    pauseTimer.setTimerType(Qt::PreciseTimer);
    connect(&port, &QSerialPort::readyRead, this, &RouterLink::readPort);
    connect(&port, &QSerialPort::errorOccurred, this, &RouterLink::onError);
    connect(&port, &QSerialPort::bytesWritten, this, &RouterLink::startPauseOnceWritten);
    connect(&answerTimer, &QTimer::timeout, this, &RouterLink::onAnswerTimeout);
    connect(&pauseTimer, &QTimer::timeout, this, [this] { afterPause(); });
}

bool RouterLink::open(const QString &portName) {
    port.setPortName(portName);
    if (!port.open(QIODevice::ReadWrite)) {
        error = port.errorString();
        return false;
    }
    port.setBaudRate(BaudRate, QSerialPort::AllDirections);
    port.flush();
    return true;
}

std::optional<RouterState> RouterLink::readState() {
    state = RouterState();
    filterPortsCounted = false;
    if (!run(Task::Reading, [this] { sendQuery(QueryChain::Mode); }))
        return std::nullopt;
    return state;
}

RouterLink::Applied RouterLink::apply(const QList<RouteCommand::Command> &routes,
                                      const QList<FilterCommand::Command> &filters) {
    routeCommands = routes;
    filterCommands = filters;
    nextCommand = 0;
    routeVerdicts.clear();
    filtersWaiting.clear();
    applied = Applied();
    applied.complete = run(Task::Applying, [this] { sendNextCommand(); });
    return applied;
}

// True when the work got to its end.
bool RouterLink::run(Task work, const std::function<void()> &begin) {
    Q_ASSERT(task == Task::None);
    if (!port.isOpen()) {
        error = goneReason.isEmpty() ? QStringLiteral("the port is not open") : goneReason;
        return false;
    }
    task = work;
    error.clear();
    begin();
    if (task != Task::None) {
        QEventLoop eventLoop;
        loop = &eventLoop;
        eventLoop.exec();
        loop = nullptr;
    }
    return error.isEmpty();
}

void RouterLink::finish(const QString &failure) {
    if (task == Task::None)
        return;
    task = Task::None;
    error = failure;
    answerTimer.stop();
    pauseTimer.stop();
    pauseWaitsForWrite = false;
    if (loop)
        loop->quit();
}

void RouterLink::readPort() {
    rxBuffer.append(port.readAll());
    while (std::optional<QByteArray> frame = rxBuffer.takeFrame()) {
        emit frameRead(*frame);
        const Feedbacktype type = SysexFrame::classify(*frame);
        if (type == OtherFrame || task == Task::None)
            continue;
        answerTimer.stop();
        if (task == Task::Reading)
            takeReport(type, *frame);
        else
            takeVerdict(type, *frame);
        if (task != Task::None && (task == Task::Reading || waitingCount() > 0))
            answerTimer.start(answerTimeoutMs);
    }
}

// Linux reports a device that went away as ReadError, and keeps reporting it while the port
// stays open; Windows reports ResourceError once.
void RouterLink::onError(QSerialPort::SerialPortError portError) {
    if (portError != QSerialPort::ResourceError && portError != QSerialPort::ReadError &&
        portError != QSerialPort::WriteError)
        return;
    goneReason = QStringLiteral("the router went away (%1)").arg(port.errorString());
    {
        const QSignalBlocker blocker(port); // closing may report the error again
        port.close();
    }
    finish(goneReason);
}

void RouterLink::onAnswerTimeout() {
    if (task == Task::Reading)
        finish(QStringLiteral("no answer to query %1 within %2 ms")
                   .arg(lastQuery)
                   .arg(answerTimeoutMs));
    else
        finish(QStringLiteral("no verdict on %1 of %2 commands within %3 ms")
                   .arg(waitingCount())
                   .arg(commandCount())
                   .arg(answerTimeoutMs));
}

// Nothing is written once the work has ended, for instance because the device went away.
void RouterLink::write(const QByteArray &frame) {
    if (task == Task::None)
        return;
    emit frameWritten(frame);
    port.write(frame);
    if (!answerTimer.isActive())
        answerTimer.start(answerTimeoutMs);
}

// The pause counts from when the bytes written so far have been handed to the device.
void RouterLink::pauseThen(int ms, const std::function<void()> &next) {
    if (task == Task::None)
        return;
    afterPause = next;
    pauseMs = ms;
    pauseWaitsForWrite = true;
    port.flush();
    startPauseOnceWritten();
}

void RouterLink::startPauseOnceWritten() {
    if (!pauseWaitsForWrite || port.bytesToWrite() > 0)
        return;
    pauseWaitsForWrite = false;
    pauseTimer.start(pauseMs);
}

void RouterLink::sendQuery(int item) {
    lastQuery = item;
    write(SysexFrame::query(item));
    emit querySent(item);
}

void RouterLink::takeReport(Feedbacktype type, const QByteArray &frame) {
    switch (type) {
    case ModeReport:
        sendQuery(QueryChain::PortCounts);
        break;
    case PortCountReport:
        state.ports = ReplyFrame::portCounts(frame);
        sendQuery(QueryChain::Routes);
        pauseThen(QueryChain::RoutesPauseMs, [this] { sendQuery(QueryChain::FilterPortCounts); });
        break;
    case RouteReport:
        if (const std::optional<PortIdentity::Route> route = ReplyFrame::reportedRoute(frame))
            state.recordRoute(*route);
        break;
    case FilterPortCountReport:
        if (filterPortsCounted)
            break;
        filterPortsCounted = true;
        state.filterPortCounts = ReplyFrame::filterPortCounts(frame);
        sendQuery(QueryChain::PortFilters);
        finishIfAllFiltersIn();
        break;
    case PortFilterReport: {
        const ReplyFrame::PortFilter filter = ReplyFrame::portFilter(frame);
        if (!PortIdentity::filterPortName(filter.port.first, filter.port.second).isEmpty())
            state.filters.insert(filter.port, filter.bytes);
        finishIfAllFiltersIn();
        break;
    }
    default:
        break;
    }
}

void RouterLink::finishIfAllFiltersIn() {
    if (filterPortsCounted && state.filters.size() >= state.filterPorts().size())
        finish();
}

void RouterLink::sendNextCommand() {
    if (nextCommand == commandCount()) {
        finishIfSettled();
        return;
    }
    const int index = nextCommand++;
    bool pause = true;
    if (index < routeCommands.size()) {
        const RouteCommand::Command &command = routeCommands.at(index);
        write(RouteCommand::frame(command));
        routeVerdicts.push(command, 0);
        pause = command.kind != RouteCommand::Kind::Clear;
    } else {
        const FilterCommand::Command &command = filterCommands.at(index - routeCommands.size());
        write(FilterCommand::frame(command));
        filtersWaiting.append(command);
    }
    emit commandSent(nextCommand, commandCount());
    if (pause)
        pauseThen(RouteImport::PaceMs, [this] { sendNextCommand(); });
    else
        sendNextCommand();
}

void RouterLink::takeVerdict(Feedbacktype type, const QByteArray &frame) {
    const ReplyFrame::Verdict verdict = ReplyFrame::verdict(frame);
    if (type == RouteResult) {
        const VerdictQueue::Settlement settled =
            routeVerdicts.settle(verdict.result, verdict.reason);
        if (settled.command)
            applied.routes.append({*settled.command, settled.outcome, settled.reason});
    } else if (type == FilterResult && !filtersWaiting.isEmpty()) {
        applied.filters.append({filtersWaiting.takeFirst(), verdict});
    }
    finishIfSettled();
}

void RouterLink::finishIfSettled() {
    if (nextCommand == commandCount() && !pauseTimer.isActive() && !pauseWaitsForWrite &&
        waitingCount() == 0)
        finish();
}
