#pragma once

#include <map>
#include <string>
#include <utility>

// (productId, vendorId) -> bus-reported product description.
using BrandDeviceTable = std::map<std::pair<int, int>, std::u16string>;

// Walks the present devices of the Setup API enumerator and keeps those whose bus-reported
// description starts with brandPrefix (UTF-16 code units, case-sensitive). The first device
// seen with a key wins. Empty when the Setup API cannot be reached. Windows only, Qt-free.
BrandDeviceTable setupApiBrandDevices(const std::u16string &enumerator,
                                      const std::u16string &brandPrefix);
