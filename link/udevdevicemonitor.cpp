#include "link/udevdevicemonitor.h"

#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>

UdevDeviceMonitor::UdevDeviceMonitor(QObject *parent)
    : DeviceMonitor(parent) {
    context = udev_new();
    if (!context)
        return;
    // "udev": events after the rules have run, not the kernel's raw ones.
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0)
        return;
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UdevDeviceMonitor::readEvents);
}

UdevDeviceMonitor::~UdevDeviceMonitor() {
    // The notifier must let go of the socket before udev closes it.
    delete notifier;
    udev_monitor_unref(monitor);
    udev_unref(context);
}

// Reads every waiting event (the socket does not block) and signals once for all of them:
// plugging in a router can add several ttys at a time.
void UdevDeviceMonitor::readEvents() {
    bool changed = false;
    while (udev_device *device = udev_monitor_receive_device(monitor)) {
        const char *action = udev_device_get_action(device);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            changed = true;
        udev_device_unref(device);
    }
    if (changed)
        emit devicesChanged();
}
