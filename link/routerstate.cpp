#include "link/routerstate.h"

void RouterState::recordRoute(const PortIdentity::Route &route) {
    if (hasRoutePort(PortIdentity::End::Source, route.first) &&
        hasRoutePort(PortIdentity::End::Destination, route.second) &&
        !routes.contains(route.first, route.second))
        routes.insert(route.first, route.second);
}

QList<PortIdentity::FilterPort> RouterState::filterPorts() const {
    QList<PortIdentity::FilterPort> all;
    for (int code = 0; code < filterPortCounts.size(); ++code) {
        for (int number = 1; number <= filterPortCounts.at(code); ++number)
            all.append({code, number});
    }
    return all;
}

bool RouterState::hasRoutePort(PortIdentity::End end, const PortIdentity::RouteEnd &port) const {
    return PortIdentity::buttonIndex(end, port, ports) >= 0;
}
