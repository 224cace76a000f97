#include "filters/filterbits.h"
#include "tests/filters/filterbyteshex.h"

#include <QSet>
#include <QTest>
#include <random>

using namespace FilterBits;

namespace {

QSet<QString> clickedBoxes(const QVector<LoadStep> &steps) {
    QSet<QString> clicked;
    for (const LoadStep &step : steps)
        if (step.click)
            clicked.insert(step.boxName);
    return clicked;
}

FilterBytes packSet(const QSet<QString> &checked) {
    return pack([&](const QString &name) { return checked.contains(name); });
}

QStringList numbered(const QString &pattern, int from, int downTo) {
    QStringList names;
    for (int n = from; n >= downTo; --n)
        names << pattern.arg(n);
    return names;
}

} // namespace

class TestFilterBits : public QObject {
    Q_OBJECT
private slots:
    void groupsListTheirMembersOnce();
    void memberPositions_data();
    void memberPositions();
    void eachBoxAloneIsOneBit_data();
    void eachBoxAloneIsOneBit();
    void allClearAndAllChecked();
    void loadVisitsBoxesInPanelOrder();
    void strayBitsLoad_data();
    void strayBitsLoad();
    void randomSelectionsRoundTrip();
};

void TestFilterBits::groupsListTheirMembersOnce() {
    const QVector<int> sizes{16, 7, 128, 4, 7};
    QCOMPARE(groups().size(), int(GroupCount));
    QSet<QString> names;
    QSet<QPair<int, quint32>> bits;
    for (int g = 0; g < GroupCount; ++g) {
        QCOMPARE(groups().at(g).members.size(), sizes.at(g));
        for (const QString &name : groups().at(g).members)
            names.insert(name);
    }
    QCOMPARE(groups().at(Channels).members.first(), QString("checkBox_1"));
    QCOMPARE(groups().at(ControlChange).members.last(), QString("c127"));
    QCOMPARE(members().size(), 162);
    for (const MemberBit &member : members()) {
        QVERIFY(names.contains(member.boxName));
        QVERIFY(groups().at(member.group).members.contains(member.boxName));
        bits.insert({member.byteIndex, member.mask});
    }
    QCOMPARE(names.size(), 162);
    QCOMPARE(bits.size(), 162);
}

void TestFilterBits::memberPositions_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("byteIndex");
    QTest::addColumn<int>("mask");
    QTest::newRow("channel 15") << "checkBox_15" << 0 << 1;
    QTest::newRow("channel 16") << "checkBox_16" << 0 << 2;
    QTest::newRow("channel 8") << "checkBox_8" << 1 << 1;
    QTest::newRow("channel 14") << "checkBox_14" << 1 << 64;
    QTest::newRow("channel 1") << "checkBox_1" << 2 << 1;
    QTest::newRow("channel 7") << "checkBox_7" << 2 << 64;
    QTest::newRow("note on") << "checkBox_NoteOn" << 3 << 1;
    QTest::newRow("system exclusive") << "checkBox_SystemExclusive" << 3 << 64;
    QTest::newRow("CC#126") << "c126" << 4 << 1;
    QTest::newRow("CC#127") << "c127" << 4 << 2;
    QTest::newRow("CC#119") << "c119" << 5 << 1;
    QTest::newRow("CC#125") << "c125" << 5 << 64;
    QTest::newRow("CC#63") << "c63" << 13 << 1;
    QTest::newRow("CC#7") << "c7" << 21 << 1;
    QTest::newRow("CC#0") << "c0" << 22 << 1;
    QTest::newRow("CC#6") << "c6" << 22 << 64;
    QTest::newRow("MIDI time code") << "checkBox_MIDI_Time_Code" << 23 << 1;
    QTest::newRow("tune request") << "checkBox_Tune_Request" << 23 << 8;
    QTest::newRow("timing clock") << "checkBox_Timing_Clock" << 24 << 1;
    QTest::newRow("system reset") << "checkBox_System_Reset" << 24 << 64;
}

void TestFilterBits::memberPositions() {
    QFETCH(QString, box);
    QFETCH(int, byteIndex);
    QFETCH(int, mask);
    const auto it = std::find_if(members().begin(), members().end(),
                                 [&](const MemberBit &m) { return m.boxName == box; });
    QVERIFY(it != members().end());
    QCOMPARE(it->byteIndex, byteIndex);
    QCOMPARE(int(it->mask), mask);
}

void TestFilterBits::eachBoxAloneIsOneBit_data() {
    QTest::addColumn<QString>("box");
    for (const MemberBit &member : members())
        QTest::newRow(qPrintable(member.boxName)) << member.boxName;
}

