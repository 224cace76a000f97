#pragma once

#include "config/routerstate.h"
#include "config/statefile.h"
#include "filters/filtercommand.h"
#include "routing/routecommand.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <optional>
#include <variant>

// What a file asks a router to hold: the routes (all of them, when the file holds routes)
// and the filters of the ports it names. The window and pellvane-cli alike compare a router
// with it and write it into a router with the same commands.
class RouterFile {
public:
    // A command of what apply sends; the same variant as a command of a router connection's
    // paced list.
    using Command = std::variant<RouteCommand::Command, FilterCommand::Command>;

    // A state or route file as read. A filter file names no port: it is taken for
    // filterPorts, one filter port or FilterCommand::AllPorts, and asks for nothing without
    // it; other files ignore filterPorts.
    explicit RouterFile(const StateFile::Contents &contents,
                        std::optional<PortIdentity::FilterPort> filterPorts = std::nullopt);

    // The first port named that the router does not have, in one line; empty when it has all.
    QString missingPort(const RouterState &router) const;
    // Every way the router differs, one line each: "route missing: MIDI IN 1 -> MIDI OUT 2",
    // "route extra: …", and each filter box that differs, named as the filter panel shows it
    // ("filter MIDI IN1: Channel 3 ticked in the file, not on the router").
    QStringList differences(const RouterState &router) const;

    // What apply sends: the clear command and the file's routes as an import sends them
    // (nothing when the file holds no routes), then one set-filter command per port.
    QList<RouteCommand::Command> routeCommands() const;
    QList<FilterCommand::Command> filterCommands() const;
    QList<Command> commands() const; // both, in that order

private:
    QMap<PortIdentity::FilterPort, FilterBytes> filtersOn(const RouterState &router) const;

    std::optional<QList<PortIdentity::Route>> routes;
    QMap<PortIdentity::FilterPort, FilterBytes> filters;
    std::optional<FilterBytes> everyPort; // one filter for every port
};
