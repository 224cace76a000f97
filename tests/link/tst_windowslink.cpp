// The Qt-free Windows parts of the device link, on Windows or under Wine: the instance-id
// parser's cases, a Setup API walk that must come back, and the device-change watch calling
// back for serial port arrivals and removals only. Exits non-zero on any failed check.
#include "link/devicechangewatch.h"
#include "link/setupapiwalk.h"
#include "link/usbinstanceid.h"
#include "tests/link/instanceidcases.h"

#include <windows.h>

#include <dbt.h>

#include <cstdio>

namespace {

int failures = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok)
        ++failures;
}

void parsesInstanceIds() {
    for (const InstanceIdCase &c : InstanceIdCases) {
        const UsbInstanceId ids = parseUsbInstanceId(c.instanceId);
        check(ids.vendorId == c.vendorId && ids.productId == c.productId, c.name);
    }
}

void walksSetupApi() {
    const BrandDeviceTable devices = setupApiBrandDevices(u"USB", u"Kelvanto");
    std::printf("the Setup API walk came back with %u brand devices\n", unsigned(devices.size()));
}

// Sends the watch's window a device-change message as the system would.
void notify(const DeviceChangeWatch &watch, WPARAM event, DWORD deviceType) {
    DEV_BROADCAST_DEVICEINTERFACE_W device{};
    device.dbcc_size = sizeof(device);
    device.dbcc_devicetype = deviceType;
    SendMessageW(static_cast<HWND>(watch.windowHandle()), WM_DEVICECHANGE, event,
                 reinterpret_cast<LPARAM>(&device));
}

void watchesPortArrivalAndRemoval() {
    int calls = 0;
    HWND window = nullptr;
    {
        const DeviceChangeWatch watch([&calls] { ++calls; });
        check(watch.isWatching(), "the watch registered for serial port notifications");
        window = static_cast<HWND>(watch.windowHandle());
        notify(watch, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
        check(calls == 1, "a port arrival calls back");
        notify(watch, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE);
        check(calls == 2, "a port removal calls back");
        notify(watch, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
        notify(watch, DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_DEVICEINTERFACE);
        SendMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        check(calls == 2, "other device events do not call back");
    }
    check(!IsWindow(window), "the watch's window is gone with it");
}

} // namespace

int main() {
    parsesInstanceIds();
    walksSetupApi();
    watchesPortArrivalAndRemoval();
    std::printf("%s\n", failures == 0 ? "Windows link check passed" : "Windows link check FAILED");
    return failures == 0 ? 0 : 1;
}
