#include "config/routerfile.h"

#include "config/configform.h"
#include "config/routeimport.h"

#include <QJsonObject>

namespace {

using PortIdentity::End;

QString filterPortName(const PortIdentity::FilterPort &port) {
    return PortIdentity::filterPortName(port.first, port.second);
}

// The filter boxes that differ between the router's filter and the file's, by their labels.
QStringList boxDifferences(const QString &port, const FilterBytes &held,
                           const FilterBytes &wanted) {
    const QJsonObject heldForm = StateFile::filterForm(held);
    const QJsonObject wantedForm = StateFile::filterForm(wanted);
    QStringList lines;
    for (const ConfigForm::FilterKey &k : ConfigForm::filterKeys()) {
        const bool onRouter = heldForm.value(k.key).toBool();
        if (onRouter != wantedForm.value(k.key).toBool())
            lines << QStringLiteral("filter %1: %2 ticked %3, not %4")
                         .arg(port, k.label, onRouter ? "on the router" : "in the file",
                              onRouter ? "in the file" : "on the router");
    }
    return lines;
}

} // namespace

RouterFile::RouterFile(const StateFile::Contents &contents,
                       std::optional<PortIdentity::FilterPort> filterPorts) {
    if (contents.kind != StateFile::Kind::Filter) {
        routes = contents.routes;
        filters = contents.filters;
    } else if (filterPorts == FilterCommand::AllPorts) {
        everyPort = contents.filter;
    } else if (filterPorts) {
        filters.insert(*filterPorts, contents.filter);
    }
}

QString RouterFile::missingPort(const RouterState &router) const {
    for (const PortIdentity::Route &route : routes.value_or(QList<PortIdentity::Route>())) {
        if (!router.hasRoutePort(End::Source, route.first))
            return ConfigForm::missingPortText(
                PortIdentity::buttonText(End::Source, route.first.first, route.first.second));
        if (!router.hasRoutePort(End::Destination, route.second))
            return ConfigForm::missingPortText(PortIdentity::buttonText(
                End::Destination, route.second.first, route.second.second));
    }
    const QList<PortIdentity::FilterPort> ports = router.filterPorts();
    for (const PortIdentity::FilterPort &port : filters.keys())
        if (!ports.contains(port))
            return QStringLiteral("the router has no filter port %1").arg(filterPortName(port));
    return QString();
}

QStringList RouterFile::differences(const RouterState &router) const {
    QStringList lines;
    if (routes) {
        QList<PortIdentity::Route> listed;
        for (const PortIdentity::Route &route : *routes) {
            if (listed.contains(route))
                continue;
            listed.append(route);
            if (!router.routes.contains(route.first, route.second))
                lines << QStringLiteral("route missing: %1").arg(PortIdentity::routeName(route));
        }
        for (auto it = router.routes.cbegin(); it != router.routes.cend(); ++it)
            if (!listed.contains({it.key(), it.value()}))
                lines << QStringLiteral("route extra: %1")
                             .arg(PortIdentity::routeName({it.key(), it.value()}));
    }
    const QMap<PortIdentity::FilterPort, FilterBytes> wanted = filtersOn(router);
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QString port = filterPortName(it.key());
        if (router.filters.contains(it.key()))
            lines << boxDifferences(port, router.filters.value(it.key()), it.value());
        else
            lines << QStringLiteral("filter %1: the router reported none").arg(port);
    }
    return lines;
}

QList<RouteCommand::Command> RouterFile::routeCommands() const {
    if (!routes)
        return {};
    return QList<RouteCommand::Command>{RouteCommand::clearAll()} +
           RouteImport::addCommands(*routes);
}

QList<FilterCommand::Command> RouterFile::filterCommands() const {
    if (everyPort)
        return {{FilterCommand::AllPorts, *everyPort}};
    QList<FilterCommand::Command> commands;
    for (auto it = filters.cbegin(); it != filters.cend(); ++it)
        commands.append({it.key(), it.value()});
    return commands;
}

QList<RouterFile::Command> RouterFile::commands() const {
    QList<Command> all;
    for (const RouteCommand::Command &command : routeCommands())
        all.append(command);
    for (const FilterCommand::Command &command : filterCommands())
        all.append(command);
    return all;
}

QMap<PortIdentity::FilterPort, FilterBytes> RouterFile::filtersOn(const RouterState &router) const {
    if (!everyPort)
        return filters;
    QMap<PortIdentity::FilterPort, FilterBytes> all;
    for (const PortIdentity::FilterPort &port : router.filterPorts())
        all.insert(port, *everyPort);
    return all;
}
