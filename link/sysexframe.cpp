#include "link/sysexframe.h"

#include <algorithm>

namespace SysexFrame {

namespace {

const QByteArray manufacturerId("\x00\x21\x5E", 3);

// F0, the manufacturer bytes, 7-bit bytes only, F7.
bool wellFormed(const QByteArray &frame) {
    if (!frame.startsWith(SYSEX_START) || frame.mid(1, manufacturerId.size()) != manufacturerId ||
        !frame.endsWith(SYSEX_END))
        return false;
    return std::all_of(frame.cbegin() + 1, frame.cend() - 1,
                       [](char byte) { return (byte & 0x80) == 0; });
}

} // namespace

QByteArray build(int messageClass, int code, const QByteArray &payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 7);
    frame.append(SYSEX_START);
    frame.append(manufacturerId);
    frame.append(char(messageClass & 0xFF));
    frame.append(char(code & 0xFF));
    frame.append(payload);
    frame.append(SYSEX_END);
    return frame;
}

QByteArray build(int messageClass, int code, std::initializer_list<int> payload) {
    QByteArray bytes;
    for (int value : payload)
        bytes.append(char(value & 0xFF));
    return build(messageClass, code, bytes);
}

QByteArray query(int item) {
    return build(ClassQuery, CodeQuery, {item});
}

Feedbacktype classify(const QByteArray &frame) {
    struct Reply {
        Feedbacktype type;
        int length;
        int messageClass;
        int code;
    };
    static constexpr Reply replies[] = {
        {ModeReport, 8, ClassQuery, CodeModeReport},
        {PortCountReport, 11, ClassQuery, CodePortCountReport},
        {RouteReport, 12, ClassQuery, CodeRouteReport},
        {FilterPortCountReport, 13, ClassQuery, CodeFilterPortCountReport},
        {PortFilterReport, 36, ClassQuery, CodePortFilterReport},
        {RouteResult, 9, ClassSet, CodeRoute},
        {ConfigResult, 9, ClassSet, CodeConfig},
        {FilterResult, 9, ClassSet, CodeFilter},
    };
    if (!wellFormed(frame))
        return OtherFrame;
    for (const Reply &reply : replies) {
        if (frame.size() == reply.length && byteAt(frame, 4) == reply.messageClass &&
            byteAt(frame, 5) == reply.code)
            return reply.type;
    }
    return OtherFrame;
}

int byteAt(const QByteArray &frame, int index) {
    if (index < 0 || index >= frame.size())
        return 0;
    return int(static_cast<signed char>(frame.at(index)));
}

} // namespace SysexFrame
