#pragma once

#include "filters/filterbytes.h"
#include "routing/portidentity.h"

#include <QList>
#include <QMap>
#include <QMultiMap>
#include <QVector>

// What the start-up queries read from a router: its ports, its routes and its filters.
struct RouterState {
    PortIdentity::PortCounts ports;
    QVector<int> filterPortCounts; // by filter port code
    // The reported routes between ports of the port map, recorded as the window records them:
    // for one source, the route reported last comes first.
    QMultiMap<PortIdentity::RouteEnd, PortIdentity::RouteEnd> routes;
    QMap<PortIdentity::FilterPort, FilterBytes> filters; // the last report of each port

    // Keeps a reported route whose ends are both in the port map, once.
    void recordRoute(const PortIdentity::Route &route);
    // Every filter port the counts name, by code and then number.
    QList<PortIdentity::FilterPort> filterPorts() const;
    bool hasRoutePort(PortIdentity::End end, const PortIdentity::RouteEnd &port) const;
};
