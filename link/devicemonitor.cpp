#include "link/devicemonitor.h"

#if defined(Q_OS_WIN)
#include "link/windowsdevicemonitor.h"
using NativeMonitor = WindowsDeviceMonitor;
#elif defined(Q_OS_LINUX)
#include "link/udevdevicemonitor.h"
using NativeMonitor = UdevDeviceMonitor;
#endif

namespace {
DeviceMonitor *replacement = nullptr;
}

DeviceMonitor *deviceMonitorFor(QObject *owner) {
    if (replacement)
        return replacement;
#if defined(Q_OS_WIN) || defined(Q_OS_LINUX)
    return new NativeMonitor(owner);
#else
    Q_UNUSED(owner)
    return nullptr;
#endif
}

void setDeviceMonitor(DeviceMonitor *monitor) {
    replacement = monitor;
}
