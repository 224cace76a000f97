#pragma once

#include "filters/filterbytes.h"
#include "routing/portidentity.h"

// The set-filter command: one port's filter, or every port's at once. The router answers
// each with one FilterResult.
namespace FilterCommand {

struct Command {
    PortIdentity::FilterPort port; // (filter port code, number), or AllPorts
    FilterBytes bytes{};
};

// The port bytes that address every port at once.
constexpr PortIdentity::FilterPort AllPorts{0x7F, 0x00};

} // namespace FilterCommand
