#pragma once

#include "filters/filterbytes.h"
#include "routing/portidentity.h"

#include <QByteArray>

// The set-filter command: one port's filter, or every port's at once. The router answers
// each with one FilterResult.
namespace FilterCommand {

struct Command {
    PortIdentity::FilterPort port; // (filter port code, number), or AllPorts
    FilterBytes bytes{};
};

// The port bytes that address every port at once.
constexpr PortIdentity::FilterPort AllPorts{0x7F, 0x00};

// F0 00 21 5E 02 03, port code, port number, the 25 filter bytes, 00 00, F7; each value
// written as its low 8 bits.
QByteArray frame(const Command &command);

} // namespace FilterCommand
