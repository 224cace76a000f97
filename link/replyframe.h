#pragma once

#include "filters/filterbytes.h"
#include "routing/portidentity.h"

#include <QByteArray>
#include <QVector>
#include <optional>

// What the router's replies carry. Each function reads one whole frame (F0 first, F7 last)
// of the kind its name says, as SysexFrame::classify told it; every value is the frame's
// signed byte widened to int, and a byte past the frame's end reads as 0.
namespace ReplyFrame {

// PortCountReport: MIDI IN, MIDI OUT, USB HOST and USB Device ports. A count read as
// negative means no ports of that kind.
PortIdentity::PortCounts portCounts(const QByteArray &frame);

// RouteReport: the route, or nothing when its state byte says the router holds none there
// (00 or 7F).
std::optional<PortIdentity::Route> reportedRoute(const QByteArray &frame);

// FilterPortCountReport: the count of each filter port kind, indexed by filter port code.
QVector<int> filterPortCounts(const QByteArray &frame);

// PortFilterReport: the port it describes and that port's 25 filter bytes.
struct PortFilter {
    PortIdentity::FilterPort port;
    FilterBytes bytes{};
};
PortFilter portFilter(const QByteArray &frame);

// RouteResult, ConfigResult, FilterResult: the result (0 is success) and the reason.
struct Verdict {
    int result = 0;
    int reason = 0;
};
Verdict verdict(const QByteArray &frame);

} // namespace ReplyFrame
