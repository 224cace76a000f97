#pragma once

#include "link/routerconnection.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QEventLoop;

// pellvane-cli's use of the router connection: one piece of work at a time, waited for to
// its end. While an answer is due the router may stay silent for at most the answer timeout;
// a router that goes away ends the work at once.
class BlockingRouterLink : public QObject {
    Q_OBJECT
public:
    // The verdicts, in the order they came. Unless complete, errorString() says why the link
    // stopped before every command sent had its verdict.
    struct Applied {
        QList<RouterConnection::RouteVerdict> routes;
        QList<RouterConnection::FilterVerdict> filters;
        RouterConnection::ListResult list;
        bool complete = false;
    };

    explicit BlockingRouterLink(int answerTimeoutMs);

    RouterConnection &connection() { return link; }
    // Opens a port by name (ttyACM0) or path.
    bool open(const QString &portName);
    // Runs the start-up queries to their end. Nothing when the router stopped answering or
    // went away.
    std::optional<RouterState> readState();
    // Sends the commands as a paced list and waits for every verdict.
    Applied apply(const QList<RouterConnection::Command> &commands);
    QString errorString() const { return error; }

private:
    enum class Task { None, Reading, Applying };

    bool run(Task work, const std::function<void()> &begin);
    void finish(const QString &failure = QString());
    bool answerDue() const;
    void onFrameRead();
    void onAnswerTimeout();
    void finishIfApplied();

    RouterConnection link;
    int answerTimeoutMs = 0;
    QTimer answerTimer; // runs while an answer is due
    QEventLoop *loop = nullptr;
    Task task = Task::None;
    QString error;
    QString goneReason; // why the port closed, once the router went away
    int lastQuery = 0;
    int commandCount = 0;
    bool listEnded = false;
    Applied applied;
};
