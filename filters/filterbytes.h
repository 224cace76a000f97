#pragma once

#include <QtGlobal>
#include <array>

// One port's filter as 25 seven-bit bytes, in the order they travel on the wire.
constexpr int FilterByteCount = 25;
using FilterBytes = std::array<qint32, FilterByteCount>;

// Masks of bits 6 down to 0 of a filter byte; packing and loading both take them from here.
constexpr std::array<quint32, 7> filterBitMasks = {64, 32, 16, 8, 4, 2, 1};
