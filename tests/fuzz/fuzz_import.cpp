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

// The routes of root whose ports the window shows, found by the texts of its buttons.
QList<PortIdentity::Route> shownRoutes(const QJsonObject &root, RouterBench &bench) {
    const QStringList inputs = RoutePicture::texts(bench.routing().inputButtons());
    const QStringList outputs = RoutePicture::texts(bench.routing().outputButtons());
    const auto shown = [](const QStringList &texts, End end,
                          const QString &name) -> std::optional<PortIdentity::RouteEnd> {
        const auto port = PortIdentity::parseButtonText(end, name);
        if (port && texts.contains(PortIdentity::buttonText(end, port->first, port->second)))
            return port;
        return std::nullopt;
    };
    QList<PortIdentity::Route> routes;
    for (const QString &key : root.keys()) {
        const auto source = shown(inputs, End::Source, key);
        if (!source)
            continue;
        for (const QJsonValue &element : root.value(key).toArray()) {
            if (const auto destination = shown(outputs, End::Destination, element.toString()))
                routes.append(PortIdentity::Route(*source, *destination));
        }
    }
    return routes;
}

void checkRoutes(const QJsonObject &root, RouterBench &bench) {
    require(ConfigForm::routes(root, counts) == shownRoutes(root, bench),
            "the routes to import are the file's routes between shown ports");
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
