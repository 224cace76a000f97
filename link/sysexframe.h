#pragma once

#include "link/feedbacktype.h"

#include <QByteArray>
#include <initializer_list>

// Every frame on the line, in both directions: F0 00 21 5E class code payload... F7.
constexpr char SYSEX_START = char(0xF0);
constexpr char SYSEX_END = char(0xF7);

namespace SysexFrame {

// Message classes and codes (bytes 4 and 5). Each report carries the code of its query item.
constexpr int ClassQuery = 0x01;
constexpr int ClassSet = 0x02;
constexpr int CodeModeReport = 0x01;
constexpr int CodePortCountReport = 0x02;
constexpr int CodeRouteReport = 0x03;
constexpr int CodeFilterPortCountReport = 0x04;
constexpr int CodePortFilterReport = 0x05;
constexpr int CodeQuery = 0x03;
constexpr int CodeRoute = 0x01;
constexpr int CodeConfig = 0x02;
constexpr int CodeFilter = 0x03;

// Builds a whole frame; each payload value is written as its low 8 bits.
QByteArray build(int messageClass, int code, std::initializer_list<int> payload);
QByteArray build(int messageClass, int code, const QByteArray &payload);

// The start-up query for item 1..5: F0 00 21 5E 01 03 item F7.
QByteArray query(int item);

// The kind of a received frame. A frame is one of the router's replies only when it has the
// envelope, 7-bit bytes between its ends, and the length and bytes 4-5 of that reply;
// anything else is OtherFrame.
Feedbacktype classify(const QByteArray &frame);

// Byte at index as the router sends it: a signed byte widened to int; 0 past the end.
int byteAt(const QByteArray &frame, int index);

} // namespace SysexFrame
