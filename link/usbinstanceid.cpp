#include "link/usbinstanceid.h"

#include <cstdint>

namespace {

constexpr std::u16string_view vendorPrefix = u"VID_";
constexpr std::u16string_view productPrefix = u"PID_";

bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'#' || c == u'&';
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Identifiers are 16 bits wide; longer digit runs keep their low 32 bits rather than overflow.
int leadingHex(std::u16string_view digits) {
    std::uint32_t value = 0;
    for (char16_t c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            break;
        value = value * 16 + std::uint32_t(digit);
    }
    return int(value);
}

bool startsWith(std::u16string_view token, std::u16string_view prefix) {
    return token.substr(0, prefix.size()) == prefix;
}

} // namespace

UsbInstanceId parseUsbInstanceId(std::u16string_view instanceId) {
    UsbInstanceId ids;
    std::size_t begin = 0;
    while (begin <= instanceId.size()) {
        std::size_t end = begin;
        while (end < instanceId.size() && !isSeparator(instanceId[end]))
            ++end;
        const std::u16string_view token = instanceId.substr(begin, end - begin);
        if (startsWith(token, vendorPrefix))
            ids.vendorId = leadingHex(token.substr(vendorPrefix.size()));
        else if (startsWith(token, productPrefix))
            ids.productId = leadingHex(token.substr(productPrefix.size()));
        begin = end + 1;
    }
    return ids;
}
