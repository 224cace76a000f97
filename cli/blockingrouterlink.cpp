#include "cli/blockingrouterlink.h"

#include <QEventLoop>

BlockingRouterLink::BlockingRouterLink(int timeoutMs)
    : answerTimeoutMs(timeoutMs) {
    link.setRereadWhenUnsure(false);
    answerTimer.setSingleShot(true);
    answerTimer.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait 5 % early
    connect(&answerTimer, &QTimer::timeout, this, &BlockingRouterLink::onAnswerTimeout);
    connect(&link, &RouterConnection::frameWritten, this, [this] {
        if (!answerTimer.isActive())
            answerTimer.start(answerTimeoutMs);
    });
    connect(&link, &RouterConnection::frameRead, this, &BlockingRouterLink::onFrameRead);
    connect(&link, &RouterConnection::querySent, this, [this](int item) { lastQuery = item; });
    connect(&link, &RouterConnection::lost, this, [this](const QString &why) {
        goneReason = why;
        finish(why);
    });
    connect(&link, &RouterConnection::chainEnded, this, [this] {
        if (task == Task::Reading)
            finish();
    });
    connect(&link, &RouterConnection::routeSettled, this,
            [this](const RouterConnection::RouteVerdict &verdict) {
                if (verdict.command)
                    applied.routes.append(verdict);
                finishIfApplied();
            });
    connect(&link, &RouterConnection::filterSettled, this,
            [this](const RouterConnection::FilterVerdict &verdict) {
                if (verdict.command)
                    applied.filters.append(verdict);
                finishIfApplied();
            });
    connect(&link, &RouterConnection::listEnded, this,
            [this](const RouterConnection::ListResult &result) {
                applied.list = result;
                listEnded = true;
                finishIfApplied();
            });
}

bool BlockingRouterLink::open(const QString &portName) {
    if (link.open(portName))
        return true;
    error = link.errorString();
    return false;
}

std::optional<RouterState> BlockingRouterLink::readState() {
    if (!run(Task::Reading, [this] { link.readState(); }))
        return std::nullopt;
    return link.state();
}

BlockingRouterLink::Applied
BlockingRouterLink::apply(const QList<RouterConnection::Command> &commands) {
    applied = Applied();
    commandCount = commands.size();
    listEnded = false;
    applied.complete = run(Task::Applying, [this, commands] {
        if (link.startList(commands) == 0)
            finish();
    });
    return applied;
}

// True when the work got to its end.
bool BlockingRouterLink::run(Task work, const std::function<void()> &begin) {
    Q_ASSERT(task == Task::None);
    if (!link.isOpen()) {
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

void BlockingRouterLink::finish(const QString &failure) {
    if (task == Task::None)
        return;
    task = Task::None;
    error = failure;
    answerTimer.stop();
    if (loop)
        loop->quit();
}

bool BlockingRouterLink::answerDue() const {
    return task == Task::Reading || (task == Task::Applying && link.waitingCount() > 0);
}

void BlockingRouterLink::onFrameRead() {
    answerTimer.stop();
    if (answerDue())
        answerTimer.start(answerTimeoutMs);
}

void BlockingRouterLink::onAnswerTimeout() {
    if (task == Task::Reading)
        finish(QStringLiteral("no answer to query %1 within %2 ms")
                   .arg(lastQuery)
                   .arg(answerTimeoutMs));
    else
        finish(QStringLiteral("no verdict on %1 of %2 commands within %3 ms")
                   .arg(link.waitingCount())
                   .arg(commandCount)
                   .arg(answerTimeoutMs));
}

// A router that went away ends the work through lost(), with its reason.
void BlockingRouterLink::finishIfApplied() {
    if (task == Task::Applying && listEnded && link.isOpen() && link.waitingCount() == 0)
        finish();
}
