// Times the window from "Connect" to the full picture (every port button, every route line, the
// first filter port's boxes) against the time the conversation takes on the line itself, for
// a typical, a large and the largest router the protocol can describe. The simulated router
// runs in a thread of its own and answers at 115200 baud, as a router does beside the
// computer. The line is measured twice: as simulated, from "Connect" to the simulator's last
// reply byte, and as an ideal router would need it, answering at once, both directions paced,
// the pause after query 3 included. The simulator's timers work in whole milliseconds, so its
// line is a little slower than the ideal one.
#include "app/filterpanel.h"
#include "app/routingview.h"
#include "app/widget.h"
#include "link/deviceinventory.h"
#include "link/querychain.h"
#include "sim/routersimulator.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

constexpr int Runs = 5;
constexpr double ByteMs = 10 * 1000.0 / RouterConnection::BaudRate;

struct Router {
    const char *name;
    RouterSimulator::PortCounts ports;
    int routes;
};

// The simulated router and nothing else, listed as a router of the brand.
class SimulatorInventory : public DeviceInventory {
public:
    explicit SimulatorInventory(QString port)
        : port(std::move(port)) {}
    QMap<QPair<int, int>, QString> enumerateBrandDevices(const QString &,
                                                         const QString &) override {
        return {{{0x0A01, 0xFFF0}, QStringLiteral("Kelvanto MIDI Router (simulated)")}};
    }
    QList<SerialPortEntry> availablePorts() override { return {{port, 0xFFF0, 0x0A01}}; }

private:
    QString port;
};

// Routes from the sources in turn, each to the next destination of its own, none twice.
QList<RouterSimulator::Route> spreadRoutes(const RouterSimulator::PortCounts &ports, int count) {
    QList<RouterSimulator::RouteEnd> sources;
    QList<RouterSimulator::RouteEnd> destinations;
    for (int i = 1; i <= ports.midiIn; ++i)
        sources << RouterSimulator::RouteEnd(0, i);
    for (int i = 1; i <= ports.midiOut; ++i)
        destinations << RouterSimulator::RouteEnd(0, i);
    for (int kind : {1, 2})
        for (int i = 1; i <= (kind == 1 ? ports.usbHost : ports.usbDevice); ++i) {
            sources << RouterSimulator::RouteEnd(kind, i);
            destinations << RouterSimulator::RouteEnd(kind, i);
        }
    QList<RouterSimulator::Route> routes;
    for (int i = 0; routes.size() < count; ++i) {
        const RouterSimulator::Route route(
            sources.at(i % sources.size()),
            destinations.at((i / sources.size() + i) % destinations.size()));
        if (route.first != route.second && !routes.contains(route))
            routes << route;
    }
    return routes;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The line time of a connect: each query and the reply it waits for one after the other;
// the route reports go out while query 4 waits for its pause.
double lineMs(const Router &router, int filterPorts) {
    const auto ms = [](int bytes) { return bytes * ByteMs; };
    const double start = ms(8 + 8) + ms(8 + 11) + ms(8);
    const double routes = std::max(ms(12 * router.routes), QueryChain::RoutesPauseMs + ms(8));
    return start + routes + ms(13) + ms(8) + ms(36 * filterPorts);
}

qint64 steadyNs() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

struct Times {
    double windowMs = -1;
    double lineMs = -1; // as simulated
};

// One connect, timed until the window shows it all, then a disconnect.
Times connectTimes(Widget &window, const RouterSimulator &sim, const Router &router) {
    RouterConnection &link = window.connection();
    const qint64 startNs = steadyNs();
    Times times;
    QObject waiting;
    // After the filter panel's own reaction; the check runs once what was posted before it has
    // been handled too (the layout of the buttons, the lines placed on them).
    QObject::connect(&link, &RouterConnection::chainEnded, &waiting, [&] {
        QTimer::singleShot(0, &waiting, [&] {
            const RoutingView &routing = window.routingView();
            if (routing.routeLines().size() == router.routes &&
                routing.outputButtons().size() ==
                    router.ports.midiOut + router.ports.usbHost + router.ports.usbDevice &&
                !window.filterPanel().shownPort().isEmpty())
                times = {(steadyNs() - startNs) / 1e6, (sim.lastReplyAtNs() - startNs) / 1e6};
        });
    });
    window.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    while (times.windowMs < 0 && steadyNs() - startNs < 30000000000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    window.findChild<QPushButton *>(QStringLiteral("pushButton"))->click(); // Disconnect
    return times;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QList<Router> routers = {
        {"typical (4/4/1/1, 6 routes)", {4, 4, 1, 1}, 6},
        {"large (16/16/8/8, 120 routes)", {16, 16, 8, 8}, 120},
        {"largest (127/127/127/127, 500 routes)", {127, 127, 127, 127}, 500}};
    out << "Connect to the full picture against the line, medians of " << Runs
        << " connects (ms)\n";
    for (const Router &router : routers) {
        QThread simulatorThread;
        auto *sim = new RouterSimulator;
        sim->setPortCounts(router.ports);
        sim->setRouteLimitPerSource(router.routes);
        sim->setRoutes(spreadRoutes(router.ports, router.routes));
        sim->setPacing(RouterConnection::BaudRate);
        sim->moveToThread(&simulatorThread);
        QObject::connect(&simulatorThread, &QThread::finished, sim, &QObject::deleteLater);
        simulatorThread.start();
        bool started = false;
        QMetaObject::invokeMethod(
            sim, [&] { started = sim->start(); }, Qt::BlockingQueuedConnection);
        if (!started) {
            QTextStream(stderr) << "the router simulator did not start\n";
            return 1;
        }
        SimulatorInventory inventory(sim->slavePath());
        setDeviceInventory(&inventory);
        QList<double> window;
        QList<double> simulatedLine;
        {
            Widget shown;
            shown.show();
            for (int run = 0; run < Runs; ++run) {
                const Times times = connectTimes(shown, *sim, router);
                window << times.windowMs;
                simulatedLine << times.lineMs;
            }
        }
        setDeviceInventory(nullptr);
        simulatorThread.quit();
        simulatorThread.wait();
        // MIDI IN, MIDI OUT, and USB HOST and USB Device ports once in each direction.
        const int filterPorts = router.ports.midiIn + router.ports.midiOut +
                                2 * (router.ports.usbHost + router.ports.usbDevice);
        const double ideal = lineMs(router, filterPorts);
        const double shown = median(window);
        const double simulated = median(simulatedLine);
        out << QString(
                   "  %1 window %2  line as simulated %3 (ratio %4)  ideal line %5 (ratio %6)\n")
                   .arg(QString::fromLatin1(router.name), -40)
                   .arg(shown, 7, 'f', 1)
                   .arg(simulated, 7, 'f', 1)
                   .arg(shown / simulated, 5, 'f', 3)
                   .arg(ideal, 7, 'f', 1)
                   .arg(shown / ideal, 5, 'f', 3);
        out.flush();
    }
    return 0;
}
