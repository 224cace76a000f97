// The Qt-free Windows parts of the device link, on Windows or under Wine: the instance-id
// parser's cases, a Setup API walk that must come back, and the device-change watch calling
// back for serial port arrivals and removals only. Exits non-zero on any failed check.
#include "link/devicechangewatch.h"
#include "link/setupapiwalk.h"
#include "link/usbinstanceid.h"

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

// Device instance identifiers and the USB identifiers in them.
void parsesInstanceIds() {
    const struct {
        const char *name;
        std::u16string_view instanceId;
        int vendorId;
        int productId;
    } cases[] = {
        {"plain", u"USB\\VID_1209&PID_7A01\\5&2F3A1B&0&1", 0x1209, 0x7A01},
        {"last token wins", u"USB\\VID_1111&PID_2222\\VID_3333#PID_4444&VID_5555", 0x5555, 0x4444},
        {"no digits", u"USB\\VID_&PID_XYZ\\1", 0, 0},
        {"lower-case hex, digits end at another character", u"USB\\VID_abcd&PID_0A.7", 0xABCD,
         0x0A},
        {"prefix must start the token and match case", u"USB\\VID_1234&XVID_5678&pid_9ABC&X_PID_7",
         0x1234, 0},
    };
    for (const auto &c : cases) {
        const UsbInstanceId ids = parseUsbInstanceId(c.instanceId);
        check(ids.vendorId == c.vendorId && ids.productId == c.productId, c.name);
    }
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
    const DeviceChangeWatch watch([&calls] { ++calls; });
    check(watch.isWatching(), "the watch registered for serial port notifications");
    notify(watch, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
    check(calls == 1, "a port arrival calls back");
    notify(watch, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE);
    check(calls == 2, "a port removal calls back");
    notify(watch, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    notify(watch, DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_DEVICEINTERFACE);
    SendMessageW(static_cast<HWND>(watch.windowHandle()), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    check(calls == 2, "other device events do not call back");
}

} // namespace

int main() {
    parsesInstanceIds();
    const BrandDeviceTable devices = setupApiBrandDevices(u"USB", u"Kelvanto");
    std::printf("the Setup API walk came back with %u brand devices\n", unsigned(devices.size()));
    watchesPortArrivalAndRemoval();
    std::printf("%s\n", failures == 0 ? "Windows link check passed" : "Windows link check FAILED");
    return failures == 0 ? 0 : 1;
}
