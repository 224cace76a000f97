#include "filters/portfilteringsituation.h"
#include "tests/filters/filterbyteshex.h"
#include "tests/filters/filterpanelprobe.h"
#include "tests/support/fakeinventory.h"

#include <QComboBox>
#include <QTest>
#include <memory>

using namespace FilterPanelProbe;

class TestFilterPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void memberClicksFollowTheGroup_data();
    void memberClicksFollowTheGroup();
    void groupBoxClickCyclesAllAndNone_data();
    void groupBoxClickCyclesAllAndNone();
    void loadingAPortShowsItsRecord_data();
    void loadingAPortShowsItsRecord();
    void loadedRecordPacksBackToItsBytes();
    void choosingAPortReplacesEdits();
    void portWithoutRecordClearsEverything();
    void sameNameRecordsAreAllApplied();
    void appliesToAllLocksTheChooser();

private:
    Widget &window() { return *win; }
    QComboBox *chooser() { return window().findChild<QComboBox *>("comboBox_MiDiPorts"); }
    void addRecord(const QString &name, const FilterBytes &bytes);
    void clickMembers(const QStringList &names);

    FakeInventory inventory;
    std::unique_ptr<Widget> win;
};

void TestFilterPanel::initTestCase() {
    setDeviceInventory(&inventory);
}

void TestFilterPanel::cleanupTestCase() {
    setDeviceInventory(nullptr);
}

void TestFilterPanel::init() {
    win = std::make_unique<Widget>();
}

void TestFilterPanel::cleanup() {
    win.reset();
}

void TestFilterPanel::addRecord(const QString &name, const FilterBytes &bytes) {
    auto *record = new PortFilteringSituation(name);
    record->setFilterBytes(bytes);
    WidgetTestAccess(window()).portFilters().append(record);
}

void TestFilterPanel::clickMembers(const QStringList &names) {
    for (const QString &name : names)
        box(window(), name)->click();
}

void TestFilterPanel::memberClicksFollowTheGroup_data() {
    QTest::addColumn<int>("group");
    for (int g = 0; g < FilterBits::GroupCount; ++g)
        QTest::newRow(qPrintable(FilterBits::groups().at(g).boxName)) << g;
}

void TestFilterPanel::memberClicksFollowTheGroup() {
    QFETCH(int, group);
    const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
    const QStringList members = info.members;
    QCheckBox *groupBox = box(window(), info.boxName);
    QVERIFY(groupBox->isTristate());

    clickMembers({members.first()});
    QCOMPARE(counter(window(), group), 1);
    QCOMPARE(groupBox->checkState(), Qt::PartiallyChecked);

    clickMembers(members.mid(1));
    QCOMPARE(counter(window(), group), members.size());
    QCOMPARE(groupBox->checkState(), Qt::Checked);

    clickMembers({members.last()});
    QCOMPARE(groupBox->checkState(), Qt::PartiallyChecked);
    clickMembers(members.mid(0, members.size() - 1));
    QCOMPARE(counter(window(), group), 0);
    QCOMPARE(groupBox->checkState(), Qt::Unchecked);
    QVERIFY(checkedMembers(window()).isEmpty());
}

void TestFilterPanel::groupBoxClickCyclesAllAndNone_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("membersCheckedFirst");
    for (int g = 0; g < FilterBits::GroupCount; ++g) {
        const QString name = FilterBits::groups().at(g).boxName;
        QTest::newRow(qPrintable(name + " from Unchecked")) << g << 0;
        QTest::newRow(qPrintable(name + " from PartiallyChecked")) << g << 2;
    }
}

void TestFilterPanel::groupBoxClickCyclesAllAndNone() {
    QFETCH(int, group);
    QFETCH(int, membersCheckedFirst);
    const FilterBits::FilterGroup &info = FilterBits::groups().at(group);
    QCheckBox *groupBox = box(window(), info.boxName);
    clickMembers(info.members.mid(0, membersCheckedFirst));

    groupBox->click();
    QCOMPARE(groupBox->checkState(), Qt::Checked);
    QCOMPARE(counter(window(), group), info.members.size());
    const QSet<QString> all(info.members.begin(), info.members.end());
    QCOMPARE(checkedMembers(window()), all);

    groupBox->click();
    QCOMPARE(groupBox->checkState(), Qt::Unchecked);
    QCOMPARE(counter(window(), group), 0);
    QVERIFY(checkedMembers(window()).isEmpty());
    VERIFY_GROUPS_CONSISTENT(window());
}

