#pragma once

#include "routing/portidentity.h"
#include "routing/routecommand.h"

#include <QList>

// How a file's routes go to the router: the clear command, then one add-route command per
// route, paced so that the router keeps up.
namespace RouteImport {

// The add-route commands for routes as a file lists them (member by member, each array in
// its order): grouped by source in port order (MIDI IN, USB HOST, USB Device, each by
// number) and, for one source, the route listed last first. A route listed twice goes out
// once. Routes the router cannot hold (a USB port to itself) are refused before this.
QList<RouteCommand::Command> addCommands(const QList<PortIdentity::Route> &routes);

} // namespace RouteImport
