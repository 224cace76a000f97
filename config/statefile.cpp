#include "config/statefile.h"

#include "config/configform.h"
#include "filters/filterbits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace StateFile {

namespace {

using PortIdentity::End;

const QString RoutesKey = QStringLiteral("routes");
const QString FiltersKey = QStringLiteral("filters");

QString quoted(const QString &text) {
    return '"' + text + '"';
}

QString rendered(const QJsonValue &value) {
    if (value.isString())
        return quoted(value.toString());
    const QJsonDocument document(QJsonArray{value});
    return QString::fromUtf8(document.toJson(QJsonDocument::Compact).mid(1).chopped(1));
}

bool isFilterKey(const QString &key) {
    for (const ConfigForm::FilterKey &k : ConfigForm::filterKeys())
        if (k.key == key)
            return true;
    return false;
}

std::optional<QList<PortIdentity::Route>> readRoutes(const QJsonObject &form, QString &error) {
    QList<PortIdentity::Route> routes;
    for (const QString &key : form.keys()) {
        const std::optional<PortIdentity::RouteEnd> source =
            PortIdentity::routeEndNamed(End::Source, key);
        if (!source) {
            error = QStringLiteral("%1 is no input port name").arg(quoted(key));
            return std::nullopt;
        }
        const QJsonValue value = form.value(key);
        if (!value.isArray()) {
            error = QStringLiteral("%1 must be an array of output port names").arg(quoted(key));
            return std::nullopt;
        }
        for (const QJsonValue &element : value.toArray()) {
            const auto destination =
                PortIdentity::routeEndNamed(End::Destination, element.toString());
            if (!element.isString() || !destination) {
                error = QStringLiteral("%1: %2 is no output port name")
                            .arg(quoted(key), rendered(element));
                return std::nullopt;
            }
            if (!PortIdentity::isRoutable({*source, *destination})) {
                error = QStringLiteral("%1: a port cannot be routed to itself").arg(quoted(key));
                return std::nullopt;
            }
            routes.append(PortIdentity::Route(*source, *destination));
        }
    }
    return routes;
}

std::optional<FilterBytes> readFilter(const QJsonObject &form, QString &error) {
    for (auto it = form.constBegin(); it != form.constEnd(); ++it) {
        if (!isFilterKey(it.key())) {
            error = QStringLiteral("%1 is no filter key").arg(quoted(it.key()));
            return std::nullopt;
        }
        if (!it.value().isBool()) {
            error = QStringLiteral("%1 must be true or false").arg(quoted(it.key()));
            return std::nullopt;
        }
    }
    const QStringList boxes = ConfigForm::checkedBoxes(form);
    const QSet<QString> checked(boxes.cbegin(), boxes.cend());
    return FilterBits::pack([&checked](const QString &box) { return checked.contains(box); });
}

bool readState(const QJsonObject &root, Contents &contents, QString &error) {
    for (const QString &key : root.keys()) {
        if (key != RoutesKey && key != FiltersKey) {
            error = QStringLiteral("%1 is neither \"routes\" nor \"filters\"").arg(quoted(key));
            return false;
        }
        if (!root.value(key).isObject()) {
            error = QStringLiteral("%1 must be an object").arg(quoted(key));
            return false;
        }
    }
    if (root.contains(RoutesKey)) {
        contents.routes = readRoutes(root.value(RoutesKey).toObject(), error);
        if (!contents.routes) {
            error = QStringLiteral("\"routes\": ") + error;
            return false;
        }
    }
    const QJsonObject filters = root.value(FiltersKey).toObject();
    for (const QString &name : filters.keys()) {
        const std::optional<PortIdentity::FilterPort> port = PortIdentity::filterPortNamed(name);
        if (!port) {
            error = QStringLiteral("\"filters\": %1 is no filter port name").arg(quoted(name));
            return false;
        }
        if (!filters.value(name).isObject()) {
            error = QStringLiteral("\"filters\": %1 must be an object").arg(quoted(name));
            return false;
        }
        const std::optional<FilterBytes> bytes = readFilter(filters.value(name).toObject(), error);
        if (!bytes) {
            error = QStringLiteral("\"filters\": %1: ").arg(quoted(name)) + error;
            return false;
        }
        contents.filters.insert(*port, *bytes);
    }
    return true;
}

Kind kindOf(const QJsonObject &root) {
    if (root.contains(RoutesKey) || root.contains(FiltersKey))
        return Kind::State;
    const QStringList keys = root.keys();
    return std::any_of(keys.cbegin(), keys.cend(), isFilterKey) ? Kind::Filter : Kind::Routes;
}

Reading failed(const QString &error) {
    return {std::nullopt, error};
}

} // namespace

QJsonObject filterForm(const FilterBytes &bytes) {
    QSet<QString> checked;
    for (const FilterBits::LoadStep &step : FilterBits::loadSteps(bytes))
        if (step.click)
            checked.insert(step.boxName);
    return ConfigForm::filterForm([&checked](const QString &box) { return checked.contains(box); });
}

QJsonObject form(const RouterState &state) {
    QJsonObject filters;
    for (auto it = state.filters.cbegin(); it != state.filters.cend(); ++it)
        filters.insert(PortIdentity::filterPortName(it.key().first, it.key().second),
                       filterForm(it.value()));
    return {{RoutesKey, ConfigForm::routeForm(state.routes)}, {FiltersKey, filters}};
}

Reading read(const QByteArray &bytes) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failed(QStringLiteral("not JSON: %1 at byte %2")
                          .arg(parseError.errorString())
                          .arg(parseError.offset));
    if (!document.isObject())
        return failed(QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    Contents contents;
    contents.kind = kindOf(root);
    QString error;
    switch (contents.kind) {
    case Kind::State:
        if (!readState(root, contents, error))
            return failed(error);
        break;
    case Kind::Routes:
        contents.routes = readRoutes(root, error);
        if (!contents.routes)
            return failed(error);
        break;
    case Kind::Filter: {
        const std::optional<FilterBytes> filter = readFilter(root, error);
        if (!filter)
            return failed(error);
        contents.filter = *filter;
        break;
    }
    }
    return {contents, QString()};
}

} // namespace StateFile
