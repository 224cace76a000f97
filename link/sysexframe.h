#pragma once

#include "link/feedbacktype.h"

#include <QByteArray>
#include <initializer_list>
#include <optional>

// Every frame on the line, in both directions: F0 00 21 5E class code payload... F7.
constexpr char SYSEX_START = char(0xF0);
constexpr char SYSEX_END = char(0xF7);

namespace SysexFrame {

// Message classes and codes (bytes 4 and 5).
constexpr int ClassQuery = 0x01;
constexpr int ClassSet = 0x02;
constexpr int CodeModeReport = 0x01;
constexpr int CodeQuery = 0x03;
constexpr int CodeRoute = 0x01;
constexpr int CodeConfig = 0x02;
constexpr int CodeFilter = 0x03;

// Builds a whole frame; each payload value is written as its low 8 bits.
QByteArray build(int messageClass, int code, std::initializer_list<int> payload);
QByteArray build(int messageClass, int code, const QByteArray &payload);

// The start-up query for item 1..5: F0 00 21 5E 01 03 item F7.
QByteArray query(int item);

// Cuts the next complete frame off the front of buffer. Bytes before the first F0 are
// dropped; the frame runs from that F0 to the first F7 in the buffer. Returns nothing
// (and keeps the remaining bytes) while no complete frame is there.
std::optional<QByteArray> takeFrame(QByteArray &buffer);

// The kind of a received frame, or nothing for the 8- and 9-byte frames whose header
// bytes name no known reply (those are dropped).
std::optional<Feedbacktype> classify(const QByteArray &frame);

// Byte at index as the router sends it: a signed byte widened to int; 0 past the end.
int byteAt(const QByteArray &frame, int index);

} // namespace SysexFrame
