#include "tests/fuzz/fuzzwindow.h"

#include "tests/fuzz/fuzzcheck.h"

#include <QApplication>

namespace {

QApplication &application() {
    static int argc = 1;
    static char name[] = "pellvane-fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit the fuzzer's driver has torn down the thread storage its windows
    // need.
    static auto *app = new QApplication(argc, argv);
    return *app;
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
    FuzzCheck::require(bench.link().isOpen(), "the window is connected");
}

void FuzzWindow::settle() {
    // Each pass closes the notice shown and shows the next; a few passes end any run's.
    for (int pass = 0; pass < 1000 && QApplication::activeModalWidget(); ++pass)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // Closed notices delete themselves later; no event loop runs here to do it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    bench.sim.clearReceived();
}
