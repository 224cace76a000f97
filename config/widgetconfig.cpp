#include "app/widget.h"

#include "config/configform.h"
#include "config/routeimport.h"
#include "routing/routecommand.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonObject>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>

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

bool Widget::onRoutingPage() const {
    return ui->tabWidget->currentIndex() == 0;
}

// "Save File": the routes on the routing page, the shown filter on the filter page.
void Widget::on_pushButton_3_clicked() {
    const QString path = QFileDialog::getSaveFileName(this, tr("open file"), configFolder(),
                                                      tr("Config File(*.ini)"));
    if (path.isEmpty())
        return;
    rememberConfigFolder(path);
    const auto isChecked = [this](const QString &box) {
        return findChild<QCheckBox *>(box)->isChecked();
    };
    const QJsonObject root =
        onRoutingPage() ? ConfigForm::routeForm(routeMap) : ConfigForm::filterForm(isChecked);
    showNotice(ConfigForm::save(path, root) ? tr("File saved successfully!")
                                            : tr("File saved failed!"));
}

// "Open File": writes a saved file into the router, read the way the shown page expects.
// Nothing is sent unless the whole file has been read as a JSON object that fits the page.
void Widget::on_pushButton_4_clicked() {
    if (pacingRoutes || !checkConnected())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Please select ini file！"),
                                                      configFolder(), tr("config(*.ini)"));
    if (path.isEmpty() || !QFile::exists(path))
        return;
    rememberConfigFolder(path);
    const std::optional<QJsonObject> root = ConfigForm::load(path);
    if (!root) {
        showNotice(tr("File imported failed, json format error!"));
        return;
    }
    // The router may have gone while the dialog was open.
    if (!checkConnected())
        return;
    if (const QString misfit = pageMisfit(*root); !misfit.isEmpty()) {
        showNotice(misfit);
        return;
    }
    if (onRoutingPage())
        importRoutes(*root);
    else
        importFilters(*root);
}

// Why a file does not belong on the shown page, or nothing when it may be opened here. Only
// a file that holds nothing the page reads and something the other page does is refused.
QString Widget::pageMisfit(const QJsonObject &root) const {
    const bool filters = ConfigForm::hasFilterKey(root);
    const bool routes = ConfigForm::hasPortKey(root);
    if (onRoutingPage() && filters && !routes)
        return tr("This file holds a MIDI filter, not routes: open it on the \"MIDI Messages "
                  "Filter\" page.");
    if (!onRoutingPage() && routes && !filters)
        return tr("This file holds routes, not a MIDI filter: open it on the \"MIDI Port "
                  "Routing\" page.");
    return QString();
}

// While routes are paced (an import, or an undone "Disconnect All"), nothing else may start a
// command, a file dialog or pacing of its own.
void Widget::lockWhilePacing(bool locked) {
    pacingRoutes = locked;
    const QList<QWidget *> controls = {ui->pushButton_2, ui->pushButton_3, ui->pushButton_4,
                                       ui->pushButton_5, ui->graphicsView};
    for (QWidget *control : controls)
        control->setEnabled(!locked);
}

// Replaces the router's routes by the file's: clear all, then one add-route command per
// route, 15 ms apart so the router keeps up; its verdicts are handled in the pauses. A
// disconnect or Cancel during a pause stops the import before the next route, and the notice
// says how far it came. A lost router is named even when Cancel was pressed as well: the
// router's state is then what the user needs to know.
void Widget::importRoutes(const QJsonObject &root) {
    const quint64 session = linkSession;
    lockWhilePacing(true);
    clearRouteEdits();
    sendRouteCommand(RouteCommand::clearAll());
    removeAllRouteLines();

    importRouteMap.clear();
    const PortIdentity::PortCounts counts{midiInCount, midiOutCount, usbHostCount, usbDeviceCount};
    const QList<RouteCommand::Command> adds =
        RouteImport::addCommands(ConfigForm::routes(root, counts));
    for (const RouteCommand::Command &add : adds)
        importRouteMap.insert(routeButton(PortIdentity::End::Source, add.source),
                              routeButton(PortIdentity::End::Destination, add.destination));
    const int progressTotal = adds.size() > ProgressAbove ? adds.size() : 0;
    importCancelled = false;
    ui->pushButton_cancelImport->setEnabled(true);
    showImportProgress(0, progressTotal);

    int sent = 0;
    bool cancelled = false;
    for (const RouteCommand::Command &add : adds) {
        if (!serialPort->isOpen() || linkSession != session)
            break;
        if (importCancelled) {
            cancelled = true;
            break;
        }
        // Looked up again each time: the port map may be rebuilt during a pause.
        QPushButton *from = routeButton(PortIdentity::End::Source, add.source);
        QPushButton *to = routeButton(PortIdentity::End::Destination, add.destination);
        if (!from || !to)
            continue;
        anchorSource(from);
        if (addRoute(to)) {
            ++sent;
            showImportProgress(sent, progressTotal);
            waitMs(RouteImport::PaceMs);
        }
    }
    endGesture();
    lockWhilePacing(false);
    showImportProgress(0, 0);
    if (!serialPort->isOpen() || linkSession != session)
        showNotice(tr("Import stopped: the router was disconnected after %1 of %2 routes.")
                       .arg(sent)
                       .arg(adds.size()));
    else if (cancelled)
        showNotice(tr("Import cancelled after %1 of %2 routes.").arg(sent).arg(adds.size()));
    else
        showNotice(tr("File imported successfully!"));
}

// The count in the status line and Cancel beside it; a total of 0 hides both.
void Widget::showImportProgress(int sent, int total) {
    importSent = sent;
    importTotal = total;
    ui->pushButton_cancelImport->setVisible(total > 0);
    updateStatusLine();
}

// Stops the running import once the route that went out last has had its pause. It only
// leaves a mark: pressed inside a pause, or inside a message box opened in one, it must not
// start anything nested.
void Widget::on_pushButton_cancelImport_clicked() {
    importCancelled = true;
    ui->pushButton_cancelImport->setEnabled(false);
}

// Loads the file into the filter panel through the boxes' own clicks, so the group boxes
// and counters follow, then sends the panel with "Set".
void Widget::importFilters(const QJsonObject &root) {
    on_channel_pb_none_clicked();
    on_Messages_pb_none_clicked();
    on_ControlChange_pb_none_clicked();
    on_System_common_pb_none_clicked();
    on_SystemRealtime_pb_none_clicked();
    for (const QString &name : ConfigForm::checkedBoxes(root))
        findChild<QCheckBox *>(name)->click();
    on_pushButton_2_clicked();
}
