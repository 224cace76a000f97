#include "app/widget.h"

#include "filters/filterbits.h"
#include "filters/filtercommand.h"
#include "filters/portfilteringsituation.h"
#include "link/sysexframe.h"
#include "routing/portidentity.h"
#include "ui_widget.h"

#include <QCheckBox>
#include <QSerialPort>
#include <array>

namespace {

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
}

// Packs the panel into a set-filter command and stores the packed bytes in the records it
// addresses. Empty when the chooser names no port (no port list has arrived yet).
QByteArray Widget::takeFilterCommand() {
    const FilterBytes bytes =
        FilterBits::pack([this](const QString &name) { return checkBox(this, name)->isChecked(); });
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

void Widget::connectFilterCheckBoxes() {
    const std::array<void (Widget::*)(bool), FilterBits::GroupCount> countSlots = {
        &Widget::channelsCountChange, &Widget::messagesCountChange,
        &Widget::controlChangeCountChange, &Widget::systemCommonCountChange,
        &Widget::systemRealtimeCountChange};
    for (const FilterBits::MemberBit &member : FilterBits::members())
        connect(checkBox(this, member.boxName), &QCheckBox::clicked, this,
                countSlots[member.group]);
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
