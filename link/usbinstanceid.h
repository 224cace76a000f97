#pragma once

#include <string_view>

// USB identifiers read from a device instance identifier such as
// USB\VID_1209&PID_7A01\5&2F3A&0&1. Qt-free, so the Windows inventory can use it as it is.
struct UsbInstanceId {
    int vendorId = 0;
    int productId = 0;
};

// The instance identifier is split at '\', '#' and '&'. A token beginning with "VID_" gives
// the vendor, one beginning with "PID_" the product; the last such token wins. The number is
// the hexadecimal digits right after the prefix, up to the first other character (none: 0).
UsbInstanceId parseUsbInstanceId(std::u16string_view instanceId);
