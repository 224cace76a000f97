#include "config/configform.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>

namespace ConfigForm {

namespace {

using PortIdentity::End;

QList<FilterKey> makeFilterKeys() {
    QList<FilterKey> keys;
    for (int cc = 0; cc < 128; ++cc) {
        const QString name = QStringLiteral("c%1").arg(cc);
        keys.append({name, name, QStringLiteral("CC#%1").arg(cc)});
    }
    for (int channel = 1; channel <= 16; ++channel) {
        const QString name = QStringLiteral("checkBox_%1").arg(channel);
        keys.append({name, name, QStringLiteral("Channel %1").arg(channel)});
    }
    keys += QList<FilterKey>{
        {"noteon", "checkBox_NoteOn", "Note On"},
        {"noteoff", "checkBox_NoteOff", "Note Off"},
        {"keyaftertouch", "checkBox_KeyAftertouch", "Key Aftertouch"},
        {"programchange", "checkBox_ProgramChange", "Program Change"},
        {"channelpressure", "checkBox_ChannelPressure", "Channel Pressure"},
        {"pitchbend", "checkBox_PitchBend", "Pitch Bend"},
        {"systemexclusive", "checkBox_SystemExclusive", "System Exclusive"},
        {"miditimecode", "checkBox_MIDI_Time_Code", "MIDI Time Code"},
        {"songpospointer", "checkBox_SongPosPointer", "Song Pos Pointer"},
        {"songselect", "checkBox_song_select", "Song Select"},
        {"tunerequest", "checkBox_Tune_Request", "Tune Request"},
        {"timingclock", "checkBox_Timing_Clock", "Timing Clock"},
        {"tick", "checkBox_Tick", "Tick"},
        {"start", "checkBox_Start", "Start"},
        {"continue", "checkBox_Continue", "Continue"},
        {"stop", "checkBox_Stop", "Stop"},
        {"activesensing", "checkBox_Active_Sensing", "Active Sensing"},
        {"systemrest", "checkBox_System_Reset", "System Reset"},
    };
    return keys;
}

bool routerHas(End end, const PortIdentity::RouteEnd &port,
               const PortIdentity::PortCounts &counts) {
    return PortIdentity::buttonIndex(end, port, counts) >= 0;
}

} // namespace

const QList<FilterKey> &filterKeys() {
    static const QList<FilterKey> keys = makeFilterKeys();
    return keys;
}

QJsonObject routeForm(const RouteMap &routes) {
    QJsonObject root;
    for (const QPair<int, int> &source : routes.uniqueKeys()) {
        QJsonArray destinations;
        for (const QPair<int, int> &destination : routes.values(source))
            destinations.append(
                PortIdentity::buttonText(End::Destination, destination.first, destination.second));
        root.insert(PortIdentity::buttonText(End::Source, source.first, source.second),
                    destinations);
    }
    return root;
}

QJsonObject filterForm(const std::function<bool(const QString &checkBox)> &isChecked) {
    QJsonObject root;
    for (const FilterKey &k : filterKeys())
        root.insert(k.key, isChecked(k.checkBox));
    return root;
}

QStringList checkedBoxes(const QJsonObject &root) {
    QStringList boxes;
    for (const FilterKey &k : filterKeys())
        if (root.value(k.key).toBool())
            boxes << k.checkBox;
    return boxes;
}

bool hasFilterKey(const QJsonObject &root) {
    return std::any_of(filterKeys().cbegin(), filterKeys().cend(),
                       [&](const FilterKey &k) { return root.contains(k.key); });
}

bool hasPortKey(const QJsonObject &root) {
    const QStringList keys = root.keys();
    return std::any_of(keys.cbegin(), keys.cend(), [](const QString &key) {
        return PortIdentity::parseButtonText(End::Source, key).has_value();
    });
}

RouteReading readRoutes(const QJsonObject &root, const PortIdentity::PortCounts &counts) {
    RouteReading reading;
    const auto refuse = [&reading](const QString &why) {
        if (reading.refusal.isEmpty())
            reading.refusal = why;
    };
    // A name with a port kind's prefix names a port, though perhaps one no router has.
    for (const QString &key : root.keys()) {
        const auto source = PortIdentity::parseButtonText(End::Source, key);
        if (!source)
            continue;
        if (!routerHas(End::Source, *source, counts)) {
            refuse(missingPortText(key));
            continue;
        }
        for (const QJsonValue &element : root.value(key).toArray()) {
            const QString name = element.toString();
            const auto destination = PortIdentity::parseButtonText(End::Destination, name);
            if (!destination)
                continue;
            if (!routerHas(End::Destination, *destination, counts)) {
                refuse(missingPortText(name));
                continue;
            }
            const PortIdentity::Route route(*source, *destination);
            if (!PortIdentity::isRoutable(route))
                refuse(QStringLiteral("a USB port cannot be routed to itself: %1").arg(key));
            else
                reading.routes.append(route);
        }
    }
    return reading;
}

QString missingPortText(const QString &name) {
    return QStringLiteral("the router has no port %1").arg(name);
}

bool save(const QString &path, const QJsonObject &root, QString *error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const QByteArray bytes = QJsonDocument(root).toJson();
    // commit() does not notice a failure of its own final flush, so flush first; an
    // uncommitted file is discarded and the old one stays.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

std::optional<QJsonObject> load(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace ConfigForm
