#include "config/routeimport.h"

#include <QMultiMap>

namespace RouteImport {

QList<RouteCommand::Command> addCommands(const QList<PortIdentity::Route> &routes) {
    // A multi-map keeps its keys in port order and puts the later of two values first.
    QMultiMap<PortIdentity::RouteEnd, PortIdentity::RouteEnd> bySource;
    for (const PortIdentity::Route &route : routes)
        bySource.insert(route.first, route.second);
    QList<RouteCommand::Command> commands;
    for (auto it = bySource.cbegin(); it != bySource.cend(); ++it) {
        const RouteCommand::Command add = RouteCommand::add(it.key(), it.value());
        if (!commands.contains(add))
            commands.append(add);
    }
    return commands;
}

} // namespace RouteImport
