#include "link/devicechangewatch.h"

#include <windows.h>

#include <dbt.h>

#include <utility>

namespace {

const wchar_t windowClassName[] = L"PellvaneDeviceChangeWatch";

// The device interface class of serial ports (GUID_DEVINTERFACE_COMPORT).
constexpr GUID comPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x12, 0xA8}};

bool isPortArrivalOrRemoval(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return false;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(data);
    return header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && isPortArrivalOrRemoval(wParam, lParam)) {
        const auto *onChange = reinterpret_cast<const std::function<void()> *>(
            GetWindowLongPtrW(window, GWLP_USERDATA));
        if (onChange && *onChange)
            (*onChange)();
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One window class for every watch of the process; registering it again fails harmlessly.
void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = windowClassName;
    RegisterClassExW(&windowClass);
}

} // namespace

DeviceChangeWatch::DeviceChangeWatch(std::function<void()> callback)
    : onChange(std::move(callback)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerWindowClass(instance);
    const HWND messageWindow = CreateWindowExW(0, windowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, instance, nullptr);
    if (!messageWindow)
        return;
    window = messageWindow;
    SetWindowLongPtrW(messageWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&onChange));

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = comPortInterface;
    notification = RegisterDeviceNotificationW(messageWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

DeviceChangeWatch::~DeviceChangeWatch() {
    if (notification)
        UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(notification));
    if (window)
        DestroyWindow(static_cast<HWND>(window));
}
