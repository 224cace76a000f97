#include "app/displayscaling.h"
#include "app/widget.h"
#include "demo/demoinventory.h"
#include "demo/demopreset.h"
#include "demo/screenshotrun.h"
#include "link/routerconnection.h"
#include "sim/routersimulator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <memory>

// The tool's window talking to a simulated router through a pseudo-terminal, whose path it
// prints: the status line names the same port once connected.
// --screenshot DIR connects by itself, saves both pages as PNG files into DIR and exits.
int main(int argc, char *argv[]) {
    enableDisplayScaling();
    QApplication app(argc, argv);
    // Its settings (the last configuration folder) beside the tool's, under a name of its own.
    QCoreApplication::setOrganizationName(QStringLiteral("Pellvane"));
    qRegisterMetaType<Feedbacktype>("Feedbacktype");

    QCommandLineParser parser;
    parser.setApplicationDescription("Pellvane against a simulated router");
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        "screenshot", "Connect, save routing.png and filters.png into <dir>, then exit.", "dir");
    parser.addOption(screenshot);
    parser.process(app);

    RouterSimulator sim;
    if (!sim.start()) {
        QTextStream(stderr) << "pellvane-demo: router simulator did not start: "
                            << sim.errorString() << Qt::endl;
        return 1;
    }
    applyDemoPreset(sim);
    // Replies come at the line's rate, in the small pieces a USB serial adapter hands over.
    sim.setPacing(RouterConnection::BaudRate);
    sim.setRandomChunks(true);
    QTextStream(stdout) << "Simulated router on " << sim.slavePath() << Qt::endl;

    DemoInventory inventory(deviceInventory(), sim.slavePath());
    setDeviceInventory(&inventory);
    int exitCode = 0;
    {
        Widget window;
        window.show();
        std::unique_ptr<ScreenshotRun> run;
        if (parser.isSet(screenshot)) {
            run = std::make_unique<ScreenshotRun>(window, sim, parser.value(screenshot));
            run->start();
        }
        exitCode = app.exec();
    }
    setDeviceInventory(nullptr);
    return exitCode;
}
