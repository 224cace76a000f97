#pragma once

#include "routing/portidentity.h"

#include <QJsonObject>
#include <QList>
#include <QMultiMap>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

// The configuration file: one JSON object that holds either the routes (source port name ->
// array of destination port names) or one port's filter panel (162 booleans). The file does
// not say which; its keys do, and a reader takes it the way the page it is opened on expects.
namespace ConfigForm {

using RouteMap = QMultiMap<QPair<int, int>, QPair<int, int>>;

// One filter check box, the key it is stored under and what the filter panel calls it: the
// box's own text, or "Channel 3" for a channel box, whose text is the bare number.
struct FilterKey {
    QString key;
    QString checkBox;
    QString label;
};

// The 162 filter keys in the order they are written and read: "c0" … "c127",
// "checkBox_1" … "checkBox_16", the channel messages, System Common, System Realtime.
const QList<FilterKey> &filterKeys();

// Route form: one member per source, its destinations as routes.values(source) lists them
// (the route recorded last first).
QJsonObject routeForm(const RouteMap &routes);

// Filter form: every filter key, true where isChecked(check box name) says so.
QJsonObject filterForm(const std::function<bool(const QString &checkBox)> &isChecked);

// The check boxes whose keys are true in root, in key order. Missing keys and values that
// are not true booleans leave their box out.
QStringList checkedBoxes(const QJsonObject &root);

// Whether any key of root is one of the 162 filter keys.
bool hasFilterKey(const QJsonObject &root);
// Whether any key of root names a source port the way the route form does.
bool hasPortKey(const QJsonObject &root);

// The routes of a route form as a router with these counts would take them.
struct RouteReading {
    // Keys in root.keys() order, each key's destinations in array order. Keys and elements
    // that name no port kind are skipped; so are values of the wrong type.
    QList<PortIdentity::Route> routes;
    // Why the router cannot take them, naming the first port it lacks ("the router has no
    // port MIDI IN 3") or a USB port routed to itself; empty when it can.
    QString refusal;
};
RouteReading readRoutes(const QJsonObject &root, const PortIdentity::PortCounts &counts);
// "the router has no port NAME": why a file cannot go to a router.
QString missingPortText(const QString &name);

// Writes root, indented, through a temporary file that replaces path only once it is
// complete: a failed save leaves an existing file as it was. Where the folder takes no new
// files, an existing file that may be written is written in place. On failure error, when
// given, says why.
bool save(const QString &path, const QJsonObject &root, QString *error = nullptr);

// Reads path as a JSON object; nothing when it cannot be read or is no object.
std::optional<QJsonObject> load(const QString &path);

} // namespace ConfigForm
