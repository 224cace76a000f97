#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The 162 member boxes of the filter panel as the router and the file format know them,
// written out by hand, independently of the program's own tables: tests hold the program to
// this list.
namespace FilterTable {

struct Box {
    QString name;  // object name of the check box
    QString group; // object name of its group's tristate box
    int byteIndex; // 0..24, in wire order
    int mask;      // 1 (bit 0) … 64 (bit 6)
    QString key;   // its key in a filter-form file
    QString label; // what the filter panel and the comparisons with a router call it
};

// Byte by byte, within a byte from bit 0 up.
const QList<Box> &boxes();

// The 25 filter bytes with exactly the given boxes set.
QByteArray filterBytes(const QList<Box> &checked);

// What shownBoxes() reads from a filter panel that has exactly these member boxes checked:
// them and the group box of each group with any of them, "~" marking a group partly checked.
QStringList panelWith(const QStringList &checked);

// Every check box of the window that is not clear, by name, sorted; "~" marks a partly checked
// one.
QStringList shownBoxes(const QWidget &window);

} // namespace FilterTable
