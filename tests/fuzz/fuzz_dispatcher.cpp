// The window's reply handling fed arbitrary bytes through the router connection, as if the
// router had sent them, in chunks whose size the first byte chooses. Nothing may crash, and
// the route lines shown must always be the route table, between the buttons of their ports:
// after every change of the ports or the routes, while a notice is shown, and at the end of
// the input.
#include "link/sysexframe.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzwindow.h"
#include "tests/support/routingfixture.h"

using FuzzCheck::require;

namespace {

// Runs share the window. Once the table holds more than this many routes, the next run starts
// from a new port map, so that no run inherits a huge picture from the runs before it.
constexpr int MaxInheritedRoutes = 64;

void showSmallRouter(RouterBench &bench) {
    bench.link().receive(
        SysexFrame::build(SysexFrame::ClassQuery, SysexFrame::CodePortCountReport, {2, 2, 1, 1}));
}

void checkPicture(RouterBench &bench) {
    require(RoutePicture::consistent(bench), "the route lines are the route table");
    const PortIdentity::PortCounts ports = bench.link().state().ports;
    const int twoWay = ports.usbHost + ports.usbDevice;
    require(bench.routing().inputButtons().size() == ports.midiIn + twoWay,
            "one input button a port");
    require(bench.routing().outputButtons().size() == ports.midiOut + twoWay,
            "one output button a port");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    FuzzCheck::quietMessages();
    FuzzWindow &window = FuzzWindow::instance();
    const auto check = [&window] { checkPicture(window.bench); };
    window.closer.whileShown = check;
    // Connected after the routing view, so they run once it has followed the change.
    RouterConnection &link = window.bench.link();
    QObject::connect(&link, &RouterConnection::portsChanged, &link, check);
    QObject::connect(&link, &RouterConnection::routesChanged, &link, check);
    showSmallRouter(window.bench);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    FuzzWindow &window = FuzzWindow::instance();
    if (window.bench.link().state().routes.size() > MaxInheritedRoutes)
        showSmallRouter(window.bench);
    const int chunkSize = data[0] + 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    for (int at = 0; at < bytes.size(); at += chunkSize)
        window.bench.link().receive(bytes.mid(at, chunkSize));
    checkPicture(window.bench);
    window.settle();
    return 0;
}
