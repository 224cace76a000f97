#pragma once

#include "filters/filterbytes.h"
#include "filters/portfilteringsituation.h"
#include "routing/portidentity.h"

#include <QList>
#include <QMap>
#include <QMultiMap>
#include <QVector>
#include <optional>

// What a router holds as far as the tool knows it: its ports, its routes and its filters.
struct RouterState {
    PortIdentity::PortCounts ports;
    QVector<int> filterPortCounts; // by filter port code; empty until the router counted them
    // The routes between ports of the port map, recorded as the window records them: for one
    // source, the route recorded last comes first.
    QMultiMap<PortIdentity::RouteEnd, PortIdentity::RouteEnd> routes;
    QMap<PortIdentity::FilterPort, FilterBytes> filters; // one record a port of a known kind

    // Keeps a route whose ends are both in the port map, once; whether it was new.
    bool recordRoute(const PortIdentity::Route &route);
    // Every filter port the counts name, by code and then number.
    QList<PortIdentity::FilterPort> filterPorts() const;
    bool hasRoutePort(PortIdentity::End end, const PortIdentity::RouteEnd &port) const;
    // The record of the port a filter port name names, when the router reported one.
    std::optional<PortFilteringSituation> filterRecord(const QString &portName) const;
};
