#include "app/widget.h"

#include "filters/filterbits.h"
#include "filters/filtercommand.h"
#include "filters/portfilteringsituation.h"
#include "link/sysexframe.h"
#include "routing/portidentity.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QSerialPort>
#include <QSignalBlocker>
#include <QTimer>
#include <array>

namespace {

// Added to the style of "Set" while the boxes hold edits not yet sent. The window's style sheet
// sets every font, so a bold font has to come from a style sheet too.
const QString UnsentMark = QStringLiteral("QPushButton{font-weight:bold;}");

// What a tick means, as far as the window knows it: the router is told the bit, and what it
// does with it is its own.
QString tickMeaning() {
    return Widget::tr("A ticked box sets that item's bit in the filter sent to the router for "
                      "the port.");
}

QCheckBox *checkBox(const QWidget *window, const QString &name) {
    return window->findChild<QCheckBox *>(name);
}

Qt::CheckState summaryState(int count, int groupSize) {
    if (count == 0)
        return Qt::Unchecked;
    return count == groupSize ? Qt::Checked : Qt::PartiallyChecked;
}

} // namespace

bool Widget::checkConnected() {
    if (serialPort->isOpen())
        return true;
    showMessage(tr("OK"), "Please connect the device and try again", QString());
    return false;
}

void Widget::on_pushButton_2_clicked() {
    if (!checkConnected())
        return;
    const QByteArray frame =
        ui->tabWidget->currentIndex() == 0
            ? SysexFrame::build(SysexFrame::ClassSet, SysexFrame::CodeConfig, {0})
            : takeFilterCommand();
    if (!frame.isEmpty())
        writeFrame(frame);
    filterMarkTimer->start();
}

// Packs the panel into a set-filter command and stores the packed bytes in the records it
// addresses. Empty when the chooser names no port (no port list has arrived yet).
QByteArray Widget::takeFilterCommand() {
    const FilterBytes bytes = panelFilterBytes();
    if (ui->checkBox_Applies_To_All->isChecked()) {
        for (PortFilteringSituation *record : qAsConst(portFilters))
            record->setFilterBytes(bytes);
        return FilterCommand::frame({FilterCommand::AllPorts, bytes});
    }
    const QString portName = ui->comboBox_MiDiPorts->currentText();
    const auto port = PortIdentity::parseFilterPortName(portName);
    if (!port)
        return {};
    for (PortFilteringSituation *record : qAsConst(portFilters)) {
        if (record->getPortName() == portName) {
            record->setFilterBytes(bytes);
            break;
        }
    }
    return FilterCommand::frame({*port, bytes});
}

FilterBytes Widget::panelFilterBytes() const {
    return FilterBits::pack(
        [this](const QString &name) { return checkBox(this, name)->isChecked(); });
}

// The record the shown port's filter was loaded from and "Set" last updated: what the router
// was last told for that port. Null while there is none (not connected, report not come).
const PortFilteringSituation *Widget::shownFilterRecord() const {
    for (const PortFilteringSituation *record : qAsConst(portFilters))
        if (record->getPortName() == filterPortShown)
            return record;
    return nullptr;
}

bool Widget::hasUnsentFilterEdits() const {
    const PortFilteringSituation *record = shownFilterRecord();
    return record && record->getFilterBytes() != panelFilterBytes();
}

// "Set" is bold while the filter page shows edits the router has not been told, and its
// tooltip says so. On the routing page it sends no filter and carries no mark.
void Widget::markUnsentFilterEdits() {
    const bool unsent = !onRoutingPage() && hasUnsentFilterEdits();
    ui->pushButton_2->setStyleSheet(unsent ? setButtonStyle + UnsentMark : setButtonStyle);
    QString tip;
    if (unsent)
        tip = tr("The boxes differ from what the router was last told for %1; \"Set\" sends "
                 "them.")
                  .arg(filterPortShown) +
              ' ' + tickMeaning();
    else if (!onRoutingPage())
        tip = tr("Sends the boxes to the router as the chosen port's filter (every port's with "
                 "\"Applies to All MIDI Ports\").") +
              ' ' + tickMeaning();
    ui->pushButton_2->setToolTip(tip);
}

// Choosing another port reloads the boxes, which would lose edits not yet sent: the user is
// asked first, and "No" puts the chooser back on the shown port with the edits kept. The
// question runs a nested event loop: when the panel changed meanwhile (the router went away,
// the boxes were reloaded, the chooser moved on), the answer decides nothing any more.
bool Widget::mayLeaveFilterPort(const QString &name) {
    if (name == filterPortShown || !hasUnsentFilterEdits())
        return true;
    const QString shown = filterPortShown;
    const quint64 session = linkSession;
    const bool discard = showMessage(tr("Yes"), tr("Discard the changes to %1?").arg(shown),
                                     tr("No")) == QMessageBox::Ok;
    QComboBox *chooser = ui->comboBox_MiDiPorts;
    if (linkSession != session || filterPortShown != shown || chooser->currentText() != name)
        return false;
    if (!discard) {
        const QSignalBlocker blocker(chooser);
        chooser->setCurrentIndex(chooser->findText(shown));
    }
    return discard;
}

// The group frames (whose tooltips their member boxes show) and the group boxes say what a
// tick means.
void Widget::explainFilterBoxes() {
    for (QGroupBox *frame :
         {ui->groupBox_6, ui->groupBox_3, ui->groupBox_2, ui->groupBox_4, ui->groupBox_5})
        frame->setToolTip(tickMeaning());
    for (const FilterBits::FilterGroup &group : FilterBits::groups())
        checkBox(this, group.boxName)->setToolTip(tickMeaning());
}

