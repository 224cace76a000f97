#include "link/sysexframe.h"

namespace SysexFrame {

namespace {
const QByteArray manufacturerId("\x00\x21\x5E", 3);
}

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

std::optional<QByteArray> takeFrame(QByteArray &buffer) {
    while (!buffer.isEmpty()) {
        const int start = buffer.indexOf(SYSEX_START);
        if (start < 0)
            return std::nullopt;
        if (start > 0) {
            buffer.remove(0, start);
            continue;
        }
        // Searched from the buffer start: a frame whose end was lost is joined to the next.
        const int end = buffer.indexOf(SYSEX_END);
        if (end < 0)
            return std::nullopt;
        QByteArray frame = buffer.left(end + 1);
        buffer.remove(0, end + 1);
        return frame;
    }
    return std::nullopt;
}

std::optional<Feedbacktype> classify(const QByteArray &frame) {
    switch (frame.size()) {
    case 8:
        if (byteAt(frame, 4) == ClassQuery && byteAt(frame, 5) == CodeModeReport)
            return ModeReport;
        return std::nullopt;
    case 9:
        if (byteAt(frame, 4) != ClassSet)
            return std::nullopt;
        switch (byteAt(frame, 5)) {
        case CodeRoute:
            return RouteResult;
        case CodeConfig:
            return ConfigResult;
        case CodeFilter:
            return FilterResult;
        default:
            return std::nullopt;
        }
    case 11:
        return PortCountReport;
    case 12:
        return RouteReport;
    case 13:
        return FilterPortCountReport;
    case 36:
        return PortFilterReport;
    default:
        return OtherFrame;
    }
}

int byteAt(const QByteArray &frame, int index) {
    if (index < 0 || index >= frame.size())
        return 0;
    return int(static_cast<signed char>(frame.at(index)));
}

} // namespace SysexFrame
