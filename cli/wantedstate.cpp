#include "cli/wantedstate.h"

#include "cli/clitext.h"
#include "config/configform.h"
#include "config/routeimport.h"

#include <QJsonObject>

namespace {

using PortIdentity::End;

QString filterPortName(const PortIdentity::FilterPort &port) {
    return PortIdentity::filterPortName(port.first, port.second);
}

QString kindName(StateFile::Kind kind) {
    return kind == StateFile::Kind::State ? QStringLiteral("a state file")
                                          : QStringLiteral("a route file");
}

// The filter boxes whose keys differ between the router's filter and the file's.
QStringList boxDifferences(const QString &port, const FilterBytes &held,
                           const FilterBytes &wanted) {
    const QJsonObject heldForm = StateFile::filterForm(held);
    const QJsonObject wantedForm = StateFile::filterForm(wanted);
    QStringList lines;
    for (const ConfigForm::FilterKey &k : ConfigForm::filterKeys()) {
        const bool onRouter = heldForm.value(k.key).toBool();
        if (onRouter != wantedForm.value(k.key).toBool())
            lines << QStringLiteral("filter %1: %2 is %3 on the router, %4 in the file")
                         .arg(port, k.key, onRouter ? "true" : "false",
                              onRouter ? "false" : "true");
    }
    return lines;
}

} // namespace

std::optional<WantedState> WantedState::from(const StateFile::Contents &contents,
                                             const CliArguments &arguments, QString &error) {
    const bool forFilterFile = !arguments.filterPort.isEmpty() || arguments.allPorts;
    WantedState wanted;
    if (contents.kind != StateFile::Kind::Filter) {
        if (forFilterFile) {
            error = QStringLiteral("--filter-port and --all-ports go with a filter file, not %1")
                        .arg(kindName(contents.kind));
            return std::nullopt;
        }
        wanted.routes = contents.routes;
        wanted.filters = contents.filters;
        return wanted;
    }
    if (!forFilterFile) {
        error = QStringLiteral("a filter file needs --filter-port NAME or --all-ports");
        return std::nullopt;
    }
    if (arguments.allPorts)
        wanted.everyPort = contents.filter;
    else if (const auto port = PortIdentity::filterPortNamed(arguments.filterPort))
        wanted.filters.insert(*port, contents.filter);
    return wanted;
}

QString WantedState::missingPort(const RouterState &router) const {
    for (const PortIdentity::Route &route : routes.value_or(QList<PortIdentity::Route>())) {
        if (!router.hasRoutePort(End::Source, route.first))
            return QStringLiteral("the router has no port %1")
                .arg(PortIdentity::buttonText(End::Source, route.first.first, route.first.second));
        if (!router.hasRoutePort(End::Destination, route.second))
            return QStringLiteral("the router has no port %1")
                .arg(PortIdentity::buttonText(End::Destination, route.second.first,
                                              route.second.second));
    }
    const QList<PortIdentity::FilterPort> ports = router.filterPorts();
    for (const PortIdentity::FilterPort &port : filters.keys())
        if (!ports.contains(port))
            return QStringLiteral("the router has no filter port %1").arg(filterPortName(port));
    return QString();
}

QStringList WantedState::differences(const RouterState &router) const {
    QStringList lines;
    if (routes) {
        QList<PortIdentity::Route> listed;
        for (const PortIdentity::Route &route : *routes) {
            if (listed.contains(route))
                continue;
            listed.append(route);
            if (!router.routes.contains(route.first, route.second))
                lines << QStringLiteral("route missing: %1").arg(CliText::route(route));
        }
        for (auto it = router.routes.cbegin(); it != router.routes.cend(); ++it)
            if (!listed.contains({it.key(), it.value()}))
                lines << QStringLiteral("route extra: %1")
                             .arg(CliText::route({it.key(), it.value()}));
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

QList<RouteCommand::Command> WantedState::routeCommands() const {
    if (!routes)
        return {};
    return QList<RouteCommand::Command>{RouteCommand::clearAll()} +
           RouteImport::addCommands(*routes);
}

QList<FilterCommand::Command> WantedState::filterCommands() const {
    if (everyPort)
        return {{FilterCommand::AllPorts, *everyPort}};
    QList<FilterCommand::Command> commands;
    for (auto it = filters.cbegin(); it != filters.cend(); ++it)
        commands.append({it.key(), it.value()});
    return commands;
}

QMap<PortIdentity::FilterPort, FilterBytes>
WantedState::filtersOn(const RouterState &router) const {
    if (!everyPort)
        return filters;
    QMap<PortIdentity::FilterPort, FilterBytes> all;
    for (const PortIdentity::FilterPort &port : router.filterPorts())
        all.insert(port, *everyPort);
    return all;
}
