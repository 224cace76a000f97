#include "routing/portidentity.h"

#include <array>

namespace PortIdentity {

namespace {

// Prefixes by port class code, each ending with the blank before the number.
const std::array<QString, 3> sourcePrefixes = {"MIDI IN ", "USB HOST ", "USB Device "};
const std::array<QString, 3> destinationPrefixes = {"MIDI OUT ", "USB HOST ", "USB Device "};

const std::array<QString, 3> &prefixes(End end) {
    return end == End::Source ? sourcePrefixes : destinationPrefixes;
}

// The number left after every occurrence of prefix is taken out of text.
int numberAfter(QString text, const QString &prefix) {
    return text.remove(prefix).toInt();
}

} // namespace

QString buttonText(End end, int portClass, int number) {
    if (portClass < Midi || portClass > UsbDevice)
        return QString();
    return prefixes(end)[std::size_t(portClass)] + QString::number(number);
}

QString routeName(const Route &route) {
    return buttonText(End::Source, route.first.first, route.first.second) + " -> " +
           buttonText(End::Destination, route.second.first, route.second.second);
}

std::optional<RouteEnd> parseButtonText(End end, const QString &text) {
    const std::array<QString, 3> &names = prefixes(end);
    for (int portClass = Midi; portClass <= UsbDevice; ++portClass) {
        const QString &prefix = names[std::size_t(portClass)];
        if (text.contains(prefix))
            return RouteEnd(portClass, numberAfter(text, prefix));
    }
    return std::nullopt;
}

std::optional<RouteEnd> routeEndNamed(End end, const QString &name) {
    const std::optional<RouteEnd> port = parseButtonText(end, name);
    if (!port || port->second < 1 || buttonText(end, port->first, port->second) != name)
        return std::nullopt;
    return port;
}

int buttonIndex(End end, RouteEnd port, const PortCounts &counts) {
    const int midi = end == End::Source ? counts.midiIn : counts.midiOut;
    // A negative count holds no ports and shifts nothing after it.
    const std::array<int, 3> sizes = {qMax(0, midi), qMax(0, counts.usbHost),
                                      qMax(0, counts.usbDevice)};
    const int portClass = port.first;
    const int number = port.second;
    if (portClass < Midi || portClass > UsbDevice)
        return -1;
    if (number < 1 || number > sizes[std::size_t(portClass)])
        return -1;
    int offset = 0;
    for (int c = Midi; c < portClass; ++c)
        offset += sizes[std::size_t(c)];
    return offset + number - 1;
}

bool isRoutable(const Route &route) {
    return route.first != route.second || route.first.first == Midi;
}

const QStringList &filterPortKinds() {
    static const QStringList kinds = {"MIDI IN",      "MIDI OUT",      "USB HOST IN",
                                      "USB HOST OUT", "USB DEVICE IN", "USB DEVICE OUT"};
    return kinds;
}

QString filterPortName(int filterPortCode, int number) {
    if (filterPortCode < 0 || filterPortCode >= filterPortKinds().size())
        return QString();
    return filterPortKinds().at(filterPortCode) + QString::number(number);
}

std::optional<FilterPort> parseFilterPortName(const QString &name) {
    QString text = name;
    std::optional<int> code;
    int number = 0;
    for (int kind = 0; kind < filterPortKinds().size(); ++kind) {
        const QString &prefix = filterPortKinds().at(kind);
        if (!text.contains(prefix))
            continue;
        code = kind;
        text.remove(prefix);
        number = (number + (text.toInt() & 0xFF)) & 0xFF;
    }
    if (!code)
        return std::nullopt;
    return FilterPort(*code, number);
}

std::optional<FilterPort> filterPortNamed(const QString &name) {
    const std::optional<FilterPort> port = parseFilterPortName(name);
    if (!port || port->second < 1 || filterPortName(port->first, port->second) != name)
        return std::nullopt;
    return port;
}

} // namespace PortIdentity
