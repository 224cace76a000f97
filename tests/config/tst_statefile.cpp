#include "config/routerfile.h"
#include "config/routerhistory.h"
#include "tests/support/filtertable.h"
#include "tests/support/testfiles.h"
#include "tests/support/wire.h"

#include <QTemporaryDir>
#include <QTest>

class TestStateFile : public QObject {
    Q_OBJECT

private slots:
    void routesOnlyWhereGiven();
    void mistakes_data();
    void mistakes();
    void differencesInThePanelsWords();
    void historyKeepsWhatChanged();
    void historyFolders();
};

// What the files of each kind hold reaches the router in pellvane-cli's tests; this is what
// they do not show: a state file without "routes" leaves the routes alone, while an empty
// object is a route file that clears them.
void TestStateFile::routesOnlyWhereGiven() {
    const StateFile::Reading filtersOnly = StateFile::read(R"({"filters": {}})");
    QVERIFY(filtersOnly.contents);
    QCOMPARE(filtersOnly.contents->kind, StateFile::Kind::State);
    QVERIFY(!filtersOnly.contents->routes);
    const StateFile::Reading empty = StateFile::read("{}");
    QVERIFY(empty.contents);
    QCOMPARE(empty.contents->kind, StateFile::Kind::Routes);
    QCOMPARE(empty.contents->routes,
             std::optional<QList<PortIdentity::Route>>(QList<PortIdentity::Route>()));
}

void TestStateFile::mistakes_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty") << QByteArray() << "not JSON: illegal value at byte 0";
    QTest::newRow("an array") << QByteArray("[{}]") << "not a JSON object";
    QTest::newRow("a string for an array")
        << QByteArray(R"({"routes": {"MIDI IN 1": "MIDI OUT 1"}})")
        << "\"routes\": \"MIDI IN 1\" must be an array of output port names";
    QTest::newRow("routes not an object")
        << QByteArray(R"({"routes": [], "filters": {}})") << "\"routes\" must be an object";
    QTest::newRow("a third member") << QByteArray(R"({"routes": {}, "comment": "gig"})")
                                    << "\"comment\" is neither \"routes\" nor \"filters\"";
    QTest::newRow("number 0") << QByteArray(R"({"MIDI IN 0": []})")
                              << "\"MIDI IN 0\" is no input port name";
    QTest::newRow("a name with a leading zero")
        << QByteArray(R"({"MIDI IN 1": ["MIDI OUT 01"]})")
        << "\"MIDI IN 1\": \"MIDI OUT 01\" is no output port name";
    QTest::newRow("a USB port to itself") << QByteArray(R"({"USB Device 2": ["USB Device 2"]})")
                                          << "\"USB Device 2\": a port cannot be routed to itself";
    QTest::newRow("a route among filter keys")
        << QByteArray(R"({"c0": true, "MIDI IN 1": ["MIDI OUT 1"]})")
        << "\"MIDI IN 1\" is no filter key";
    QTest::newRow("unknown filter port") << QByteArray(R"({"filters": {"MIDI IN 1": {}}})")
                                         << "\"filters\": \"MIDI IN 1\" is no filter port name";
    QTest::newRow("filter of a port as an array")
        << QByteArray(R"({"filters": {"MIDI IN1": [true]}})")
        << "\"filters\": \"MIDI IN1\" must be an object";
    QTest::newRow("unknown filter key")
        << QByteArray(R"({"filters": {"MIDI OUT2": {"c128": false}}})")
        << "\"filters\": \"MIDI OUT2\": \"c128\" is no filter key";
}

void TestStateFile::mistakes() {
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const StateFile::Reading reading = StateFile::read(file);
    QVERIFY(!reading.contents);
    QCOMPARE(reading.error, error);
}

// Every box of the panel named as the panel shows it, checked one at a time on the router.
void TestStateFile::differencesInThePanelsWords() {
    RouterState router;
    router.filterPortCounts = {1};
    const RouterFile clear(*StateFile::read(R"({"filters": {"MIDI IN1": {}}})").contents);
    for (const FilterTable::Box &box : FilterTable::boxes()) {
        router.filters[{0, 1}] = FilterBytes{};
        router.filters[{0, 1}][std::size_t(box.byteIndex)] = box.mask;
        QCOMPARE(clear.differences(router), QStringList("filter MIDI IN1: " + box.label +
                                                        " ticked on the router, not in the file"));
    }
    const RouterFile channel3(
        *StateFile::read(R"({"filters": {"MIDI IN1": {"checkBox_3": true}}})").contents);
    router.filters[{0, 1}] = FilterBytes{};
    QCOMPARE(channel3.differences(router),
             QStringList("filter MIDI IN1: Channel 3 ticked in the file, not on the router"));
}

// A state is kept when it differs from the newest entry, named by its UTC second and a count
// within the second (also when the clock went back). The window's tests drop the 51st.
void TestStateFile::historyKeepsWhatChanged() {
    QTemporaryDir base;
    const RouterHistory history(base.path(), "Kelvanto MIDI Router", "");
    RouterState state;
    state.routes.insert({0, 1}, {0, 2});
    const QDateTime second(QDate(2026, 3, 14), QTime(20, 30, 15), Qt::UTC);
    QVERIFY(history.keep(state, second).kept);
    QVERIFY(!history.keep(state, second.addSecs(60)).kept);
    state.filters.insert({1, 2}, Wire::filterBytes({{21, 1}}));
    QVERIFY(history.keep(state, second).kept);
    state.routes.clear();
    QVERIFY(history.keep(state, second.addSecs(-1)).kept);
    QStringList names;
    for (const RouterHistory::Entry &entry : history.entries())
        names << QString("%1 %2 %3")
                     .arg(QFileInfo(entry.path).fileName())
                     .arg(entry.routes)
                     .arg(entry.changedFilters);
    QCOMPARE(names, QStringList({"20260314-203015-002.json 0 1", "20260314-203015-001.json 1 1",
                                 "20260314-203015-000.json 1 0"}));
}

// A folder per router name and serial number, safe as a file name; one that cannot be made
// is an error.
void TestStateFile::historyFolders() {
    QCOMPARE(RouterHistory("/h", "Kelvanto A/B.", "").folder(), "/h/Kelvanto A%2FB%2E");
    QCOMPARE(RouterHistory("/h", "Kelvanto (1)", "x]y").folder(), "/h/Kelvanto (1) [x%5Dy]");
    QTemporaryDir base;
    QVERIFY(writeFile(base.filePath("file"), "not a folder"));
    const RouterHistory::Keeping failed = RouterHistory(base.filePath("file"), "R", "").keep({});
    QCOMPARE(failed.error, "cannot make the history folder " + base.filePath("file/R"));
    QVERIFY(!failed.kept);
}

QTEST_GUILESS_MAIN(TestStateFile)
#include "tst_statefile.moc"
