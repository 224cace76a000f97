#include "routing/routecommand.h"

namespace RouteCommand {

Command add(RouteEnd source, RouteEnd destination) {
    return {Kind::Add, source, destination};
}

Command remove(RouteEnd source, RouteEnd destination) {
    return {Kind::Delete, source, destination};
}

Command clearAll() {
    return {Kind::Clear, {0, 0}, {0, 0}};
}

} // namespace RouteCommand
