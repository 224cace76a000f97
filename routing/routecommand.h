#pragma once

#include "routing/portidentity.h"

// The three route commands: add a route, delete a route, clear every route. The router
// answers each with one RouteResult, in the order the commands were written.
namespace RouteCommand {

using PortIdentity::RouteEnd;

enum class Kind { Add, Delete, Clear };

struct Command {
    Kind kind = Kind::Clear;
    RouteEnd source;      // (0, 0) for Clear
    RouteEnd destination; // (0, 0) for Clear

    bool operator==(const Command &other) const {
        return kind == other.kind && source == other.source && destination == other.destination;
    }
};

Command add(RouteEnd source, RouteEnd destination);
Command remove(RouteEnd source, RouteEnd destination);
Command clearAll();

} // namespace RouteCommand
