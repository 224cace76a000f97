#include "link/replyframe.h"

#include "link/sysexframe.h"

namespace ReplyFrame {

namespace {

using SysexFrame::byteAt;

// Payload offsets (whole-frame indexes).
constexpr int ByteCounts = 6;
constexpr int ByteRouteSource = 6;
constexpr int ByteRouteDestination = 8;
constexpr int ByteRouteState = 10;
constexpr int ByteFilterPort = 6;
constexpr int ByteFilterValues = 8;
constexpr int ByteResult = 6;
constexpr int ByteReason = 7;

constexpr int RouteStateNone = 0x00;
constexpr int RouteStateCleared = 0x7F;

QPair<int, int> pairAt(const QByteArray &frame, int index) {
    return {byteAt(frame, index), byteAt(frame, index + 1)};
}

} // namespace

PortIdentity::PortCounts portCounts(const QByteArray &frame) {
    const auto count = [&frame](int kind) { return qMax(0, byteAt(frame, ByteCounts + kind)); };
    return {count(0), count(1), count(2), count(3)};
}

std::optional<PortIdentity::Route> reportedRoute(const QByteArray &frame) {
    const int state = byteAt(frame, ByteRouteState);
    if (state == RouteStateNone || state == RouteStateCleared)
        return std::nullopt;
    return PortIdentity::Route(pairAt(frame, ByteRouteSource), pairAt(frame, ByteRouteDestination));
}

QVector<int> filterPortCounts(const QByteArray &frame) {
    QVector<int> counts;
    for (int code = 0; code < PortIdentity::filterPortKinds().size(); ++code)
        counts.append(byteAt(frame, ByteCounts + code));
    return counts;
}

PortFilter portFilter(const QByteArray &frame) {
    PortFilter filter;
    filter.port = pairAt(frame, ByteFilterPort);
    for (int k = 0; k < FilterByteCount; ++k)
        filter.bytes[std::size_t(k)] = byteAt(frame, ByteFilterValues + k);
    return filter;
}

Verdict verdict(const QByteArray &frame) {
    return {byteAt(frame, ByteResult), byteAt(frame, ByteReason)};
}

} // namespace ReplyFrame
