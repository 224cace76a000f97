#include "app/fileactions.h"

#include "app/filedialogs.h"
#include "app/filterpanel.h"
#include "app/noticequeue.h"
#include "app/routeeditcommand.h"
#include "app/routingview.h"
#include "app/windowtext.h"
#include "config/configform.h"
#include "config/routeimport.h"

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

namespace {

// The clear, then the routes as an import sends them.
QList<RouteCommand::Command> replacing(const QList<PortIdentity::Route> &routes) {
    return QList<RouteCommand::Command>{RouteCommand::clearAll()} +
           RouteImport::addCommands(routes);
}

PacedSending::Pacing importPacing(const QString &file) {
    return {windowText("Importing routes: %1 of %2"), windowText("Import"), windowText("routes"), 1,
            [file](int routes) {
                return windowText("File imported successfully: %1 routes from %2")
                    .arg(routes)
                    .arg(file);
            }};
}

PacedSending::Pacing undoPacing() {
    return {
        windowText("Putting back the routes from before the import: %1 of %2"),
        windowText("Undo of the import"), windowText("routes"), 1, [](int routes) {
            return windowText("Import undone: the %1 routes from before it are back").arg(routes);
        }};
}

} // namespace

FileActions::FileActions(const Parts &parts)
    : parts(parts) {}

bool FileActions::onRoutingPage() const {
    return parts.tabs.currentIndex() == 0;
}

// "Save File": the routes on the routing page, the shown filter on the filter page. Without a
// router there are no routes, and an empty file would only hide a good one. A name without an
// extension gets ".ini", so that Open File finds it again.
void FileActions::save() {
    if (onRoutingPage() && !parts.connection.isOpen()) {
        parts.note(windowText("Nothing to save: no router is connected, so there are no routes"));
        return;
    }
    const QString path =
        FileDialogs::saveName(parts.window, windowText("Save File"), QStringLiteral("ini"));
    if (path.isEmpty())
        return;
    const bool routes = onRoutingPage();
    const QJsonObject root = routes ? ConfigForm::routeForm(parts.connection.state().routes)
                                    : ConfigForm::filterForm([this](const QString &box) {
                                          return parts.filters.isChecked(box);
                                      });
    if (!ConfigForm::save(path, root)) {
        parts.notices.show(windowText("File saved failed!"));
        return;
    }
    const QString what = routes
                             ? windowText("%1 routes").arg(parts.connection.state().routes.size())
                             : windowText("the filter of %1").arg(parts.filters.shownPort());
    parts.note(
        windowText("File saved successfully: %1 in %2").arg(what, QDir::toNativeSeparators(path)));
}

// "Open File": writes a saved file into the router, read the way the shown page expects.
// Nothing is sent unless the whole file has been read as a JSON object that fits the page.
void FileActions::open() {
    if (parts.connection.isListRunning() || !parts.checkConnected())
        return;
    const QString path =
        FileDialogs::openName(parts.window, windowText("Please select ini file！"));
    if (path.isEmpty())
        return;
    const std::optional<QJsonObject> root = ConfigForm::load(path);
    if (!root) {
        parts.notices.show(windowText("File imported failed, json format error!"));
        return;
    }
    // The router may have gone while the dialog was open.
    if (!parts.checkConnected() || parts.connection.isListRunning())
        return;
    if (const QString misfit = pageMisfit(*root); !misfit.isEmpty()) {
        parts.notices.show(misfit);
        return;
    }
    importedFile = QFileInfo(path).fileName();
    if (onRoutingPage())
        importRoutes(*root);
    else
        importFilters(*root);
}

// Why a file does not belong on the shown page, or nothing when it may be opened here. Only
// a file that holds nothing the page reads and something the other page does is refused.
QString FileActions::pageMisfit(const QJsonObject &root) const {
    const bool filters = ConfigForm::hasFilterKey(root);
    const bool routes = ConfigForm::hasPortKey(root);
    if (onRoutingPage() && filters && !routes)
        return windowText("This file holds a MIDI filter, not routes: open it on the \"MIDI "
                          "Messages Filter\" page.");
    if (!onRoutingPage() && routes && !filters)
        return windowText("This file holds routes, not a MIDI filter: open it on the \"MIDI Port "
                          "Routing\" page.");
    return QString();
}

// Replaces the router's routes by the file's: clear all, then one add-route command per
// route, paced so that the router keeps up. A file the router cannot take whole is refused
// before anything is sent. The import is one step of the undo history: undone, the routes
// from before it go back the same way.
void FileActions::importRoutes(const QJsonObject &root) {
    const ConfigForm::RouteReading reading =
        ConfigForm::readRoutes(root, parts.connection.state().ports);
    if (!reading.refusal.isEmpty()) {
        parts.notices.show(windowText("File not imported: %1. The router's routes are unchanged.")
                               .arg(reading.refusal));
        return;
    }
    const QList<RouteCommand::Command> forward = replacing(reading.routes);
    const QList<RouteCommand::Command> backward = restoring(parts.connection.state());
    if (parts.pacing.start(forward, importPacing(importedFile)) > 0)
        recordImport(importedFile, forward, backward);
}

QList<RouteCommand::Command> FileActions::restoring(const RouterState &state) {
    QList<PortIdentity::Route> routes;
    for (const auto &source : state.routes.uniqueKeys())
        for (const auto &destination : state.routes.values(source))
            routes.append(PortIdentity::Route(source, destination));
    return replacing(routes);
}

void FileActions::recordImport(const QString &file, const QList<RouteCommand::Command> &forward,
                               const QList<RouteCommand::Command> &backward) {
    const PacedSending::Pacing importing = importPacing(file);
    parts.routing.edits().push(RouteEditCommand::imported(
        file,
        [this, importing](const auto &commands) { return parts.pacing.start(commands, importing); },
        [this](const auto &commands) { return parts.pacing.start(commands, undoPacing()); },
        forward, backward));
}

// Loads the file into the filter panel and sends it with "Set".
void FileActions::importFilters(const QJsonObject &root) {
    parts.filters.showChecked(ConfigForm::checkedBoxes(root));
    parts.set();
}
