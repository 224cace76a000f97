#include "link/framecutter.h"

#include "link/sysexframe.h"
#include "link/tracecategories.h"

#include <QDebug>

void FrameCutter::append(const QByteArray &chunk) {
    bytes.append(chunk);
}

std::optional<QByteArray> FrameCutter::takeFrame() {
    while (scanned < bytes.size()) {
        const char byte = bytes.at(scanned++);
        if (byte == SYSEX_START) {
            frameStart = scanned - 1;
        } else if (byte == SYSEX_END && frameStart >= 0) {
            QByteArray frame = bytes.mid(frameStart, scanned - frameStart);
            frameStart = -1;
            return frame;
        }
    }
    dropConsumed();
    return std::nullopt;
}

void FrameCutter::clear() {
    bytes.clear();
    scanned = 0;
    frameStart = -1;
}

// Runs once everything has been looked at: the frames taken and the bytes before the last
// start byte go, in one move, so that each byte is moved at most once.
void FrameCutter::dropConsumed() {
    if (frameStart < 0) {
        clear();
        return;
    }
    if (bytes.size() - frameStart > MaxHeldBytes) {
        qCDebug(lcLink) << "dropped" << bytes.size() - frameStart
                        << "received bytes: a frame start without an end within" << MaxHeldBytes
                        << "bytes";
        clear();
        return;
    }
    if (frameStart > 0) {
        bytes = bytes.mid(frameStart);
        scanned -= frameStart;
        frameStart = 0;
    }
}
