#pragma once

#include "link/routerconnection.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class NoticeQueue;
class QPushButton;

// The paced lists of commands that the window starts (imports, their undo steps, a router
// file written whole): one at a time, a long one with its progress on the status line and
// Cancel beside it, and what became of it said at its end: on the status line when it went
// out whole, in a notice when it stopped early.
class PacedSending : public QObject {
    Q_OBJECT
public:
    // What the status line and the notices call a list, and what follows its end.
    struct Pacing {
        QString progress;  // "Importing routes: %1 of %2"
        QString name;      // "Import", for the notice of a list that stopped early
        QString unit;      // "routes": what the counts count
        int uncounted = 0; // commands at the head that the counts leave out (a clear)
        std::function<QString(int count)> done; // for the status line; none says nothing
        std::function<void(const RouterConnection::ListResult &)> ended; // after the notice
    };

    PacedSending(RouterConnection &connection, QPushButton &cancel, NoticeQueue &notices,
                 std::function<void(const QString &)> note);

    // Starts the list; returns how many commands go out (0 starts nothing).
    int start(const QList<RouterConnection::Command> &commands, const Pacing &pacing);
    int start(const QList<RouteCommand::Command> &commands, const Pacing &pacing);
    void cancel();
    // "Importing routes: k of n" while a long list runs; empty otherwise.
    QString progress() const;

signals:
    void progressChanged();

private:
    void showProgress(int sent);
    void end(const RouterConnection::ListResult &result);

    RouterConnection &connection;
    QPushButton &cancelButton;
    NoticeQueue &notices;
    std::function<void(const QString &)> note;
    std::optional<Pacing> running; // of the list running, when this started it
    int total = 0;
    int sent = 0;
    bool progressShown = false; // a long list shows its count and Cancel
};
