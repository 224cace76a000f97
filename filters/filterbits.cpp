#include "filters/filterbits.h"

#include <algorithm>

namespace FilterBits {

namespace {

struct Tables {
    QVector<FilterGroup> groups;
    QVector<MemberBit> members;
    QVector<int> loadOrder; // indices into members, in the order a filter is loaded
};

quint32 maskOfBit(int bit) {
    return filterBitMasks[filterBitMasks.size() - 1 - bit];
}

void addMember(Tables &tables, const QString &name, int byteIndex, int bit) {
    const auto group = Group(tables.groups.size() - 1);
    tables.members.append({name, group, byteIndex, maskOfBit(bit)});
    tables.groups.last().members.append(name);
}

// A group whose boxes share one byte, bit 0 first.
void addNamedGroup(Tables &tables, const QString &box, int byteIndex, const QStringList &names) {
    tables.groups.append({box, {}});
    for (int bit = 0; bit < names.size(); ++bit)
        addMember(tables, names.at(bit), byteIndex, bit);
}

// A group of numbered boxes forming one wide number, box k being bit k; the number is cut
// into 7-bit groups sent most significant first, so box k lands in lastByte - k div 7.
void addNumberedGroup(Tables &tables, const QString &box, const QString &namePattern,
                      int firstNumber, int count, int lastByte) {
    tables.groups.append({box, {}});
    for (int k = 0; k < count; ++k)
        addMember(tables, namePattern.arg(firstNumber + k), lastByte - k / 7, k % 7);
}

QVector<int> makeLoadOrder(const QVector<MemberBit> &members) {
    QVector<int> byteOrder{0, 1, 2, 3, 23, 24};
    for (int index = 4; index <= 22; ++index)
        byteOrder.append(index);
    QVector<int> order;
    for (int byteIndex : byteOrder) {
        const int first = order.size();
        for (int i = 0; i < members.size(); ++i)
            if (members.at(i).byteIndex == byteIndex)
                order.append(i);
        std::sort(order.begin() + first, order.end(),
                  [&](int a, int b) { return members.at(a).mask > members.at(b).mask; });
    }
    return order;
}

Tables makeTables() {
    Tables made;
    addNumberedGroup(made, "checkBox_Channels", "checkBox_%1", 1, 16, 2);
    addNamedGroup(made, "checkBox_Messages", 3,
                  {"checkBox_NoteOn", "checkBox_NoteOff", "checkBox_KeyAftertouch",
                   "checkBox_ProgramChange", "checkBox_ChannelPressure", "checkBox_PitchBend",
                   "checkBox_SystemExclusive"});
    addNumberedGroup(made, "checkBox_ControlChange", "c%1", 0, 128, 22);
    addNamedGroup(made, "checkBox_SystemCommon", 23,
                  {"checkBox_MIDI_Time_Code", "checkBox_SongPosPointer", "checkBox_song_select",
                   "checkBox_Tune_Request"});
    addNamedGroup(made, "checkBox_SystemRealtime", 24,
                  {"checkBox_Timing_Clock", "checkBox_Tick", "checkBox_Start", "checkBox_Continue",
                   "checkBox_Stop", "checkBox_Active_Sensing", "checkBox_System_Reset"});
    made.loadOrder = makeLoadOrder(made.members);
    return made;
}

const Tables &tables() {
    static const Tables built = makeTables();
    return built;
}

} // namespace

const QVector<FilterGroup> &groups() {
    return tables().groups;
}

const QVector<MemberBit> &members() {
    return tables().members;
}

FilterBytes pack(const std::function<bool(const QString &boxName)> &isChecked) {
    FilterBytes bytes{};
    for (const MemberBit &member : members())
        if (isChecked(member.boxName))
            bytes[member.byteIndex] += qint32(member.mask);
    return bytes;
}

QVector<LoadStep> loadSteps(const FilterBytes &bytes) {
    QVector<LoadStep> steps;
    steps.reserve(members().size());
    int currentByte = -1;
    quint32 value = 0;
    for (int i : tables().loadOrder) {
        const MemberBit &member = members().at(i);
        if (member.byteIndex != currentByte) {
            currentByte = member.byteIndex;
            value = quint32(bytes[currentByte]);
        }
        const bool click = value / member.mask != 0;
        if (click)
            value %= member.mask;
        steps.append({member.boxName, click});
    }
    return steps;
}

FilterBytes shownBytes(const FilterBytes &bytes) {
    QStringList checked;
    for (const LoadStep &step : loadSteps(bytes))
        if (step.click)
            checked << step.boxName;
    return pack([&checked](const QString &boxName) { return checked.contains(boxName); });
}

} // namespace FilterBits
