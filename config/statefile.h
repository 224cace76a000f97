#pragma once

#include "config/routerstate.h"
#include "filters/filterbytes.h"
#include "routing/portidentity.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// A router's whole state in one JSON file, {"routes": <route form>, "filters": {"MIDI IN1":
// <filter form>, …}}, and the strict reading of such a file or of a file of either form
// alone. Every part is the form that "Save File" writes, so each can be opened in the window.
namespace StateFile {

// What a file holds, told by its keys.
enum class Kind {
    State,  // "routes" and/or "filters"
    Routes, // the route form; also an empty object
    Filter, // the filter form (a filter key among its keys): one filter, naming no port
};

struct Contents {
    Kind kind = Kind::Routes;
    std::optional<QList<PortIdentity::Route>> routes;    // as listed, when the file holds routes
    QMap<PortIdentity::FilterPort, FilterBytes> filters; // a state file's filters, by port
    FilterBytes filter{};                                // a filter file's filter
};

struct Reading {
    std::optional<Contents> contents; // nothing unless the whole file was understood
    QString error;                    // otherwise why, in one line
};

// The filter form of a port's filter: the boxes that the window's panel shows checked.
QJsonObject filterForm(const FilterBytes &bytes);
QJsonObject form(const RouterState &state);

// Reads a file strictly: every key a port name written as the window writes it or a filter
// key, every value of its form's type. Filter keys that are missing read as false.
Reading read(const QByteArray &bytes);

} // namespace StateFile
