// The Linux device monitor: its udev socket is watched for events and closed with it.
#include "link/udevdevicemonitor.h"

#include <QSocketNotifier>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>

class TestUdevMonitor : public QObject {
    Q_OBJECT

private slots:
    void watchesUdevSocketAndClosesIt();
};

void TestUdevMonitor::watchesUdevSocketAndClosesIt() {
    auto monitor = std::make_unique<UdevDeviceMonitor>();
    if (!monitor->isListening())
        QSKIP("udev's event socket cannot be opened here (no netlink in this container)");

    const auto notifiers = monitor->findChildren<QSocketNotifier *>();
    QCOMPARE(notifiers.size(), 1);
    QSocketNotifier *notifier = notifiers.first();
    QVERIFY(notifier->isEnabled());
    QCOMPARE(notifier->type(), QSocketNotifier::Read);
    const int socket = int(notifier->socket());
    int domain = 0;
    socklen_t size = sizeof(domain);
    QCOMPARE(getsockopt(socket, SOL_SOCKET, SO_DOMAIN, &domain, &size), 0);
    QCOMPARE(domain, AF_NETLINK);

    monitor.reset();
    QCOMPARE(fcntl(socket, F_GETFD), -1);
    QCOMPARE(errno, EBADF);
}

QTEST_GUILESS_MAIN(TestUdevMonitor)
#include "tst_udevmonitor.moc"
