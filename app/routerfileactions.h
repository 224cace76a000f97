#pragma once

#include "app/pacedsending.h"
#include "config/routerfile.h"
#include "config/routerhistory.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class DeviceList;
class FileActions;
class NoticeQueue;
class QWidget;

// The whole router in one file, as pellvane-cli reads and writes it: "Save Router…" writes
// what the router holds as the state file of pellvane-cli dump, "Open Router…" writes a file
// into the router after showing what that would change, "Compare…" shows how the router
// differs from a file, and "History…" what it held at earlier connects, kept each time a
// connect has read it.
//
// Dialogs come only from a click, and what they depend on is checked again when they return:
// the same connection, read whole, with no list running. Nothing else waits: the router is
// read again by the connection, and the end of a paced list is told by the list.
class RouterFileActions : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget &window; // the dialogs' parent
        RouterConnection &connection;
        DeviceList &devices; // names the connected router, whose history it is
        FileActions &files;  // records a file's routes as one undo step
        PacedSending &pacing;
        NoticeQueue &notices;
        std::function<void(const QString &)> note; // what went well, for the status line
    };

    explicit RouterFileActions(const Parts &parts);

    // The router has been read whole and no list of commands is being written into it.
    bool isUsable() const;
    void saveRouter();
    void openRouter();
    void compare();
    void showHistory();
    // Keeps what the router holds in its history. A history that cannot be kept is off for
    // the rest of the run, which a notice says once; the connect goes on.
    void keepHistory();
    // The connection ended: nothing waits for it any more.
    void disconnected();
    // The connected router's history.
    RouterHistory history() const;

private:
    // A file or history entry, as it would be written into the router, and what to call it.
    struct Wanted {
        RouterFile file;
        QString name;
    };

    bool stillUsable(quint64 session) const;
    void useChosenFile(const QString &caption, const QString &refusal,
                       const std::function<void(const Wanted &, quint64)> &use);
    std::optional<Wanted> fitting(const Wanted &wanted, const QString &refusal);
    void showDifferences(const Wanted &wanted);
    void offer(const Wanted &wanted, quint64 session);
    void apply(const Wanted &wanted);
    void readBack(const Wanted &wanted, const RouterConnection::ListResult &result);
    void onStateRead(bool whole);
    void writeState(const QString &path);
    void reportComparison(const Wanted &wanted);
    void saveEntry(const RouterHistory::Entry &entry, const QString &name);

    Parts parts;
    QString savePath;               // a save waiting for the router to be read again
    std::optional<Wanted> checking; // written, waiting for the router to be read again
    bool historyOff = false;
};
