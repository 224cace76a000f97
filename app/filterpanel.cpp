#include "app/filterpanel.h"

#include "app/windowtext.h"
#include "routing/verdicttext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

// Added to the style of "Set" while the boxes hold edits not yet sent. The window's style sheet
// sets every font, so a bold font has to come from a style sheet too.
const QString UnsentMark = QStringLiteral("QPushButton{font-weight:bold;}");

// What a tick means, as far as the window knows it: the router is told the bit, and what it
// does with it is its own.
QString tickMeaning() {
    return windowText("A ticked box sets that item's bit in the filter sent to the router for "
                      "the port.");
}

Qt::CheckState summaryState(int checked, int groupSize) {
    if (checked == 0)
        return Qt::Unchecked;
    return checked == groupSize ? Qt::Checked : Qt::PartiallyChecked;
}

} // namespace

FilterPanel::FilterPanel(QTabWidget &tabs, QPushButton &set, RouterConnection &connection, Ask ask)
    : tabs(tabs)
    , set(set)
    , chooser(*tabs.findChild<QComboBox *>(QStringLiteral("comboBox_MiDiPorts")))
    , allPorts(*tabs.findChild<QCheckBox *>(QStringLiteral("checkBox_Applies_To_All")))
    , connection(connection)
    , ask(std::move(ask))
    , setStyle(set.styleSheet()) {
    for (QCheckBox *each : tabs.findChildren<QCheckBox *>())
        boxes.insert(each->objectName(), each);
    for (const FilterBits::FilterGroup &group : FilterBits::groups())
        box(group.boxName)->setTristate(true);
    explainBoxes();
    connect(&connection, &RouterConnection::filterPortsListed, this, &FilterPanel::listPorts);
    connect(&connection, &RouterConnection::chainEnded, this, &FilterPanel::showFirstPort);
    connect(&connection, &RouterConnection::filterReported, this, &FilterPanel::followReport);
}

QCheckBox *FilterPanel::box(const QString &name) const {
    return boxes.value(name);
}

bool FilterPanel::isChecked(const QString &boxName) const {
    return box(boxName)->isChecked();
}

FilterBytes FilterPanel::boxesBytes() const {
    return FilterBits::pack([this](const QString &name) { return isChecked(name); });
}

// The boxes differ from the record of the shown port, what the router was last told for it, as
// far as boxes can show it.
bool FilterPanel::hasUnsentEdits() const {
    const std::optional<PortFilteringSituation> record = connection.state().filterRecord(shown);
    return record && FilterBits::shownBytes(record->getFilterBytes()) != boxesBytes();
}

std::optional<FilterCommand::Command> FilterPanel::setCommand() const {
    if (allPorts.isChecked())
        return FilterCommand::Command{FilterCommand::AllPorts, boxesBytes()};
    const std::optional<PortIdentity::FilterPort> port =
        PortIdentity::parseFilterPortName(chooser.currentText());
    if (!port)
        return std::nullopt;
    return FilterCommand::Command{*port, boxesBytes()};
}

// Choosing another port reloads the boxes, which would lose edits not yet sent: the user is
// asked first, and "No" puts the chooser back on the shown port with the edits kept. When the
// panel changed while the question was open (the router went away, the boxes were reloaded,
// the chooser moved on), the answer decides nothing any more.
void FilterPanel::choosePort(const QString &name) {
    if (name != shown && hasUnsentEdits()) {
        const QString asked = shown;
        const quint64 session = connection.session();
        const bool discard = ask(windowText("Discard the changes to %1?").arg(asked));
        if (connection.session() != session || shown != asked || chooser.currentText() != name)
            return;
        if (!discard) {
            const QSignalBlocker blocker(chooser);
            chooser.setCurrentIndex(chooser.findText(asked));
            return;
        }
    }
    load(name);
}

// The chooser lists every filter port, once per connection, its first port chosen; the boxes
// stay clear until the ports have reported.
void FilterPanel::listPorts() {
    {
        const QSignalBlocker blocker(chooser);
        chooser.clear();
        for (const PortIdentity::FilterPort &port : connection.state().filterPorts())
            chooser.addItem(PortIdentity::filterPortName(port.first, port.second));
    }
    // A new list frees the chooser, also while "Applies to All MIDI Ports" is checked.
    chooser.setEnabled(true);
    load(chooser.currentText());
}

void FilterPanel::showFirstPort() {
    reported = true;
    load(chooser.currentText());
}

