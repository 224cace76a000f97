#include "link/fifobuffer.h"

#include "link/sysexframe.h"
#include "link/tracecategories.h"

#include <QDebug>

void FiFoBuffer::pushBytes(QByteArray chunk) {
    qCDebug(lcLink) << "read data:" << chunk;
    rxBuffer.append(chunk);
    splitFrames();
}

void FiFoBuffer::splitFrames() {
    // Each frame leaves rxBuffer before it is emitted: a handler that pumps events may push
    // more bytes and split them in a nested call, or clear the buffer, and every frame is
    // still emitted once.
    while (std::optional<QByteArray> frame = rxBuffer.takeFrame())
        emit currDataFrame(SysexFrame::classify(*frame), *frame);
}

void FiFoBuffer::clear() {
    rxBuffer.clear();
}
