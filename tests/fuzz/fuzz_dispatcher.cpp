// The window's reply dispatcher fed arbitrary bytes through the window's receive splitter, as
// if the router had sent them, in chunks whose size the first byte chooses. Nothing may crash,
// and the route lines shown must always be the window's route table: after every frame's
// handling (also of frames handled inside the wait or message box of another frame's
// handling), while a message box waits for its answer, and at the end of the input.
#include "link/fifobuffer.h"
#include "link/sysexframe.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzwindow.h"
#include "tests/support/routingfixture.h"

using FuzzCheck::require;

namespace {

// Runs share the window. Once it shows more than this many routes, the next run starts with
// every route line taken out, so that no run inherits a huge picture from the runs before it.
constexpr int MaxInheritedRoutes = 64;

void showSmallRouter(WidgetTestAccess &w) {
    w.fifoBuffer()->pushBytes(
        SysexFrame::build(SysexFrame::ClassQuery, SysexFrame::CodePortCountReport, {2, 2, 1, 1}));
}

void checkPicture(WidgetTestAccess &w) {
    require(RoutePicture::consistent(w), "the route lines are the route table");
    const int twoWay = w.usbHostCount() + w.usbDeviceCount();
    require(w.inputButtons().size() == w.midiInCount() + twoWay, "one input button a port");
    require(w.outputButtons().size() == w.midiOutCount() + twoWay, "one output button a port");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    FuzzCheck::quietMessages();
    FuzzWindow &window = FuzzWindow::instance();
    const auto check = [&window] { checkPicture(window.w); };
    window.closer.whileShown = check;
    // Connected after the window's dispatcher, so it runs once the frame has been handled.
    QObject::connect(window.w.fifoBuffer(), &FiFoBuffer::currDataFrame, window.w.fifoBuffer(),
                     check);
    showSmallRouter(window.w);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    FuzzWindow &window = FuzzWindow::instance();
    WidgetTestAccess &w = window.w;
    w.fifoBuffer()->clear();
    if (w.routeMap().size() > MaxInheritedRoutes)
        w.removeAllRouteLines();
    const int chunkSize = data[0] + 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    for (int at = 0; at < bytes.size(); at += chunkSize)
        w.fifoBuffer()->pushBytes(bytes.mid(at, chunkSize));
    checkPicture(w);
    window.discardSent();
    return 0;
}