void TestFilterPanel::loadingAPortShowsItsRecord_data() {
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("channels 15 and 16")
        << QByteArray("03") << QStringList{"checkBox_15", "checkBox_16"};
    QStringList channels;
    for (int n = 1; n <= 16; ++n)
        channels << QString("checkBox_%1").arg(n);
    QTest::newRow("all channels") << QByteArray("037F7F") << channels;
    QTest::newRow("04 in byte 0") << QByteArray("04") << QStringList{"checkBox_16"};
    QTest::newRow("note on, CC#127, CC#0") << QByteArray("0000000102" + QByteArray(34, '0') + "01")
                                           << QStringList{"checkBox_NoteOn", "c127", "c0"};
    QTest::newRow("system common all")
        << QByteArray(46, '0') + "0F"
        << QStringList{"checkBox_MIDI_Time_Code", "checkBox_SongPosPointer", "checkBox_song_select",
                       "checkBox_Tune_Request"};
    QTest::newRow("system reset") << QByteArray(48, '0') + "40"
                                  << QStringList{"checkBox_System_Reset"};
    QTest::newRow("high bits everywhere")
        << QByteArray("80FFFFFF80" + QByteArray(36, '0') + "FFFF")
        << channels.mid(0, 14) + QStringList{"checkBox_16",
                                             "checkBox_NoteOn",
                                             "checkBox_NoteOff",
                                             "checkBox_KeyAftertouch",
                                             "checkBox_ProgramChange",
                                             "checkBox_ChannelPressure",
                                             "checkBox_PitchBend",
                                             "checkBox_SystemExclusive",
                                             "c127",
                                             "checkBox_MIDI_Time_Code",
                                             "checkBox_SongPosPointer",
                                             "checkBox_song_select",
                                             "checkBox_Tune_Request",
                                             "checkBox_Timing_Clock",
                                             "checkBox_Tick",
                                             "checkBox_Start",
                                             "checkBox_Continue",
                                             "checkBox_Stop",
                                             "checkBox_Active_Sensing",
                                             "checkBox_System_Reset"};
}

void TestFilterPanel::loadingAPortShowsItsRecord() {
    QFETCH(QByteArray, hex);
    QFETCH(QStringList, checked);
    addRecord("MIDI IN1", filterBytesFromHex("7F7F7F7F"));
    addRecord("USB HOST OUT2", filterBytesFromHex(hex.constData()));
    chooser()->addItems({"MIDI IN1", "USB HOST OUT2"});
    chooser()->setCurrentIndex(1);
    QCOMPARE(checkedMembers(window()), QSet<QString>(checked.begin(), checked.end()));
    VERIFY_GROUPS_CONSISTENT(window());
}

// A record whose bytes are 0..127 comes back byte for byte from the boxes it is shown in.
void TestFilterPanel::loadedRecordPacksBackToItsBytes() {
    const FilterBytes bytes = filterBytesFromHex("0215403F01"
                                                 "552A7F0001020408102040030C30700A5566"
                                                 "0B5A");
    addRecord("USB DEVICE IN3", bytes);
    QVERIFY(QMetaObject::invokeMethod(&window(), "MiDiPortsCurrTextChange",
                                      Q_ARG(QString, "USB DEVICE IN3")));
    QCOMPARE(shownBytes(window()), bytes);
    VERIFY_GROUPS_CONSISTENT(window());
}

void TestFilterPanel::choosingAPortReplacesEdits() {
    addRecord("MIDI IN1", filterBytesFromHex("01"));
    addRecord("MIDI OUT1", filterBytesFromHex("000000"
                                              "40"));
    chooser()->addItems({"MIDI IN1", "MIDI OUT1"});
    clickMembers({"checkBox_1", "c64", "checkBox_Stop", "checkBox_15"});
    chooser()->setCurrentIndex(1);
    QCOMPARE(checkedMembers(window()), QSet<QString>{"checkBox_SystemExclusive"});
    VERIFY_GROUPS_CONSISTENT(window());
}

void TestFilterPanel::portWithoutRecordClearsEverything() {
    addRecord("MIDI IN1", FilterBits::pack([](const QString &) { return true; }));
    chooser()->addItems({"MIDI IN1", "MIDI IN2"});
    QCOMPARE(checkedMembers(window()).size(), 162);
    VERIFY_GROUPS_CONSISTENT(window());
    chooser()->setCurrentIndex(1);
    QVERIFY(checkedMembers(window()).isEmpty());
    VERIFY_GROUPS_CONSISTENT(window());
}

// Every record with the chosen name is applied in turn; a second one toggles what the first
// checked, and the counters follow each click.
void TestFilterPanel::sameNameRecordsAreAllApplied() {
    addRecord("MIDI IN1", filterBytesFromHex("01"));
    addRecord("MIDI IN1", filterBytesFromHex("03"));
    chooser()->addItem("MIDI IN1");
    QCOMPARE(checkedMembers(window()), QSet<QString>{"checkBox_16"});
    VERIFY_GROUPS_CONSISTENT(window());
}

void TestFilterPanel::appliesToAllLocksTheChooser() {
    chooser()->addItems({"MIDI IN1", "MIDI IN2"});
    clickMembers({"checkBox_3", "c100"});
    QCheckBox *appliesToAll = box(window(), "checkBox_Applies_To_All");

    appliesToAll->click();
    QVERIFY(!chooser()->isEnabled());
    QCOMPARE(checkedMembers(window()), (QSet<QString>{"checkBox_3", "c100"}));

    appliesToAll->click();
    QVERIFY(chooser()->isEnabled());
    QCOMPARE(checkedMembers(window()), (QSet<QString>{"checkBox_3", "c100"}));
    VERIFY_GROUPS_CONSISTENT(window());
}

QTEST_MAIN(TestFilterPanel)
#include "tst_filterpanel.moc"
