#include "link/commandframe.h"

#include "link/sysexframe.h"

namespace CommandFrame {

namespace {

// Byte 10 of a route command: what to do with the route.
int actionByte(RouteCommand::Kind kind) {
    switch (kind) {
    case RouteCommand::Kind::Add:
        return 0x01;
    case RouteCommand::Kind::Delete:
        return 0x00;
    case RouteCommand::Kind::Clear:
        break;
    }
    return 0x7F;
}

} // namespace

QByteArray route(const RouteCommand::Command &command) {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeRoute,
                             {command.source.first, command.source.second,
                              command.destination.first, command.destination.second,
                              actionByte(command.kind)});
}

QByteArray filter(const FilterCommand::Command &command) {
    QByteArray payload;
    payload.append(char(command.port.first & 0xFF));
    payload.append(char(command.port.second & 0xFF));
    for (qint32 value : command.bytes)
        payload.append(char(value & 0xFF));
    payload.append(2, '\0'); // reserved
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeFilter, payload);
}

QByteArray configuration() {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeConfig, {0});
}

} // namespace CommandFrame
