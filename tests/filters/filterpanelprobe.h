#pragma once

#include "filters/filterbits.h"
#include "tests/support/widgettestaccess.h"

#include <QCheckBox>
#include <QSet>

// Reads and drives the filter page of a window the way a user sees it.
namespace FilterPanelProbe {

inline QCheckBox *box(Widget &window, const QString &name) {
    return window.findChild<QCheckBox *>(name);
}

inline QSet<QString> checkedMembers(Widget &window) {
    QSet<QString> names;
    for (const FilterBits::MemberBit &member : FilterBits::members())
        if (box(window, member.boxName)->isChecked())
            names.insert(member.boxName);
    return names;
}

inline FilterBytes shownBytes(Widget &window) {
    return FilterBits::pack([&](const QString &name) { return box(window, name)->isChecked(); });
}

inline int counter(Widget &window, int group) {
    WidgetTestAccess access(window);
    switch (group) {
    case FilterBits::Channels:
        return access.channelsCount();
    case FilterBits::Messages:
        return access.messagesCount();
    case FilterBits::ControlChange:
        return access.controlChangeCount();
    case FilterBits::SystemCommon:
        return access.systemCommonCount();
    default:
        return access.systemRealtimeCount();
    }
}

// Every group's counter equals its checked members and its box shows None, Some or All.
inline bool groupsConsistent(Widget &window, QString *why) {
    const QSet<QString> checked = checkedMembers(window);
    for (int g = 0; g < FilterBits::GroupCount; ++g) {
        const FilterBits::FilterGroup &group = FilterBits::groups().at(g);
        int count = 0;
        for (const QString &name : group.members)
            count += checked.contains(name);
        const Qt::CheckState expected = count == 0                      ? Qt::Unchecked
                                        : count == group.members.size() ? Qt::Checked
                                                                        : Qt::PartiallyChecked;
        const int shownCount = counter(window, g);
        const Qt::CheckState shownState = box(window, group.boxName)->checkState();
        if (shownCount != count || shownState != expected) {
            *why = QString("%1: %2 checked, counter %3, box state %4")
                       .arg(group.boxName)
                       .arg(count)
                       .arg(shownCount)
                       .arg(shownState);
            return false;
        }
    }
    return true;
}

} // namespace FilterPanelProbe

#define VERIFY_GROUPS_CONSISTENT(window)                                                           \
    do {                                                                                           \
        QString why;                                                                               \
        QVERIFY2(FilterPanelProbe::groupsConsistent(window, &why), qPrintable(why));               \
    } while (false)
