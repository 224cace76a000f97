#include "link/fifobuffer.h"

#include "link/sysexframe.h"
#include "link/tracecategories.h"

#include <QDebug>

// Each frame leaves rxBuffer before it is emitted: a handler may push more bytes, which are
// split in a call of their own, or clear the buffer, and every frame is still emitted once.
void FiFoBuffer::pushBytes(QByteArray chunk) {
    qCDebug(lcLink) << "read data:" << chunk;
    rxBuffer.append(chunk);
    while (std::optional<QByteArray> frame = rxBuffer.takeFrame())
        emit currDataFrame(SysexFrame::classify(*frame), *frame);
}

void FiFoBuffer::clear() {
    rxBuffer.clear();
}
