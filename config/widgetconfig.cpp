#include "app/widget.h"

#include "config/configform.h"
#include "config/routeimport.h"
#include "routing/routecommand.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonObject>
#include <QPushButton>

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
// Nothing is sent unless the whole file has been read as a JSON object.
void Widget::on_pushButton_4_clicked() {
    if (!checkConnected())
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
    if (onRoutingPage())
        importRoutes(*root);
    else
        importFilters(*root);
}

// Replaces the router's routes by the file's: clear all, then one add-route command per
// route, paced 15 ms apart so the router keeps up; its verdicts are handled in the pauses.
void Widget::importRoutes(const QJsonObject &root) {
    sendRouteCommand(RouteCommand::clearAll());
    removeAllRouteLines();

    importRouteMap.clear();
    const PortIdentity::PortCounts counts{midiInCount, midiOutCount, usbHostCount, usbDeviceCount};
    for (const RouteCommand::Command &add :
         RouteImport::addCommands(ConfigForm::routes(root, counts))) {
        QPushButton *source = inputButtons.value(
            PortIdentity::buttonIndex(PortIdentity::End::Source, add.source, counts));
        QPushButton *destination = outputButtons.value(
            PortIdentity::buttonIndex(PortIdentity::End::Destination, add.destination, counts));
        // A disconnect during a pause deletes the port buttons; their pairs are dropped.
        if (!source || !destination)
            continue;
        importRouteMap.insert(source, destination);
        anchorSource(source);
        addRoute(destination);
        waitMs(RouteImport::PaceMs);
    }
    showNotice(tr("File imported successfully!"));
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