// A report for the shown port is shown, unless the user has edited the boxes since they were
// loaded: edits are not overwritten.
void FilterPanel::followReport(PortIdentity::FilterPort port) {
    if (reported && PortIdentity::filterPortName(port.first, port.second) == shown &&
        boxesBytes() == loaded)
        load(shown);
    showMark();
}

void FilterPanel::load(const QString &name) {
    shown = name;
    const std::optional<PortFilteringSituation> record = connection.state().filterRecord(name);
    const FilterBytes filter = record ? record->getFilterBytes() : FilterBytes{};
    loaded = FilterBits::shownBytes(filter);
    for (const FilterBits::LoadStep &step : FilterBits::loadSteps(filter)) {
        QCheckBox *member = box(step.boxName);
        const QSignalBlocker blocker(member);
        member->setChecked(step.click);
    }
    showGroups();
}

void FilterPanel::selectGroup(FilterBits::Group group, bool all) {
    for (const QString &name : FilterBits::groups().at(group).members) {
        QCheckBox *member = box(name);
        const QSignalBlocker blocker(member);
        member->setChecked(all);
    }
    showGroup(group);
}

void FilterPanel::showGroup(FilterBits::Group group) {
    showSummary(group);
    showMark();
}

void FilterPanel::showSummary(FilterBits::Group group) {
    const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
    const auto checked = std::count_if(info.members.cbegin(), info.members.cend(),
                                       [this](const QString &name) { return isChecked(name); });
    box(info.boxName)->setCheckState(summaryState(int(checked), info.members.size()));
}

void FilterPanel::showGroups() {
    for (int group = 0; group < FilterBits::GroupCount; ++group)
        showSummary(FilterBits::Group(group));
    showMark();
}

void FilterPanel::showChecked(const QStringList &boxNames) {
    for (const FilterBits::MemberBit &member : FilterBits::members()) {
        QCheckBox *each = box(member.boxName);
        const QSignalBlocker blocker(each);
        each->setChecked(boxNames.contains(member.boxName));
    }
    showGroups();
}

void FilterPanel::applyToAllPorts(bool all) {
    chooser.setEnabled(!all);
}

// What the router accepted for the shown port is what the boxes show as its filter.
void FilterPanel::settle(const RouterConnection::FilterVerdict &verdict) {
    const std::optional<PortIdentity::FilterPort> shownPort = PortIdentity::filterPortNamed(shown);
    if (verdict.command && VerdictText::filterAccepted(verdict.verdict.result) && shownPort &&
        (verdict.command->port == *shownPort || verdict.command->port == FilterCommand::AllPorts))
        loaded = FilterBits::shownBytes(verdict.command->bytes);
    showMark();
}

bool FilterPanel::onFilterPage() const {
    return tabs.currentIndex() != 0;
}

// "Set" is bold while the filter page shows edits the router has not been told, and its
// tooltip says so. On the routing page it sends no filter and carries no mark.
void FilterPanel::showMark() {
    const bool unsent = onFilterPage() && hasUnsentEdits();
    // Each style sheet set is parsed again and repolishes the button; most calls change nothing.
    const QString style = unsent ? setStyle + UnsentMark : setStyle;
    if (set.styleSheet() != style)
        set.setStyleSheet(style);
    QString tip;
    if (unsent)
        tip = windowText("The boxes differ from what the router was last told for %1; \"Set\" "
                         "sends them.")
                  .arg(shown) +
              ' ' + tickMeaning();
    else if (onFilterPage())
        tip = windowText("Sends the boxes to the router as the chosen port's filter (every "
                         "port's with \"Applies to All MIDI Ports\").") +
              ' ' + tickMeaning();
    set.setToolTip(tip);
    emit markChanged();
}

void FilterPanel::clear() {
    {
        const QSignalBlocker blocker(chooser);
        chooser.clear();
    }
    reported = false;
    load(QString());
}

// The group frames (whose tooltips their member boxes show) and the group boxes say what a
// tick means.
void FilterPanel::explainBoxes() {
    for (const char *frame : {"groupBox_6", "groupBox_3", "groupBox_2", "groupBox_4", "groupBox_5"})
        tabs.findChild<QGroupBox *>(QLatin1String(frame))->setToolTip(tickMeaning());
    for (const FilterBits::FilterGroup &group : FilterBits::groups())
        box(group.boxName)->setToolTip(tickMeaning());
}
