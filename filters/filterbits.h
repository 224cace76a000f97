#pragma once

#include "filters/filterbytes.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Which filter panel check box stands for which bit of which filter byte.
namespace FilterBits {

// The five groups of the panel, in the order the panel clears them.
enum Group { Channels, Messages, ControlChange, SystemCommon, SystemRealtime, GroupCount };

struct FilterGroup {
    QString boxName;     // the group's tristate summary box
    QStringList members; // its member boxes, in panel order
};

struct MemberBit {
    QString boxName;
    Group group;
    int byteIndex; // 0..24, wire order
    quint32 mask;  // one of filterBitMasks
};

// One step of loading a filter into the panel: click the box, or clear it without a click.
struct LoadStep {
    QString boxName;
    bool click;

    bool operator==(const LoadStep &other) const {
        return boxName == other.boxName && click == other.click;
    }
};

const QVector<FilterGroup> &groups(); // indexed by Group
const QVector<MemberBit> &members();  // all 162 member boxes, group by group

// The 25 filter bytes for the member boxes that isChecked reports as checked.
FilterBytes pack(const std::function<bool(const QString &boxName)> &isChecked);

// How the panel shows a filter, box by box: bytes 0, 1, 2, 3, 23, 24, 4 … 22, and within a
// byte its boxes from the highest mask down. A box is clicked when the byte's remaining
// value, read as unsigned, reaches the box's mask; the value then keeps only the rest below
// that mask. For bytes of 0..127 this is the box's bit; stray high bits check the byte's
// highest box.
QVector<LoadStep> loadSteps(const FilterBytes &bytes);

// The bytes the panel holds once it shows a filter: those of the boxes loadSteps() checks.
// They differ from the filter only where it has bits that no box stands for.
FilterBytes shownBytes(const FilterBytes &bytes);

} // namespace FilterBits
