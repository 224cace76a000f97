#include "tests/support/filtertable.h"

#include <QCheckBox>
#include <QMap>
#include <QRegularExpression>

namespace FilterTable {

namespace {

struct ByteRow {
    int byteIndex;
    const char *group;
    QList<const char *> bits; // bit 0 first
};

const QList<ByteRow> byteRows = {
    {0, "checkBox_Channels", {"checkBox_15", "checkBox_16"}},
    {1,
     "checkBox_Channels",
     {"checkBox_8", "checkBox_9", "checkBox_10", "checkBox_11", "checkBox_12", "checkBox_13",
      "checkBox_14"}},
    {2,
     "checkBox_Channels",
     {"checkBox_1", "checkBox_2", "checkBox_3", "checkBox_4", "checkBox_5", "checkBox_6",
      "checkBox_7"}},
    {3,
     "checkBox_Messages",
     {"checkBox_NoteOn", "checkBox_NoteOff", "checkBox_KeyAftertouch", "checkBox_ProgramChange",
      "checkBox_ChannelPressure", "checkBox_PitchBend", "checkBox_SystemExclusive"}},
    {4, "checkBox_ControlChange", {"c126", "c127"}},
    {5, "checkBox_ControlChange", {"c119", "c120", "c121", "c122", "c123", "c124", "c125"}},
    {6, "checkBox_ControlChange", {"c112", "c113", "c114", "c115", "c116", "c117", "c118"}},
    {7, "checkBox_ControlChange", {"c105", "c106", "c107", "c108", "c109", "c110", "c111"}},
    {8, "checkBox_ControlChange", {"c98", "c99", "c100", "c101", "c102", "c103", "c104"}},
    {9, "checkBox_ControlChange", {"c91", "c92", "c93", "c94", "c95", "c96", "c97"}},
    {10, "checkBox_ControlChange", {"c84", "c85", "c86", "c87", "c88", "c89", "c90"}},
    {11, "checkBox_ControlChange", {"c77", "c78", "c79", "c80", "c81", "c82", "c83"}},
    {12, "checkBox_ControlChange", {"c70", "c71", "c72", "c73", "c74", "c75", "c76"}},
    {13, "checkBox_ControlChange", {"c63", "c64", "c65", "c66", "c67", "c68", "c69"}},
    {14, "checkBox_ControlChange", {"c56", "c57", "c58", "c59", "c60", "c61", "c62"}},
    {15, "checkBox_ControlChange", {"c49", "c50", "c51", "c52", "c53", "c54", "c55"}},
    {16, "checkBox_ControlChange", {"c42", "c43", "c44", "c45", "c46", "c47", "c48"}},
    {17, "checkBox_ControlChange", {"c35", "c36", "c37", "c38", "c39", "c40", "c41"}},
    {18, "checkBox_ControlChange", {"c28", "c29", "c30", "c31", "c32", "c33", "c34"}},
    {19, "checkBox_ControlChange", {"c21", "c22", "c23", "c24", "c25", "c26", "c27"}},
    {20, "checkBox_ControlChange", {"c14", "c15", "c16", "c17", "c18", "c19", "c20"}},
    {21, "checkBox_ControlChange", {"c7", "c8", "c9", "c10", "c11", "c12", "c13"}},
    {22, "checkBox_ControlChange", {"c0", "c1", "c2", "c3", "c4", "c5", "c6"}},
    {23,
     "checkBox_SystemCommon",
     {"checkBox_MIDI_Time_Code", "checkBox_SongPosPointer", "checkBox_song_select",
      "checkBox_Tune_Request"}},
    {24,
     "checkBox_SystemRealtime",
     {"checkBox_Timing_Clock", "checkBox_Tick", "checkBox_Start", "checkBox_Continue",
      "checkBox_Stop", "checkBox_Active_Sensing", "checkBox_System_Reset"}},
};

// File keys that differ from their box's name, and the boxes' texts on the panel; the
// controller and channel boxes are stored under their own names and shown as "CC#7", "Channel 3".
const QMap<QString, QPair<QString, QString>> namedBoxes = {
    {"checkBox_NoteOn", {"noteon", "Note On"}},
    {"checkBox_NoteOff", {"noteoff", "Note Off"}},
    {"checkBox_KeyAftertouch", {"keyaftertouch", "Key Aftertouch"}},
    {"checkBox_ProgramChange", {"programchange", "Program Change"}},
    {"checkBox_ChannelPressure", {"channelpressure", "Channel Pressure"}},
    {"checkBox_PitchBend", {"pitchbend", "Pitch Bend"}},
    {"checkBox_SystemExclusive", {"systemexclusive", "System Exclusive"}},
    {"checkBox_MIDI_Time_Code", {"miditimecode", "MIDI Time Code"}},
    {"checkBox_SongPosPointer", {"songpospointer", "Song Pos Pointer"}},
    {"checkBox_song_select", {"songselect", "Song Select"}},
    {"checkBox_Tune_Request", {"tunerequest", "Tune Request"}},
    {"checkBox_Timing_Clock", {"timingclock", "Timing Clock"}},
    {"checkBox_Tick", {"tick", "Tick"}},
    {"checkBox_Start", {"start", "Start"}},
    {"checkBox_Continue", {"continue", "Continue"}},
    {"checkBox_Stop", {"stop", "Stop"}},
    {"checkBox_Active_Sensing", {"activesensing", "Active Sensing"}},
    {"checkBox_System_Reset", {"systemrest", "System Reset"}},
};

} // namespace

const QList<Box> &boxes() {
    static const QList<Box> list = [] {
        QList<Box> made;
        for (const ByteRow &row : byteRows)
            for (int bit = 0; bit < row.bits.size(); ++bit) {
                const QString name = row.bits.at(bit);
                const QString number = QString(name).remove(QRegularExpression("^\\D+"));
                const QString label = (name.startsWith("checkBox_") ? "Channel " : "CC#") + number;
                const auto [key, text] = namedBoxes.value(name, {name, label});
                made.append({name, row.group, row.byteIndex, 1 << bit, key, text});
            }
        return made;
    }();
    return list;
}

QByteArray filterBytes(const QList<Box> &checked) {
    QByteArray bytes(25, '\0');
    for (const Box &box : checked)
        bytes[box.byteIndex] = char(bytes.at(box.byteIndex) | box.mask);
    return bytes;
}

QStringList panelWith(const QStringList &checked) {
    QMap<QString, QPair<int, int>> groups; // group box -> (members, members checked)
    QStringList shown;
    for (const Box &box : boxes()) {
        const bool on = checked.contains(box.name);
        if (on)
            shown << box.name;
        groups[box.group].first += 1;
        groups[box.group].second += on;
    }
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        if (const auto [members, on] = it.value(); on > 0)
            shown << it.key() + (on < members ? "~" : "");
    shown.sort();
    return shown;
}

QStringList shownBoxes(const QWidget &window) {
    QStringList shown;
    for (const QCheckBox *box : window.findChildren<QCheckBox *>())
        if (box->checkState() != Qt::Unchecked)
            shown << box->objectName() + (box->checkState() == Qt::PartiallyChecked ? "~" : "");
    shown.sort();
    return shown;
}

} // namespace FilterTable
