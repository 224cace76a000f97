#pragma once

#include "filters/filterbytes.h"

#include <QByteArray>

// Filter bytes written as hex, e.g. "037F7F"; bytes not given are 00.
inline FilterBytes filterBytesFromHex(const char *hex) {
    const QByteArray raw = QByteArray::fromHex(hex);
    FilterBytes bytes{};
    for (int i = 0; i < FilterByteCount && i < raw.size(); ++i)
        bytes[i] = quint8(raw.at(i));
    return bytes;
}
