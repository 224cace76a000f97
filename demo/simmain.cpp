#include "demo/demopreset.h"
#include "sim/routersimulator.h"

#include <QCoreApplication>
#include <QTextStream>

// The demo's simulated router on a pseudo-terminal, with no window: prints the serial port
// to give pellvane-cli (--port) and answers on it until it is stopped.
int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    RouterSimulator sim;
    if (!sim.start()) {
        QTextStream(stderr) << "pellvane-sim: router simulator did not start: " << sim.errorString()
                            << Qt::endl;
        return 1;
    }
    applyDemoPreset(sim);
    QTextStream(stdout) << sim.slavePath() << Qt::endl;
    return app.exec();
}
