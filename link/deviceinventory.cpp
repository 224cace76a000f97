#include "link/deviceinventory.h"

// Placeholder until the platform inventories exist.
namespace {
DeviceInventory *replacement = nullptr;
}

DeviceInventory *deviceInventory() {
    return replacement;
}

void setDeviceInventory(DeviceInventory *inventory) {
    replacement = inventory;
}
