#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The router's ports as the protocol and the window name them.
//
// Routing side: a route end is (port class code, number from 1). MIDI ports are one-way
// (MIDI IN sources, MIDI OUT destinations); USB HOST and USB Device ports are both.
// Filter side: six port kinds counted by direction, named kind + number without a blank.
namespace PortIdentity {

enum PortClass { Midi = 0, UsbHost = 1, UsbDevice = 2 };
enum class End { Source, Destination };

using RouteEnd = QPair<int, int>;        // (port class code, number)
using Route = QPair<RouteEnd, RouteEnd>; // (source, destination)
using FilterPort = QPair<int, int>;      // (filter port code, number)

struct PortCounts {
    int midiIn = 0;
    int midiOut = 0;
    int usbHost = 0;
    int usbDevice = 0;

    bool operator==(const PortCounts &other) const {
        return midiIn == other.midiIn && midiOut == other.midiOut && usbHost == other.usbHost &&
               usbDevice == other.usbDevice;
    }
};

// "MIDI IN %1" / "MIDI OUT %1", "USB HOST %1", "USB Device %1"; empty for an unknown class.
QString buttonText(End end, int portClass, int number);

// "MIDI IN 1 -> USB HOST 2": a route as pellvane-cli and the router comparisons name it.
QString routeName(const Route &route);

// Reads a button text (or a configuration file name) back into a route end: the first of the
// end's three prefixes that the text contains is removed wherever it occurs and the rest read
// as a decimal number (0 when it is not one). Nothing when no prefix occurs.
std::optional<RouteEnd> parseButtonText(End end, const QString &text);

// The route end a name stands for when it is written exactly as buttonText writes it, with a
// number from 1; nothing otherwise.
std::optional<RouteEnd> routeEndNamed(End end, const QString &name);

// Index of a route end in the window's input or output button list, laid out as
// MIDI 1..m, USB HOST 1..h, USB Device 1..d; -1 when the port is not in the map.
int buttonIndex(End end, RouteEnd port, const PortCounts &counts);

// A USB port is one socket in both columns and cannot be routed to itself; a MIDI IN and
// the MIDI OUT of the same number are two sockets.
bool isRoutable(const Route &route);

// "MIDI IN", "MIDI OUT", "USB HOST IN", "USB HOST OUT", "USB DEVICE IN", "USB DEVICE OUT".
const QStringList &filterPortKinds();

// Kind name + number, e.g. "USB HOST OUT2"; empty for an unknown code.
QString filterPortName(int filterPortCode, int number);

// The set-filter addressing of a chooser text: each kind prefix in turn, if the (shortened)
// text contains it, sets the code, is removed everywhere, and adds the rest's decimal value
// (low 8 bits) to the number. Nothing when no prefix matches.
std::optional<FilterPort> parseFilterPortName(const QString &name);

// The filter port a name stands for when it is written exactly as filterPortName writes it,
// with a number from 1; nothing otherwise.
std::optional<FilterPort> filterPortNamed(const QString &name);

} // namespace PortIdentity
