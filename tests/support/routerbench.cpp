#include "tests/support/routerbench.h"

#include "filters/portfilteringsituation.h"

#include <QComboBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QTest>

const QString RouterBench::DeviceName = QStringLiteral("Kelvanto MIDI Router (simulated)");

RouterBench::RouterBench() {
    qRegisterMetaType<Feedbacktype>("Feedbacktype");
    // Nothing a test does reaches the settings of the user who runs it.
    QCoreApplication::setOrganizationName(QStringLiteral("Pellvane tests"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    if (!sim.start())
        qFatal("router simulator did not start: %s", qPrintable(sim.errorString()));
    // Listed under a test vendor and product id pair; only the description matters.
    inventory.devices.insert({0x7A01, 0x1209}, DeviceName);
    inventory.ports.append({sim.slavePath(), 0x1209, 0x7A01});
    setDeviceInventory(&inventory);
    setDeviceMonitor(&monitor);
}

RouterBench::~RouterBench() {
    win.reset();
    setDeviceInventory(nullptr);
    setDeviceMonitor(nullptr);
}

Widget &RouterBench::window() {
    if (!win)
        win = std::make_unique<Widget>();
    return *win;
}

bool RouterBench::connectAndWait(int timeoutMs) {
    WidgetTestAccess w = access();
    find<QPushButton>("pushButton")->click();
    if (!w.serialPort()->isOpen())
        return false;
    auto *ports = find<QComboBox>("comboBox_MiDiPorts");
    return QTest::qWaitFor(
        [&] { return ports->count() > 0 && w.portFilters().size() >= ports->count(); }, timeoutMs);
}

bool RouterBench::waitForFrames(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return sim.receivedBytes().size() >= count; }, timeoutMs);
}
