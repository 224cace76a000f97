#pragma once

#include <string_view>

// Device instance identifiers and the USB identifiers in them. Qt-free: the Windows check
// runs the same cases as the Qt test.
struct InstanceIdCase {
    const char *name;
    std::u16string_view instanceId;
    int vendorId;
    int productId;
};

inline constexpr InstanceIdCase InstanceIdCases[] = {
    {"plain", u"USB\\VID_1209&PID_7A01\\5&2F3A1B&0&1", 0x1209, 0x7A01},
    {"last token wins", u"USB\\VID_1111&PID_2222\\VID_3333#PID_4444&VID_5555", 0x5555, 0x4444},
    {"no digits", u"USB\\VID_&PID_XYZ\\1", 0, 0},
    {"lower-case hex, digits end at another character", u"USB\\VID_abcd&PID_0A.7", 0xABCD, 0x0A},
    {"prefix must start the token and match case", u"USB\\VID_1234&XVID_5678&pid_9ABC&X_PID_7",
     0x1234, 0},
};
