// "Open File" with arbitrary bytes as the file, on both pages of the window. The first byte
// chooses the page (bit 0); the rest is the file.
//
// Filter page: the filter panel shows the file's boxes as the import does. The panel must then
// show exactly the file's true keys, with each group box summarising its members.
// Routing page: the import sends one route command per route, 15 ms apart, which would make
// every run take as long as the file has routes; the routes it would send are checked
// instead, against the window's port buttons looked up by their texts.
#include "config/configform.h"
#include "filters/filterbits.h"
#include "link/sysexframe.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzwindow.h"
#include "tests/support/routingfixture.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QTabWidget>
#include <QTemporaryDir>

using FuzzCheck::require;
using PortIdentity::End;

namespace {

// MIDI IN, MIDI OUT, USB HOST and USB Device counts all differ, so that a count read for the
// wrong kind shows.
const PortIdentity::PortCounts counts{4, 3, 2, 1};

struct Page {
    QTabWidget *tabs = nullptr;
    QHash<QString, QCheckBox *> boxes; // every filter box, group boxes too, by object name
};

Page &page() {
    static Page page = [] {
        Widget &window = FuzzWindow::instance().bench.window();
        Page found;
        found.tabs = window.findChild<QTabWidget *>("tabWidget");
        for (QCheckBox *box : window.findChildren<QCheckBox *>())
            found.boxes.insert(box->objectName(), box);
        return found;
    }();
    return page;
}

QString filePath() {
    static QTemporaryDir folder;
    return folder.filePath("config.ini");
}

void writeFile(const QByteArray &bytes) {
    QFile file(filePath());
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size(),
            "the file is written");
}

// The routes of root between ports the window shows, found by the texts of its buttons, and
// whether the router can take them all: every port named is shown, and no USB port is routed
// to itself.
struct Shown {
    QList<PortIdentity::Route> routes;
    bool takenWhole = true;
};

Shown shownRoutes(const QJsonObject &root, RouterBench &bench) {
    const QStringList inputs = RoutePicture::texts(bench.routing().inputButtons());
    const QStringList outputs = RoutePicture::texts(bench.routing().outputButtons());
    Shown shown;
    const auto port = [&shown](const QStringList &texts, End end,
                               const QString &name) -> std::optional<PortIdentity::RouteEnd> {
        const auto named = PortIdentity::parseButtonText(end, name);
        if (named && texts.contains(PortIdentity::buttonText(end, named->first, named->second)))
            return named;
        shown.takenWhole = shown.takenWhole && !named;
        return std::nullopt;
    };
    for (const QString &key : root.keys()) {
        const auto source = port(inputs, End::Source, key);
        if (!source)
            continue;
        for (const QJsonValue &element : root.value(key).toArray()) {
            const auto destination = port(outputs, End::Destination, element.toString());
            if (!destination)
                continue;
            if (*source == *destination && source->first != PortIdentity::Midi)
                shown.takenWhole = false;
            else
                shown.routes.append(PortIdentity::Route(*source, *destination));
        }
    }
    return shown;
}

void checkRoutes(const QJsonObject &root, RouterBench &bench) {
    const ConfigForm::RouteReading reading = ConfigForm::readRoutes(root, counts);
    const Shown shown = shownRoutes(root, bench);
    require(reading.routes == shown.routes,
            "the routes to import are the file's routes between shown ports");
    require(reading.refusal.isEmpty() == shown.takenWhole,
            "a file is refused when it names a port not shown or routes a USB port to itself");
}

void checkFilterPanel(const QJsonObject &root) {
    const QHash<QString, QCheckBox *> &boxes = page().boxes;
    QHash<QString, bool> inFile;
    for (const ConfigForm::FilterKey &key : ConfigForm::filterKeys())
        inFile.insert(key.checkBox, root.value(key.key) == QJsonValue(true));
    for (int group = 0; group < FilterBits::GroupCount; ++group) {
        const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
        int checked = 0;
        for (const QString &name : info.members) {
            const bool on = boxes.value(name)->isChecked();
            require(on == inFile.value(name), "a box is checked where the file says true");
            checked += on;
        }
        const Qt::CheckState summary = checked == 0                     ? Qt::Unchecked
                                       : checked == info.members.size() ? Qt::Checked
                                                                        : Qt::PartiallyChecked;
        require(boxes.value(info.boxName)->checkState() == summary,
                "a group box summarises its members");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    FuzzCheck::quietMessages();
    RouterConnection &link = FuzzWindow::instance().bench.link();
    using namespace SysexFrame;
    link.receive(build(ClassQuery, CodePortCountReport,
                       {counts.midiIn, counts.midiOut, counts.usbHost, counts.usbDevice}));
    page();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    FuzzWindow &window = FuzzWindow::instance();
    const bool filterPage = data[0] & 1;
    page().tabs->setCurrentIndex(filterPage ? 1 : 0);
    writeFile(QByteArray(reinterpret_cast<const char *>(data) + 1, int(size) - 1));

    const std::optional<QJsonObject> root = ConfigForm::load(filePath());
    if (!root)
        return 0;
    if (filterPage) {
        window.bench.filters().showChecked(ConfigForm::checkedBoxes(*root));
        checkFilterPanel(*root);
    } else {
        checkRoutes(*root, window.bench);
    }
    window.settle();
    return 0;
}
