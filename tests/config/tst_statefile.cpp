#include "config/statefile.h"

#include <QTest>

class TestStateFile : public QObject {
    Q_OBJECT

private slots:
    void routesOnlyWhereGiven();
    void mistakes_data();
    void mistakes();
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

QTEST_APPLESS_MAIN(TestStateFile)
#include "tst_statefile.moc"
