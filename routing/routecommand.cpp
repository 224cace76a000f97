#include "routing/routecommand.h"

#include "link/sysexframe.h"

namespace RouteCommand {

namespace {

// Byte 10 of a route command: what to do with the route.
int actionByte(Kind kind) {
    switch (kind) {
    case Kind::Add:
        return 0x01;
    case Kind::Delete:
        return 0x00;
    case Kind::Clear:
        break;
    }
    return 0x7F;
}

} // namespace

Command add(RouteEnd source, RouteEnd destination) {
    return {Kind::Add, source, destination};
}

Command remove(RouteEnd source, RouteEnd destination) {
    return {Kind::Delete, source, destination};
}

Command clearAll() {
    return {Kind::Clear, {0, 0}, {0, 0}};
}

QByteArray frame(const Command &command) {
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeRoute,
                             {command.source.first, command.source.second,
                              command.destination.first, command.destination.second,
                              actionByte(command.kind)});
}

} // namespace RouteCommand
