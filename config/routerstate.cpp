#include "config/routerstate.h"

bool RouterState::recordRoute(const PortIdentity::Route &route) {
    if (!hasRoutePort(PortIdentity::End::Source, route.first) ||
        !hasRoutePort(PortIdentity::End::Destination, route.second) ||
        routes.contains(route.first, route.second))
        return false;
    routes.insert(route.first, route.second);
    return true;
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

std::optional<PortFilteringSituation> RouterState::filterRecord(const QString &portName) const {
    const std::optional<PortIdentity::FilterPort> port = PortIdentity::filterPortNamed(portName);
    if (!port || !filters.contains(*port))
        return std::nullopt;
    return PortFilteringSituation(portName, filters.value(*port));
}
