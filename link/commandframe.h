#pragma once

#include "filters/filtercommand.h"
#include "routing/routecommand.h"

#include <QByteArray>

// The frames of the commands the tool writes; each value is written as its low 8 bits. The
// router answers each command with one verdict of its kind.
namespace CommandFrame {

// F0 00 21 5E 02 01, source class and number, destination class and number, then 01 (add),
// 00 (delete) or 7F (clear, all four route bytes 00), F7.
QByteArray route(const RouteCommand::Command &command);

// F0 00 21 5E 02 03, port code, port number, the 25 filter bytes, 00 00, F7.
QByteArray filter(const FilterCommand::Command &command);

// F0 00 21 5E 02 02 00 F7: "Set" on the routing page.
QByteArray configuration();

} // namespace CommandFrame
