#include "app/fileactions.h"

#include "app/filterpanel.h"
#include "app/noticequeue.h"
#include "app/routeeditcommand.h"
#include "app/routingview.h"
#include "app/windowtext.h"
#include "config/configform.h"
#include "config/routeimport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>

namespace {

// Imports of more routes than this take long enough (15 ms a route) to show their progress
// and to be worth cancelling.
constexpr int ProgressAbove = 20;

const QString ConfigFolderKey = QStringLiteral("files/configFolder");

// What both file dialogs offer: the files the window saves, whatever their extension.
QString fileFilter() {
    return windowText("Configuration files (*.ini *.json);;All files (*)");
}

// Both file dialogs start in the folder of the configuration file used last, also in a later
// run; the first time, or when that folder is gone, in the user's home folder.
QString configFolder() {
    const QString folder = QSettings().value(ConfigFolderKey).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void rememberConfigFolder(const QString &path) {
    QSettings().setValue(ConfigFolderKey, QFileInfo(path).absolutePath());
}

// The clear, then the routes as an import sends them.
QList<RouteCommand::Command> replacing(const QList<PortIdentity::Route> &routes) {
    return QList<RouteCommand::Command>{RouteCommand::clearAll()} +
           RouteImport::addCommands(routes);
}

// A router's routes as its route form lists them: what an import of its saved file sends.
QList<PortIdentity::Route> routesOf(const RouterState &state) {
    QList<PortIdentity::Route> routes;
    for (const auto &source : state.routes.uniqueKeys())
        for (const auto &destination : state.routes.values(source))
            routes.append(PortIdentity::Route(source, destination));
    return routes;
}

FileActions::Pacing importPacing(const QString &file) {
    return {windowText("Importing routes: %1 of %2"), windowText("Import"), [file](int routes) {
                return windowText("File imported successfully: %1 routes from %2")
                    .arg(routes)
                    .arg(file);
            }};
}

FileActions::Pacing undoPacing() {
    return {
        windowText("Putting back the routes from before the import: %1 of %2"),
        windowText("Undo of the import"), [](int routes) {
            return windowText("Import undone: the %1 routes from before it are back").arg(routes);
        }};
}

} // namespace

FileActions::FileActions(const Parts &parts)
    : parts(parts) {
    connect(&parts.connection, &RouterConnection::listProgress, this, [this](int sent) {
        if (running)
            showProgress(qMax(0, sent - 1)); // the clear goes first
    });
    connect(&parts.connection, &RouterConnection::listEnded, this,
            [this](const RouterConnection::ListResult &result) {
                if (running)
                    endPacing(result);
            });
}

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
    QString path = QFileDialog::getSaveFileName(&parts.window, windowText("Save File"),
                                                configFolder(), fileFilter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ini");
    rememberConfigFolder(path);
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
    const QString path = QFileDialog::getOpenFileName(
        &parts.window, windowText("Please select ini file！"), configFolder(), fileFilter());
    if (path.isEmpty() || !QFile::exists(path))
        return;
    rememberConfigFolder(path);
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
    const QList<RouteCommand::Command> backward = replacing(routesOf(parts.connection.state()));
    const Pacing importing = importPacing(importedFile);
    if (pace(forward, importing) == 0)
        return;
    parts.routing.edits().push(RouteEditCommand::imported(
        importedFile, [this, importing](const auto &commands) { return pace(commands, importing); },
        [this](const auto &commands) { return pace(commands, undoPacing()); }, forward, backward));
}

// Loads the file into the filter panel and sends it with "Set".
void FileActions::importFilters(const QJsonObject &root) {
    parts.filters.showChecked(ConfigForm::checkedBoxes(root));
    parts.set();
}

void FileActions::cancelImport() {
    if (running)
        parts.connection.cancelList();
}

QString FileActions::progress() const {
    if (!running || !progressShown)
        return QString();
    return running->progress.arg(routesSent).arg(routesTotal);
}

void FileActions::showProgress(int sent) {
    routesSent = sent;
    parts.cancel.setVisible(running && progressShown);
    emit progressChanged();
}

int FileActions::pace(const QList<RouteCommand::Command> &commands, const Pacing &pacing) {
    QList<RouterConnection::Command> list;
    for (const RouteCommand::Command &command : commands)
        list.append(command);
    routesTotal = int(commands.size()) - 1; // the clear goes first
    progressShown = routesTotal > ProgressAbove;
    running = pacing; // for what the list reports as it starts
    const int sent = parts.connection.startList(list);
    if (sent == 0)
        running.reset();
    showProgress(0);
    return sent;
}

// The status line says when the routes are in; a notice says how far they came when the
// list stopped early.
void FileActions::endPacing(const RouterConnection::ListResult &result) {
    const Pacing ended = *std::exchange(running, std::nullopt);
    showProgress(routesSent);
    switch (result.end) {
    case RouterConnection::ListEnd::Done:
        parts.note(ended.done(routesTotal));
        break;
    case RouterConnection::ListEnd::Cancelled:
        parts.notices.show(windowText("%1 cancelled after %2 of %3 routes.")
                               .arg(ended.name)
                               .arg(routesSent)
                               .arg(routesTotal));
        break;
    case RouterConnection::ListEnd::Lost:
        parts.notices.show(
            windowText("%1 stopped: the router was disconnected after %2 of %3 routes.")
                .arg(ended.name)
                .arg(routesSent)
                .arg(routesTotal));
        break;
    case RouterConnection::ListEnd::ClearRefused:
        parts.notices.show(windowText("%1 stopped: the router did not clear its routes, so "
                                      "none of the %2 routes was sent.")
                               .arg(ended.name)
                               .arg(routesTotal));
        break;
    case RouterConnection::ListEnd::Unanswered:
        parts.notices.show(windowText("%1 stopped: the router did not answer after %2 of %3 "
                                      "routes; its routes are read again.")
                               .arg(ended.name)
                               .arg(routesSent)
                               .arg(routesTotal));
        break;
    }
}
