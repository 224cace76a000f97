#include "tests/support/routerbench.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

const QString RouterBench::DeviceName = QStringLiteral("Kelvanto MIDI Router (simulated)");

RouterBench::RouterBench() {
    qRegisterMetaType<Feedbacktype>("Feedbacktype");
    // Nothing a test does reaches the settings or the data (the history) of the user who
    // runs it.
    QCoreApplication::setOrganizationName(QStringLiteral("Pellvane tests"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    qputenv("XDG_DATA_HOME", settingsDir.filePath(QStringLiteral("data")).toLocal8Bit());
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
    bool ended = false;
    const QObject listening;
    QObject::connect(&link(), &RouterConnection::chainEnded, &listening, [&] { ended = true; });
    find<QPushButton>("pushButton")->click();
    return link().isOpen() && QTest::qWaitFor([&] { return ended; }, timeoutMs);
}

bool RouterBench::waitForFrames(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return sim.receivedBytes().size() >= count; }, timeoutMs);
}

QStringList RouterBench::statusParts() {
    return find<QLabel>("label_status")->text().split(QStringLiteral(" · "));
}

bool RouterBench::pressKey(int key, Qt::KeyboardModifiers modifiers, int timeoutMs) {
    window().activateWindow();
    if (!QTest::qWaitForWindowActive(&window(), timeoutMs))
        return false;
    QWidget *focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : &window(), Qt::Key(key), modifiers);
    return true;
}
