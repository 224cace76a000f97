#include "app/widget.h"

#include "config/configform.h"
#include "routing/routecommand.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonObject>
#include <QPushButton>
#include <QSerialPort>
#include <QSet>

bool Widget::onRoutingPage() const {
    return ui->tabWidget->currentIndex() == 0;
}

// "Save File": the routes on the routing page, the shown filter on the filter page.
void Widget::on_pushButton_3_clicked() {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("open file"), "/", tr("Config File(*.ini)"));
    if (path.isEmpty())
        return;
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
    if (importRunning || !checkConnected())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Please select ini file！"),
                                                      tr("C:"), tr("config(*.ini)"));
    if (path.isEmpty() || !QFile::exists(path))
        return;
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

// While an import paces its routes, nothing else may start a command, a file dialog or an
// import of its own.
void Widget::lockForImport(bool locked) {
    importRunning = locked;
    const QList<QWidget *> controls = {ui->pushButton_2, ui->pushButton_3, ui->pushButton_4,
                                       ui->pushButton_5, ui->graphicsView};
    for (QWidget *control : controls)
        control->setEnabled(!locked);
}

// Replaces the router's routes by the file's: clear all, then one add-route command per
// route, 15 ms apart so the router keeps up; its verdicts are handled in the pauses. A
// disconnect during a pause stops the import, and the notice says how far it came.
void Widget::importRoutes(const QJsonObject &root) {
    const quint64 session = linkSession;
    lockForImport(true);
    clearRouteEdits();
    sendRouteCommand(RouteCommand::clearAll());
    removeAllRouteLines();

    importRouteMap.clear();
    const PortIdentity::PortCounts counts{midiInCount, midiOutCount, usbHostCount, usbDeviceCount};
    for (const ConfigForm::ButtonRoute &route : ConfigForm::buttonRoutes(root, counts))
        importRouteMap.insert(inputButtons.at(route.source), outputButtons.at(route.destination));
    const QList<QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd>> routes = plannedImport();

    int sent = 0;
    for (const auto &[source, destination] : routes) {
        if (!serialPort->isOpen() || linkSession != session)
            break;
        // Looked up again each time: the port map may be rebuilt during a pause.
        QPushButton *from = routeButton(PortIdentity::End::Source, source);
        QPushButton *to = routeButton(PortIdentity::End::Destination, destination);
        if (!from || !to)
            continue;
        anchorSource(from);
        if (addRoute(to)) {
            ++sent;
            waitMs(15);
        }
    }
    endGesture();
    lockForImport(false);
    if (serialPort->isOpen() && linkSession == session)
        showNotice(tr("File imported successfully!"));
    else
        showNotice(tr("Import stopped: the router was disconnected after %1 of %2 routes.")
                       .arg(sent)
                       .arg(routes.size()));
}

// The routes of importRouteMap in the order it is walked, each once, without a USB port routed
// to itself: the commands the import will send.
QList<QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd>> Widget::plannedImport() const {
    using PortIdentity::End;
    QList<QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd>> routes;
    QSet<QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd>> planned;
    for (auto it = importRouteMap.cbegin(); it != importRouteMap.cend(); ++it) {
        const auto source = PortIdentity::parseButtonText(End::Source, it.key()->text());
        const auto destination =
            PortIdentity::parseButtonText(End::Destination, it.value()->text());
        const QPair<PortIdentity::RouteEnd, PortIdentity::RouteEnd> route(*source, *destination);
        if (PortIdentity::isLoopback(route.first, route.second) || planned.contains(route))
            continue;
        planned.insert(route);
        routes.append(route);
    }
    return routes;
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
