#pragma once

#include <QByteArray>
#include <optional>

// Cuts the bytes received from one end of the line into frames, in time proportional to the
// bytes however they are chunked: every byte is looked at once.
//
// A frame runs from the last F0 before an F7 to that F7. A start byte inside a frame means
// that the earlier frame lost its end; its bytes are dropped, as are bytes outside any frame.
// Only the frame still being received is held, and at most MaxHeldBytes of it: a frame that
// grows past that has lost its end too, and is dropped with a debug trace.
class FrameCutter {
public:
    static constexpr int MaxHeldBytes = 64 * 1024;

    void append(const QByteArray &chunk);
    // Takes the next complete frame out, or returns nothing when no complete frame is left.
    // Nothing is read again after a call returns, so a caller may append or clear between
    // two calls, also while handling the frame one of them returned.
    std::optional<QByteArray> takeFrame();
    void clear();
    // Bytes kept in memory; once takeFrame has returned nothing, only those of the frame
    // still being received.
    int heldBytes() const { return bytes.size(); }

private:
    void dropConsumed();

    QByteArray bytes;
    int scanned = 0;     // bytes before this index have been looked at
    int frameStart = -1; // index of the F0 of the frame being received; -1 between frames
};
