#pragma once

#include "config/routerstate.h"
#include "config/statefile.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What one router held at earlier connects, so that a lost setup can be had back. Each entry
// is a state file as pellvane-cli dump writes it, named by the UTC time it was kept
// ("20260314-203015-000.json", the last number telling apart entries of one second), in a
// folder of the router's own below a base folder. Nothing here throws or waits on a user: a
// folder that cannot be written is reported as an error and the entries stay as they were.
class RouterHistory {
public:
    static constexpr int MaxEntries = 50;

    struct Entry {
        QString path;
        QDateTime time;           // when it was kept, in local time
        StateFile::Reading state; // the entry's contents, or why it is damaged
        int routes = 0;
        int changedFilters = 0; // filter ports whose filter is not all clear
    };

    // What keep() did: whether it wrote a new entry, and why not when it could not.
    struct Keeping {
        bool kept = false;
        QString error; // empty unless writing or dropping an entry failed
    };

    // The router of this name and, when known, USB serial number, whose folder is named by
    // both, made safe as a file name: routers of one name with other serials have folders of
    // their own.
    RouterHistory(const QString &baseFolder, const QString &routerName,
                  const QString &serialNumber);

    QString folder() const { return dir; }

    // Keeps the state as a new entry unless the newest entry holds the same routes and
    // filters; beyond MaxEntries the oldest are dropped.
    Keeping keep(const RouterState &state,
                 const QDateTime &when = QDateTime::currentDateTimeUtc()) const;
    // Newest first. An entry that cannot be read or is no state file is listed with the
    // reason in state.error and no contents.
    QList<Entry> entries() const;

    // Where the window keeps the histories of all routers: "history" in the application's
    // data folder.
    static QString standardBaseFolder();
    // The setting "history/enabled" of the application's settings: on unless turned off.
    static bool isEnabled();

private:
    QStringList entryNames() const; // oldest first

    QString dir;
};
