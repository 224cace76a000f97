#pragma once

#include "filters/filterbytes.h"

#include <QByteArray>
#include <initializer_list>
#include <utility>

// The router's frames written out by hand in hex, so that tests hold the program's frames to
// the protocol rather than to the program's own builders.
namespace Wire {

// F0 00 21 5E, the class, code and payload given in hex, F7.
inline QByteArray frame(const QByteArray &hex) {
    return QByteArray::fromHex("F000215E" + hex + "F7");
}

inline QByteArray addRoute(const QByteArray &portsHex) {
    return frame("0201" + portsHex + "01");
}

inline const QByteArray ClearRoutes = frame("0201 00000000 7F");

// A set-filter command (class and code "0203") or a filter report ("0105") for the port (code
// and number): the leading filter bytes given, the rest of the 25 and the two reserved 00.
inline QByteArray filterFrame(const QByteArray &classAndCode, const QByteArray &portHex,
                              const QByteArray &filterHex) {
    return frame(classAndCode + portHex + filterHex.leftJustified(54, '0'));
}

inline QByteArray setFilter(const QByteArray &portHex, const QByteArray &filterHex) {
    return filterFrame("0203", portHex, filterHex);
}

// 25 filter bytes, zero but for the given (index, value) pairs.
inline FilterBytes filterBytes(std::initializer_list<std::pair<int, int>> set) {
    FilterBytes bytes{};
    for (const auto &[index, value] : set)
        bytes[std::size_t(index)] = value;
    return bytes;
}

} // namespace Wire
