#include "demo/screenshotrun.h"

#include "app/myline.h"
#include "demo/demoinventory.h"
#include "filters/filterbits.h"
#include "link/sysexframe.h"
#include "routing/portidentity.h"
#include "sim/routersimulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QWidget>

namespace {
constexpr int RoutingPage = 0;
constexpr int FilterPage = 1;
constexpr int LastQuery = 5;
} // namespace

ScreenshotRun::ScreenshotRun(QWidget &window, const RouterSimulator &sim, const QString &directory)
    : window(window)
    , sim(sim)
    , directory(directory) {
    pollTimer.setInterval(PollMs);
    connect(&pollTimer, &QTimer::timeout, this, &ScreenshotRun::poll);
}

void ScreenshotRun::start() {
    if (!QDir().mkpath(directory)) {
        QTimer::singleShot(0, this, [this] { fail("cannot create " + directory); });
        return;
    }
    waitFor(
        "the simulated router in the device list", StepTimeoutMs, [this] { return deviceListed(); },
        [this] { connectRouter(); });
}

template <typename T> T *ScreenshotRun::find(const char *objectName) const {
    return window.findChild<T *>(QString::fromLatin1(objectName));
}

bool ScreenshotRun::deviceListed() const {
    const auto *devices = find<QComboBox>("ComboBox_Devices");
    return devices && devices->findText(DemoInventory::DeviceName) >= 0;
}

void ScreenshotRun::connectRouter() {
    auto *devices = find<QComboBox>("ComboBox_Devices");
    auto *connectButton = find<QPushButton>("pushButton");
    if (!connectButton) {
        fail("the window has no Connect button");
        return;
    }
    devices->setCurrentIndex(devices->findText(DemoInventory::DeviceName));
    connectButton->click();
    waitFor(
        "the router's replies on screen", StepTimeoutMs, [this] { return repliesHandled(); },
        [this] { grabRoutingPage(); });
}

int ScreenshotRun::routeLineCount() const {
    const auto *view = find<QGraphicsView>("graphicsView");
    if (!view || !view->scene())
        return 0;
    int count = 0;
    const QPair<int, int> noRoute(0, 0); // the rubber-band line's ends
    for (QGraphicsItem *item : view->scene()->items()) {
        const auto *line = dynamic_cast<MyLine *>(item);
        if (line && line->key != noRoute)
            ++count;
    }
    return count;
}

// The port buttons lie over the routing view: inputs are MIDI IN, USB HOST and USB Device,
// outputs MIDI OUT, USB HOST and USB Device.
bool ScreenshotRun::allPortButtonsShown() const {
    const auto *view = find<QGraphicsView>("graphicsView");
    if (!view)
        return false;
    const RouterSimulator::PortCounts counts = sim.portCounts();
    const int expected = counts.midiIn + counts.midiOut + 2 * (counts.usbHost + counts.usbDevice);
    return view->findChildren<QPushButton *>().size() == expected;
}

bool ScreenshotRun::filterPanelShowsCurrentPort() const {
    const auto *ports = find<QComboBox>("comboBox_MiDiPorts");
    if (!ports || ports->count() == 0)
        return false;
    const auto port = PortIdentity::parseFilterPortName(ports->currentText());
    if (!port)
        return false;
    const FilterBytes bytes = sim.filter(*port);
    for (const FilterBits::MemberBit &member : FilterBits::members()) {
        const auto *box = find<QCheckBox>(member.boxName.toLatin1().constData());
        const bool set = (quint32(bytes[member.byteIndex]) & member.mask) != 0;
        if (!box || box->isChecked() != set)
            return false;
    }
    return true;
}

bool ScreenshotRun::repliesHandled() const {
    return sim.receivedBytes().contains(SysexFrame::query(LastQuery)) && allPortButtonsShown() &&
           routeLineCount() == sim.routes().size() && filterPanelShowsCurrentPort();
}

bool ScreenshotRun::grabTo(const QString &fileName) {
    const QString path = QDir(directory).absoluteFilePath(fileName);
    if (!window.grab().save(path, "PNG")) {
        fail("cannot write " + path);
        return false;
    }
    saved << path;
    return true;
}

void ScreenshotRun::grabRoutingPage() {
    auto *tabs = find<QTabWidget>("tabWidget");
    if (!tabs) {
        fail("the window has no tabWidget");
        return;
    }
    tabs->setCurrentIndex(RoutingPage);
    if (!grabTo("routing.png"))
        return;
    tabs->setCurrentIndex(FilterPage);
    QTimer::singleShot(PageSettleMs, this, [this] {
        waitFor(
            "the filter page showing the chosen port", StepTimeoutMs,
            [this] { return filterPanelShowsCurrentPort(); }, [this] { grabFilterPage(); });
    });
}

void ScreenshotRun::grabFilterPage() {
    if (grabTo("filters.png"))
        finish();
}

void ScreenshotRun::finish() {
    QTextStream out(stdout);
    for (const QString &path : saved)
        out << path << Qt::endl;
    QCoreApplication::exit(0);
}

void ScreenshotRun::fail(const QString &message) {
    pollTimer.stop();
    QTextStream(stderr) << "pellvane-demo: " << message << Qt::endl;
    QCoreApplication::exit(1);
}

void ScreenshotRun::waitFor(const QString &what, int timeoutMs, std::function<bool()> ready,
                            std::function<void()> next) {
    waitingFor = what;
    waitTimeoutMs = timeoutMs;
    this->ready = std::move(ready);
    this->next = std::move(next);
    waited.start();
    pollTimer.start();
}

void ScreenshotRun::poll() {
    if (ready()) {
        pollTimer.stop();
        // next may start another wait, which replaces ready and next.
        const std::function<void()> step = std::move(next);
        step();
    } else if (waited.elapsed() > waitTimeoutMs) {
        fail(QStringLiteral("timed out after %1 ms waiting for %2")
                 .arg(waitTimeoutMs)
                 .arg(waitingFor));
    }
}