void TestFilterBits::eachBoxAloneIsOneBit() {
    QFETCH(QString, box);
    const FilterBytes bytes = packSet({box});
    int setBytes = 0;
    for (qint32 value : bytes) {
        QVERIFY(value >= 0 && value < 0x80);
        if (value != 0) {
            ++setBytes;
            QVERIFY2((value & (value - 1)) == 0, "more than one bit set");
        }
    }
    QCOMPARE(setBytes, 1);
    QCOMPARE(clickedBoxes(loadSteps(bytes)), QSet<QString>{box});
}

void TestFilterBits::allClearAndAllChecked() {
    QCOMPARE(packSet({}), FilterBytes{});
    QCOMPARE(pack([](const QString &) { return true; }),
             filterBytesFromHex("037F7F7F03"
                                "7F7F7F7F7F7F7F7F7F7F7F7F7F7F7F7F7F7F"
                                "0F7F"));
}

void TestFilterBits::loadVisitsBoxesInPanelOrder() {
    QStringList expected = numbered("checkBox_%1", 16, 1);
    expected << "checkBox_SystemExclusive"
             << "checkBox_PitchBend"
             << "checkBox_ChannelPressure"
             << "checkBox_ProgramChange"
             << "checkBox_KeyAftertouch"
             << "checkBox_NoteOff"
             << "checkBox_NoteOn";
    expected << "checkBox_Tune_Request"
             << "checkBox_song_select"
             << "checkBox_SongPosPointer"
             << "checkBox_MIDI_Time_Code";
    expected << "checkBox_System_Reset"
             << "checkBox_Active_Sensing"
             << "checkBox_Stop"
             << "checkBox_Continue"
             << "checkBox_Start"
             << "checkBox_Tick"
             << "checkBox_Timing_Clock";
    expected << numbered("c%1", 127, 0);

    QStringList visited;
    for (const LoadStep &step : loadSteps(FilterBytes{})) {
        QVERIFY(!step.click);
        visited << step.boxName;
    }
    QCOMPARE(visited, expected);
}

void TestFilterBits::strayBitsLoad_data() {
    QTest::addColumn<int>("byteIndex");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QStringList>("clicked");
    QTest::newRow("04 in byte 0") << 0 << 0x04 << QStringList{"checkBox_16"};
    QTest::newRow("03 in byte 0") << 0 << 0x03 << QStringList{"checkBox_15", "checkBox_16"};
    QTest::newRow("80 in byte 0") << 0 << 0x80 << QStringList{"checkBox_16"};
    QTest::newRow("-1 in byte 0") << 0 << -1 << QStringList{"checkBox_15", "checkBox_16"};
    QTest::newRow("40 in byte 23") << 23 << 0x40 << QStringList{"checkBox_Tune_Request"};
    QTest::newRow("40 in byte 24") << 24 << 0x40 << QStringList{"checkBox_System_Reset"};
    QTest::newRow("-128 in byte 24") << 24 << -128 << QStringList{"checkBox_System_Reset"};
    QTest::newRow("FF in byte 3") << 3 << 0xFF
                                  << QStringList{
                                         "checkBox_NoteOn",          "checkBox_NoteOff",
                                         "checkBox_KeyAftertouch",   "checkBox_ProgramChange",
                                         "checkBox_ChannelPressure", "checkBox_PitchBend",
                                         "checkBox_SystemExclusive"};
    QTest::newRow("05 in byte 4") << 4 << 0x05 << QStringList{"c127", "c126"};
    QTest::newRow("int max in byte 22")
        << 22 << std::numeric_limits<qint32>::max() << numbered("c%1", 6, 0);
    QTest::newRow("int min in byte 22")
        << 22 << std::numeric_limits<qint32>::min() << QStringList{"c6"};
}

void TestFilterBits::strayBitsLoad() {
    QFETCH(int, byteIndex);
    QFETCH(qint32, value);
    QFETCH(QStringList, clicked);
    FilterBytes bytes{};
    bytes[byteIndex] = value;
    const QVector<LoadStep> steps = loadSteps(bytes);
    QCOMPARE(steps.size(), 162);
    QCOMPARE(clickedBoxes(steps), QSet<QString>(clicked.begin(), clicked.end()));
}

void TestFilterBits::randomSelectionsRoundTrip() {
    std::mt19937 random(20240605);
    std::bernoulli_distribution coin(0.3);
    for (int round = 0; round < 200; ++round) {
        QSet<QString> checked;
        for (const MemberBit &member : members())
            if (coin(random))
                checked.insert(member.boxName);
        QCOMPARE(clickedBoxes(loadSteps(packSet(checked))), checked);
    }
}

QTEST_APPLESS_MAIN(TestFilterBits)
#include "tst_filterbits.moc"
