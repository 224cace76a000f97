#include "filters/filtercommand.h"

#include "link/sysexframe.h"

namespace FilterCommand {

QByteArray frame(const Command &command) {
    QByteArray payload;
    payload.append(char(command.port.first & 0xFF));
    payload.append(char(command.port.second & 0xFF));
    for (qint32 value : command.bytes)
        payload.append(char(value & 0xFF));
    payload.append(2, '\0'); // reserved
    return SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeFilter, payload);
}

} // namespace FilterCommand
