#include "tests/fuzz/fuzzwindow.h"

#include "tests/fuzz/fuzzcheck.h"

#include <QApplication>
#include <QSerialPort>

namespace {

QApplication &application() {
    static int argc = 1;
    static char name[] = "pellvane-fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

} // namespace

FuzzWindow &FuzzWindow::instance() {
    application();
    static auto *window = new FuzzWindow; // lives to the end of the process
    return *window;
}

FuzzWindow::FuzzWindow() {
    bench.sim.setSilent(true);
    bench.connectAndWait(100);
    FuzzCheck::require(w.serialPort()->isOpen(), "the window is connected");
}

void FuzzWindow::discardSent() {
    w.serialPort()->flush();
    bench.sim.clearReceived();
}
