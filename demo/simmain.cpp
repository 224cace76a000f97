#include "demo/demopreset.h"
#include "sim/routersimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

// The demo's simulated router on a pseudo-terminal, with no window: prints the serial port
// to give pellvane-cli (--port) and answers on it until it is stopped.
int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates a Kelvanto MIDI router on a pseudo-terminal: prints its serial "
                       "port, for pellvane-cli --port, and answers there until stopped."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app); // answers --help and --version, refuses unknown options
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
