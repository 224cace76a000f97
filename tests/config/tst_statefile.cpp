#include "config/statefile.h"
#include "tests/support/wire.h"

#include <QTest>

namespace {

using PortIdentity::Route;
using Kind = StateFile::Kind;
using Filters = QMap<PortIdentity::FilterPort, FilterBytes>;
using Routes = QList<Route>;
using Wire::filterBytes;

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(std::optional<Routes>)
Q_DECLARE_METATYPE(Filters)
Q_DECLARE_METATYPE(FilterBytes)

class TestStateFile : public QObject {
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void mistakes_data();
    void mistakes();
};

// The keys tell the kind; routes keep the file's order, and each filter key sets the bit
// of its box (bytes and bits written out by hand).
void TestStateFile::kinds_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<std::optional<Routes>>("routes");
    QTest::addColumn<Filters>("filters");
    QTest::addColumn<FilterBytes>("filter");

    QTest::newRow("empty object: no routes")
        << QByteArray("{}") << Kind::Routes << std::optional<Routes>(Routes()) << Filters()
        << FilterBytes{};
    QTest::newRow("route file")
        << QByteArray(R"({"USB HOST 1": ["MIDI OUT 2"], "MIDI IN 2": ["USB Device 1", "MIDI OUT 1"],
                          "MIDI IN 1": ["MIDI OUT 1"]})")
        << Kind::Routes
        << std::optional<Routes>(
               {{{0, 1}, {0, 1}}, {{0, 2}, {2, 1}}, {{0, 2}, {0, 1}}, {{1, 1}, {0, 2}}})
        << Filters() << FilterBytes{};
    // CC#0: byte 22 bit 0; channel 16: byte 0 bit 1; Song Select: byte 23 bit 2.
    QTest::newRow("filter file, missing keys false")
        << QByteArray(R"({"c0": true, "checkBox_16": true, "songselect": true, "noteon": false})")
        << Kind::Filter << std::optional<Routes>() << Filters()
        << filterBytes({{0, 0x02}, {22, 0x01}, {23, 0x04}});
    // CC#127: byte 4 bit 1; Active Sensing: byte 24 bit 5.
    QTest::newRow("state file") << QByteArray(R"({"routes": {"USB Device 3": ["USB HOST 12"]},
                          "filters": {"USB DEVICE OUT12": {"c127": true},
                                      "MIDI IN1": {"activesensing": true}}})")
                                << Kind::State << std::optional<Routes>({{{2, 3}, {1, 12}}})
                                << Filters{{{5, 12}, filterBytes({{4, 0x02}})},
                                           {{0, 1}, filterBytes({{24, 0x20}})}}
                                << FilterBytes{};
    QTest::newRow("state file of filters only")
        << QByteArray(R"({"filters": {}})") << Kind::State << std::optional<Routes>() << Filters()
        << FilterBytes{};
}

void TestStateFile::kinds() {
    QFETCH(QByteArray, file);
    QFETCH(Kind, kind);
    QFETCH(std::optional<Routes>, routes);
    QFETCH(Filters, filters);
    QFETCH(FilterBytes, filter);
    const StateFile::Reading reading = StateFile::read(file);
    QCOMPARE(reading.error, QString());
    QVERIFY(reading.contents);
    QCOMPARE(reading.contents->kind, kind);
    QCOMPARE(reading.contents->routes, routes);
    QCOMPARE(reading.contents->filters, filters);
    QCOMPARE(reading.contents->filter, filter);
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
    QTest::newRow("an output as a source") << QByteArray(R"({"MIDI OUT 1": ["MIDI OUT 2"]})")
                                           << "\"MIDI OUT 1\" is no input port name";
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
