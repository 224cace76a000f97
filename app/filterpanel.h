#pragma once

#include "filters/filterbits.h"
#include "filters/filtercommand.h"
#include "link/routerconnection.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QWidget;

// The filter page: one port's filter as 162 member boxes, the group boxes that summarise
// their members (none, some or all checked), the port chooser, and the mark on "Set" while
// the boxes differ from what the router was last told for the shown port. The boxes follow
// the router's reports for the shown port until the user edits them.
class FilterPanel : public QObject {
    Q_OBJECT
public:
    // Asks the user a yes-or-no question; true for "Yes".
    using Ask = std::function<bool(const QString &question)>;

    FilterPanel(QTabWidget &tabs, QPushButton &set, RouterConnection &connection, Ask ask);

    QString shownPort() const { return shown; }
    bool isChecked(const QString &boxName) const;
    FilterBytes boxesBytes() const;
    bool hasUnsentEdits() const;
    // What "Set" sends: the boxes for the chosen port, or for every port; nothing when the
    // chooser names no port.
    std::optional<FilterCommand::Command> setCommand() const;

    // The chooser's text changed: the port's filter is shown, after asking whether edits not
    // yet sent may go.
    void choosePort(const QString &name);
    void selectGroup(FilterBits::Group group, bool all);
    // A member of the group was clicked.
    void showGroup(FilterBits::Group group);
    // Exactly these member boxes checked, as edits to send.
    void showChecked(const QStringList &boxNames);
    void applyToAllPorts(bool all);
    // The router's verdict on a filter that "Set" sent.
    void settle(const RouterConnection::FilterVerdict &verdict);
    // "Set"'s mark and tooltip, for the page shown now.
    void showMark();
    // No ports, no records: the connection ended.
    void clear();

signals:
    void markChanged(); // whether there are edits not yet sent may have changed

private:
    void listPorts();
    void showFirstPort();
    void followReport(PortIdentity::FilterPort port);
    void load(const QString &name);
    void showGroups();
    void showSummary(FilterBits::Group group); // the group box's tick from its members'
    void explainBoxes();
    QCheckBox *box(const QString &name) const;
    bool onFilterPage() const;

    QTabWidget &tabs;
    QPushButton &set;
    QComboBox &chooser;
    QCheckBox &allPorts;
    RouterConnection &connection;
    Ask ask;
    QHash<QString, QCheckBox *> boxes; // every filter box and group box, by object name
    QString setStyle;                  // "Set" without the mark
    bool reported = false;             // every filter port has reported
    QString shown;                     // the port whose record the boxes were loaded from
    FilterBytes loaded{};              // what the boxes showed as the router's for that port
};
