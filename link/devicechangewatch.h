#pragma once

#include <functional>

// Calls back whenever a serial port (a COM port device interface) arrives or is removed.
// A message-only window receives the notifications through the message loop of the thread
// that created the watch, so the callback runs on that thread. Windows only, Qt-free.
class DeviceChangeWatch {
public:
    explicit DeviceChangeWatch(std::function<void()> callback);
    ~DeviceChangeWatch();
    DeviceChangeWatch(const DeviceChangeWatch &) = delete;
    DeviceChangeWatch &operator=(const DeviceChangeWatch &) = delete;

    // False when the window or the registration could not be made; then it never calls.
    bool isWatching() const { return notification != nullptr; }
    // The window the notifications are sent to (an HWND), for tests to send it messages.
    void *windowHandle() const { return window; }

private:
    std::function<void()> onChange;
    void *window = nullptr;       // HWND
    void *notification = nullptr; // HDEVNOTIFY
};
