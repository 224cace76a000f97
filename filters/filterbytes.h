#pragma once

#include <QtGlobal>
#include <array>

// One port's filter as 25 seven-bit bytes, in the order they travel on the wire.
constexpr int FilterByteCount = 25;
using FilterBytes = std::array<qint32, FilterByteCount>;