void Widget::connectFilterCheckBoxes() {
    const std::array<void (Widget::*)(bool), FilterBits::GroupCount> countSlots = {
        &Widget::channelsCountChange, &Widget::messagesCountChange,
        &Widget::controlChangeCountChange, &Widget::systemCommonCountChange,
        &Widget::systemRealtimeCountChange};
    for (const FilterBits::MemberBit &member : FilterBits::members()) {
        QCheckBox *box = checkBox(this, member.boxName);
        connect(box, &QCheckBox::clicked, this, countSlots[member.group]);
        // However a box changes, "Set"'s mark is checked again once the event has run.
        connect(box, &QCheckBox::toggled, filterMarkTimer, qOverload<>(&QTimer::start));
    }
}

// A click on a group box that leaves it checked (from Unchecked or PartiallyChecked) checks
// every member; one that leaves it unchecked clears them.
void Widget::connectGroupToggles() {
    using Action = void (Widget::*)();
    const std::array<std::pair<Action, Action>, FilterBits::GroupCount> actions = {{
        {&Widget::on_channel_pb_all_clicked, &Widget::on_channel_pb_none_clicked},
        {&Widget::on_Messages_pb_all_clicked, &Widget::on_Messages_pb_none_clicked},
        {&Widget::on_ControlChange_pb_all_clicked, &Widget::on_ControlChange_pb_none_clicked},
        {&Widget::on_System_common_pb_all_clicked, &Widget::on_System_common_pb_none_clicked},
        {&Widget::on_SystemRealtime_pb_all_clicked, &Widget::on_SystemRealtime_pb_none_clicked},
    }};
    for (int group = 0; group < FilterBits::GroupCount; ++group) {
        const auto [all, none] = actions[group];
        connect(
            checkBox(this, FilterBits::groups().at(group).boxName), &QCheckBox::clicked, this,
            [this, all = all, none = none](bool checked) { (this->*(checked ? all : none))(); });
    }
}

void Widget::on_checkBox_Applies_To_All_clicked(bool checked) {
    ui->comboBox_MiDiPorts->setEnabled(!checked);
}

int &Widget::filterGroupCounter(int group) {
    const std::array<int *, FilterBits::GroupCount> counters = {
        &channelsCount, &messagesCount, &controlChangeCount, &systemCommonCount,
        &systemRealtimeCount};
    return *counters[group];
}

// A member box was clicked: count it and let the group box summarise the group.
void Widget::countFilterMember(int group, bool ok) {
    int &counter = filterGroupCounter(group);
    counter += 2 * ok - 1;
    const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
    checkBox(this, info.boxName)->setCheckState(summaryState(counter, info.members.size()));
}

// Checks or clears a whole group through the check states, which emit no clicked signal, so
// the counter is set here rather than counted.
void Widget::selectFilterGroup(int group, bool all) {
    const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
    const Qt::CheckState state = all ? Qt::Checked : Qt::Unchecked;
    QCheckBox *groupBox = checkBox(this, info.boxName);
    if (groupBox->checkState() != state)
        groupBox->setCheckState(state);
    for (const QString &name : info.members)
        checkBox(this, name)->setCheckState(state);
    filterGroupCounter(group) = all ? info.members.size() : 0;
}

void Widget::on_channel_pb_all_clicked() {
    selectFilterGroup(FilterBits::Channels, true);
}
void Widget::on_channel_pb_none_clicked() {
    selectFilterGroup(FilterBits::Channels, false);
}
void Widget::on_Messages_pb_all_clicked() {
    selectFilterGroup(FilterBits::Messages, true);
}
void Widget::on_Messages_pb_none_clicked() {
    selectFilterGroup(FilterBits::Messages, false);
}
void Widget::on_System_common_pb_all_clicked() {
    selectFilterGroup(FilterBits::SystemCommon, true);
}
void Widget::on_System_common_pb_none_clicked() {
    selectFilterGroup(FilterBits::SystemCommon, false);
}
void Widget::on_SystemRealtime_pb_all_clicked() {
    selectFilterGroup(FilterBits::SystemRealtime, true);
}
void Widget::on_SystemRealtime_pb_none_clicked() {
    selectFilterGroup(FilterBits::SystemRealtime, false);
}
void Widget::on_ControlChange_pb_all_clicked() {
    selectFilterGroup(FilterBits::ControlChange, true);
}
void Widget::on_ControlChange_pb_none_clicked() {
    selectFilterGroup(FilterBits::ControlChange, false);
}

// Shows the filter of every record named name (normally one). Boxes are clicked, not just
// checked, so that the count slots keep the counters and group boxes in step.
void Widget::MiDiPortsCurrTextChange(QString name) {
    if (!mayLeaveFilterPort(name))
        return;
    filterPortShown = name;
    filterMarkTimer->start();
    for (int group = 0; group < FilterBits::GroupCount; ++group)
        selectFilterGroup(group, false);
    for (const PortFilteringSituation *record : qAsConst(portFilters)) {
        if (record->getPortName() != name)
            continue;
        for (const FilterBits::LoadStep &step : FilterBits::loadSteps(record->getFilterBytes())) {
            QCheckBox *box = checkBox(this, step.boxName);
            if (step.click)
                box->click();
            else
                box->setChecked(false);
        }
    }
}

void Widget::channelsCountChange(bool ok) {
    countFilterMember(FilterBits::Channels, ok);
}
void Widget::messagesCountChange(bool ok) {
    countFilterMember(FilterBits::Messages, ok);
}
void Widget::controlChangeCountChange(bool ok) {
    countFilterMember(FilterBits::ControlChange, ok);
}
void Widget::systemCommonCountChange(bool ok) {
    countFilterMember(FilterBits::SystemCommon, ok);
}
void Widget::systemRealtimeCountChange(bool ok) {
    countFilterMember(FilterBits::SystemRealtime, ok);
}
