#include "app/fileactions.h"

#include "app/filterpanel.h"
#include "app/noticequeue.h"
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

// Both file dialogs start in the folder of the configuration file used last, also in a later
// run; the first time, or when that folder is gone, in the user's home folder.
QString configFolder() {
    const QString folder = QSettings().value(ConfigFolderKey).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void rememberConfigFolder(const QString &path) {
    QSettings().setValue(ConfigFolderKey, QFileInfo(path).absolutePath());
}

} // namespace

FileActions::FileActions(const Parts &parts)
    : parts(parts) {
    connect(&parts.connection, &RouterConnection::listProgress, this, [this](int sent) {
        if (importing)
            showProgress(qMax(0, sent - 1)); // the clear goes first
    });
    connect(&parts.connection, &RouterConnection::listEnded, this,
            [this](const RouterConnection::ListResult &result) {
                if (importing)
                    endImport(result);
            });
}

bool FileActions::onRoutingPage() const {
    return parts.tabs.currentIndex() == 0;
}

// "Save File": the routes on the routing page, the shown filter on the filter page.
void FileActions::save() {
    const QString path = QFileDialog::getSaveFileName(
        &parts.window, windowText("open file"), configFolder(), windowText("Config File(*.ini)"));
    if (path.isEmpty())
        return;
    rememberConfigFolder(path);
    const QJsonObject root = onRoutingPage()
                                 ? ConfigForm::routeForm(parts.connection.state().routes)
                                 : ConfigForm::filterForm([this](const QString &box) {
                                       return parts.filters.isChecked(box);
                                   });
    parts.notices.show(ConfigForm::save(path, root) ? windowText("File saved successfully!")
                                                    : windowText("File saved failed!"));
}

// "Open File": writes a saved file into the router, read the way the shown page expects.
// Nothing is sent unless the whole file has been read as a JSON object that fits the page.
void FileActions::open() {
    if (parts.connection.isListRunning() || !parts.checkConnected())
        return;
    const QString path =
        QFileDialog::getOpenFileName(&parts.window, windowText("Please select ini file！"),
                                     configFolder(), windowText("config(*.ini)"));
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
// route, paced so that the router keeps up. The edits made before have nothing left to undo.
void FileActions::importRoutes(const QJsonObject &root) {
    const QList<RouteCommand::Command> adds =
        RouteImport::addCommands(ConfigForm::routes(root, parts.connection.state().ports));
    QList<RouterConnection::Command> commands{RouteCommand::clearAll()};
    for (const RouteCommand::Command &add : adds)
        commands.append(add);
    parts.routing.edits().clear();
    routesTotal = adds.size();
    importing = parts.connection.startList(commands) > 0;
    progressShown = routesTotal > ProgressAbove;
    showProgress(0);
}

// Loads the file into the filter panel and sends it with "Set".
void FileActions::importFilters(const QJsonObject &root) {
    parts.filters.showChecked(ConfigForm::checkedBoxes(root));
    parts.set();
}

void FileActions::cancelImport() {
    if (importing)
        parts.connection.cancelList();
}

QString FileActions::progress() const {
    if (!importing || !progressShown)
        return QString();
    return windowText("Importing routes: %1 of %2").arg(routesSent).arg(routesTotal);
}

void FileActions::showProgress(int sent) {
    routesSent = sent;
    parts.cancel.setVisible(importing && progressShown);
    emit progressChanged();
}

// The notice says how far the import came when it stopped early.
void FileActions::endImport(const RouterConnection::ListResult &result) {
    importing = false;
    showProgress(routesSent);
    switch (result.end) {
    case RouterConnection::ListEnd::Done:
        parts.notices.show(windowText("File imported successfully!"));
        break;
    case RouterConnection::ListEnd::Cancelled:
        parts.notices.show(
            windowText("Import cancelled after %1 of %2 routes.").arg(routesSent).arg(routesTotal));
        break;
    case RouterConnection::ListEnd::Lost:
        parts.notices.show(
            windowText("Import stopped: the router was disconnected after %1 of %2 routes.")
                .arg(routesSent)
                .arg(routesTotal));
        break;
    case RouterConnection::ListEnd::ClearRefused:
        parts.notices.show(windowText("Import stopped: the router did not clear its routes, so "
                                      "none of the file's %1 routes was sent.")
                               .arg(routesTotal));
        break;
    case RouterConnection::ListEnd::Unanswered:
        parts.notices.show(windowText("Import stopped: the router did not answer after %1 of %2 "
                                      "routes; its routes are read again.")
                               .arg(routesSent)
                               .arg(routesTotal));
        break;
    }
}
