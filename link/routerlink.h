#pragma once

#include "filters/filtercommand.h"
#include "link/feedbacktype.h"
#include "link/framecutter.h"
#include "link/replyframe.h"
#include "link/routerstate.h"
#include "routing/routecommand.h"
#include "routing/verdictqueue.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QEventLoop;

// One conversation with a router over its serial port, for callers without a window. Each
// call runs the event loop until its work is done, the router has not answered for the
// answer timeout while an answer was due, or the port went away; nothing else is started
// meanwhile.
class RouterLink : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 115200;

    struct RouteVerdict {
        RouteCommand::Command command;
        VerdictQueue::Outcome outcome = VerdictQueue::Outcome::Unclear;
        int reason = 0;
    };
    struct FilterVerdict {
        FilterCommand::Command command;
        ReplyFrame::Verdict verdict;
    };
    // The verdicts, in the order they came. Unless complete, errorString() says why the link
    // stopped before every command had its verdict.
    struct Applied {
        QList<RouteVerdict> routes;
        QList<FilterVerdict> filters;
        bool complete = false;
    };

    explicit RouterLink(int answerTimeoutMs, QObject *parent = nullptr);

    // Opens a port by name (ttyACM0) or path, for reading and writing at BaudRate.
    bool open(const QString &portName);
    // Runs the start-up queries to their end. Nothing when the router stopped answering or
    // went away.
    std::optional<RouterState> readState();
    // Writes the route commands, then the filter commands, each but a clear-routes command
    // followed by the import's pause once it has left, and waits for every verdict.
    Applied apply(const QList<RouteCommand::Command> &routes,
                  const QList<FilterCommand::Command> &filters);
    QString errorString() const { return error; }

signals:
    void querySent(int item);
    void commandSent(int sent, int total);
    void frameWritten(const QByteArray &frame);
    void frameRead(const QByteArray &frame);

private:
    enum class Task { None, Reading, Applying };

    bool run(Task work, const std::function<void()> &begin);
    void finish(const QString &failure = QString());
    void readPort();
    void onError(QSerialPort::SerialPortError portError);
    void onAnswerTimeout();
    void write(const QByteArray &frame);
    void pauseThen(int ms, const std::function<void()> &next);
    void startPauseOnceWritten();

    void sendQuery(int item);
    void takeReport(Feedbacktype type, const QByteArray &frame);
    void finishIfAllFiltersIn();

    int commandCount() const { return routeCommands.size() + filterCommands.size(); }
    int waitingCount() const { return routeVerdicts.waiting().size() + filtersWaiting.size(); }
    void sendNextCommand();
    void takeVerdict(Feedbacktype type, const QByteArray &frame);
    void finishIfSettled();

    QSerialPort port;
    int answerTimeoutMs = 0;
    QTimer answerTimer; // runs while an answer is due
    QTimer pauseTimer;
    std::function<void()> afterPause;
    int pauseMs = 0;
    bool pauseWaitsForWrite = false;
    QEventLoop *loop = nullptr;
    Task task = Task::None;
    QString error;
    QString goneReason; // why the port was closed, once the device went away
    FrameCutter rxBuffer;

    // Reading.
    RouterState state;
    int lastQuery = 0;
    bool filterPortsCounted = false;

    // Applying.
    QList<RouteCommand::Command> routeCommands;
    QList<FilterCommand::Command> filterCommands;
    int nextCommand = 0;
    VerdictQueue routeVerdicts;
    QList<FilterCommand::Command> filtersWaiting;
    Applied applied;
};
