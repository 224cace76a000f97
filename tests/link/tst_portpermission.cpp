// A user without access to the router's device, for real: the simulator's terminal is made
// unreadable for its owner, so opening it fails the way a serial port owned by the dialout
// group fails for a user outside that group. Root may open anything, so ctest runs this as
// user nobody when it runs as root.
#include "link/sysfsinventory.h"
#include "tests/support/routerbench.h"

#include <QFile>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>

#include <unistd.h>

namespace {

// The test's device list with the platform's own answer to who may open a port.
class PlatformAccessInventory : public FakeInventory {
public:
    bool mayOpenPort(const QString &portName) override {
        return SysfsInventory().mayOpenPort(portName);
    }
};

} // namespace

class TestPortPermission : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedDeviceIsExplained();
};

void TestPortPermission::initTestCase() {
    if (geteuid() == 0)
        QSKIP("root may open any device; ctest runs this test as user nobody where nobody can "
              "reach the build");
}

void TestPortPermission::refusedDeviceIsExplained() {
    PlatformAccessInventory inventory; // outlives the window
    RouterBench bench;
    inventory.devices = bench.inventory.devices;
    inventory.ports = bench.inventory.ports;
    setDeviceInventory(&inventory);
    auto *button = bench.find<QPushButton>("pushButton");
    QSerialPort *port = bench.access().serialPort();

    QFile terminal(bench.sim.slavePath());
    const QFile::Permissions usable = terminal.permissions();
    QVERIFY(terminal.setPermissions({}));
    button->click();
    QCOMPARE(port->error(), QSerialPort::PermissionError);
    const QString denied = "Failed to open port : " + port->errorString();

    QVERIFY(terminal.setPermissions(usable));
    QSerialPort holder(bench.sim.slavePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    button->click();
    QCOMPARE(port->error(), QSerialPort::PermissionError);
    const QString held = "Failed to open port : " + port->errorString();

    const QStringList messages = bench.answerer.messages();
    QCOMPARE(messages.size(), 2);
    QVERIFY2(messages[0].startsWith(denied + "\n\nThis user may not use the router's serial port."),
             qPrintable(messages[0]));
    QCOMPARE(messages[1], held);
}

QTEST_MAIN(TestPortPermission)
#include "tst_portpermission.moc"
