#pragma once

#include "app/filterpanel.h"
#include "app/routingview.h"
#include "app/widget.h"
#include "link/devicemonitor.h"
#include "sim/routersimulator.h"
#include "tests/support/fakeinventory.h"
#include "tests/support/modalanswerer.h"

#include <QTemporaryDir>
#include <memory>

// A window wired to a simulated router through a real pseudo-terminal and the real serial
// port. The inventory lists the simulator under a brand description, so "Connect" opens it.
class RouterBench {
public:
    static const QString DeviceName; // "Kelvanto MIDI Router (simulated)"

    RouterBench();  // starts the simulator (aborts the test run if it cannot), installs the
                    // inventory and the monitor, and keeps the settings and the data folder
                    // (the history) in a folder of its own
    ~RouterBench(); // destroys the window and restores the platform's inventory and monitor

    RouterSimulator sim;
    FakeInventory inventory;
    DeviceMonitor monitor; // signals only when a test emits devicesChanged()
    ModalAnswerer answerer;

    // Creates the window (with the device already listed) on first use.
    Widget &window();
    RouterConnection &link() { return window().connection(); }
    RoutingView &routing() { return window().routingView(); }
    FilterPanel &filters() { return window().filterPanel(); }

    // Clicks "Connect" and waits until the query chain has run to its end: every filter port
    // has reported (or, for a silent router, until timeoutMs).
    bool connectAndWait(int timeoutMs = 5000);
    // Waits until the simulator has received at least count frames in all.
    bool waitForFrames(int count, int timeoutMs = 3000);
    // Frames received by the simulator, in order.
    QList<QByteArray> sent() const { return sim.receivedBytes(); }

    // Presses a key in the window as the user would. Shortcuts reach the window while it is
    // active; the offscreen platform has no window manager to give that back after a dialog,
    // so this does. False when the window cannot be made active in time.
    bool pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int timeoutMs = 5000);
    // The parts of the status line: the state, the last thing that happened, unsent edits.
    QStringList statusParts();

    template <typename T> T *find(const QString &objectName) {
        return window().findChild<T *>(objectName);
    }

private:
    QTemporaryDir settingsDir; // the window's settings and data live here, and go with it
    std::unique_ptr<Widget> win;
};
