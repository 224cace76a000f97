#pragma once

#include "cli/cliarguments.h"
#include "config/routerstate.h"
#include "config/statefile.h"
#include "filters/filtercommand.h"
#include "routing/routecommand.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <optional>

// What a file asks a router to hold, once the command line has said which ports a filter
// file is for: the routes (all of them, when the file holds routes) and the filters of the
// ports it names.
class WantedState {
public:
    // Nothing, with error set to one line, when the file's kind does not fit the options: a
    // filter file needs --filter-port or --all-ports, and those options need a filter file.
    static std::optional<WantedState> from(const StateFile::Contents &contents,
                                           const CliArguments &arguments, QString &error);

    // The first port named that the router does not have, in one line; empty when it has all.
    QString missingPort(const RouterState &router) const;
    // Every way the router differs, one line each: a route missing or extra, a filter box.
    QStringList differences(const RouterState &router) const;

    // What apply sends: the clear command and the file's routes as an import sends them
    // (nothing when the file holds no routes), then one set-filter command per port.
    QList<RouteCommand::Command> routeCommands() const;
    QList<FilterCommand::Command> filterCommands() const;

private:
    QMap<PortIdentity::FilterPort, FilterBytes> filtersOn(const RouterState &router) const;

    std::optional<QList<PortIdentity::Route>> routes;
    QMap<PortIdentity::FilterPort, FilterBytes> filters;
    std::optional<FilterBytes> everyPort; // one filter for every port
};
