#pragma once

#include "filters/filtercommand.h"
#include "link/routerconnection.h"
#include "routing/portidentity.h"
#include "routing/routecommand.h"

#include <QString>

// How pellvane-cli names routes, commands and the router's verdicts in its output.
namespace CliText {

// "clear all routes", or the route an add-route or delete-route command names, as
// PortIdentity::routeName() does
QString routeCommand(const RouteCommand::Command &command);
// "filter MIDI IN1", or "filter on every port"
QString filterCommand(const FilterCommand::Command &command);

// "accepted", or "refused: " and the reason in the words the window uses (its number when
// the router gave one the window has no words for).
struct Verdict {
    bool accepted = false;
    QString text;
};
Verdict routeVerdict(const RouterConnection::RouteVerdict &verdict);
Verdict filterVerdict(const RouterConnection::FilterVerdict &verdict);

} // namespace CliText
