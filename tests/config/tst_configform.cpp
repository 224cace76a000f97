#include "config/configform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QTest>

using ConfigForm::ButtonRoute;
using RouteList = QList<QPair<QPair<int, int>, QPair<int, int>>>;

Q_DECLARE_METATYPE(ButtonRoute)

class TestConfigForm : public QObject {
    Q_OBJECT

private slots:
    void routeForm_data();
    void routeForm();
    void filterKeysAreTheTableInOrder();
    void filterFormHoldsEveryKeyAsBoolean();
    void checkedBoxesTakeOnlyTrueBooleansInKeyOrder();
    void buttonRoutes_data();
    void buttonRoutes();
};

// Routes are recorded in list order, as the window records them one by one.
void TestConfigForm::routeForm_data() {
    QTest::addColumn<RouteList>("recorded");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no routes") << RouteList{} << QByteArray("{}");
    QTest::newRow("two routes from one source, later first")
        << RouteList{{{0, 1}, {0, 2}}, {{0, 1}, {1, 1}}, {{1, 2}, {0, 1}}}
        << QByteArray(R"({"MIDI IN 1":["USB HOST 1","MIDI OUT 2"],"USB HOST 2":["MIDI OUT 1"]})");
    QTest::newRow("usb names on both ends")
        << RouteList{{{2, 3}, {1, 12}}, {{1, 4}, {2, 1}}, {{2, 3}, {2, 2}}}
        << QByteArray(
               R"({"USB Device 3":["USB Device 2","USB HOST 12"],"USB HOST 4":["USB Device 1"]})");
}

void TestConfigForm::routeForm() {
    QFETCH(RouteList, recorded);
    QFETCH(QByteArray, expected);
    ConfigForm::RouteMap routes;
    for (const auto &route : recorded)
        routes.insert(route.first, route.second);

    const QJsonObject form = ConfigForm::routeForm(routes);
    QCOMPARE(QJsonDocument(form).toJson(QJsonDocument::Compact), expected);
}

void TestConfigForm::filterKeysAreTheTableInOrder() {
    const QList<ConfigForm::FilterKey> &keys = ConfigForm::filterKeys();
    QCOMPARE(keys.size(), 162);

    QSet<QString> names, boxes;
    for (const ConfigForm::FilterKey &k : keys) {
        names << k.key;
        boxes << k.checkBox;
    }
    QCOMPARE(names.size(), 162);
    QCOMPARE(boxes.size(), 162);

    for (int cc = 0; cc < 128; ++cc) {
        QCOMPARE(keys[cc].key, QString("c%1").arg(cc));
        QCOMPARE(keys[cc].checkBox, keys[cc].key);
    }
    for (int channel = 1; channel <= 16; ++channel) {
        QCOMPARE(keys[127 + channel].key, QString("checkBox_%1").arg(channel));
        QCOMPARE(keys[127 + channel].checkBox, keys[127 + channel].key);
    }
    const QList<QPair<QString, QString>> rest = {
        {"noteon", "checkBox_NoteOn"},
        {"noteoff", "checkBox_NoteOff"},
        {"keyaftertouch", "checkBox_KeyAftertouch"},
        {"programchange", "checkBox_ProgramChange"},
        {"channelpressure", "checkBox_ChannelPressure"},
        {"pitchbend", "checkBox_PitchBend"},
        {"systemexclusive", "checkBox_SystemExclusive"},
        {"miditimecode", "checkBox_MIDI_Time_Code"},
        {"songpospointer", "checkBox_SongPosPointer"},
        {"songselect", "checkBox_song_select"},
        {"tunerequest", "checkBox_Tune_Request"},
        {"timingclock", "checkBox_Timing_Clock"},
        {"tick", "checkBox_Tick"},
        {"start", "checkBox_Start"},
        {"continue", "checkBox_Continue"},
        {"stop", "checkBox_Stop"},
        {"activesensing", "checkBox_Active_Sensing"},
        {"systemrest", "checkBox_System_Reset"},
    };
    for (int i = 0; i < rest.size(); ++i) {
        QCOMPARE(keys[144 + i].key, rest[i].first);
        QCOMPARE(keys[144 + i].checkBox, rest[i].second);
    }
}

void TestConfigForm::filterFormHoldsEveryKeyAsBoolean() {
    const QSet<QString> checked = {"c0", "c127", "checkBox_16", "checkBox_System_Reset"};
    const QJsonObject form =
        ConfigForm::filterForm([&](const QString &box) { return checked.contains(box); });

    QCOMPARE(form.size(), 162);
    for (const ConfigForm::FilterKey &k : ConfigForm::filterKeys()) {
        QVERIFY2(form.value(k.key).isBool(), qPrintable(k.key));
        QCOMPARE(form.value(k.key).toBool(), checked.contains(k.checkBox));
    }
    QCOMPARE(form.value("systemrest"), QJsonValue(true));
    QVERIFY(!form.contains("systemreset"));
}

void TestConfigForm::checkedBoxesTakeOnlyTrueBooleansInKeyOrder() {
    const QJsonObject root{
        {"systemrest", true},
        {"c5", true},
        {"checkBox_2", true},
        {"noteon", "true"},
        {"noteoff", 1},
        {"tick", false},
        {"pitchbend", QJsonArray{true}},
        {"MIDI IN 1", true},
        {"c1", true},
    };
    QCOMPARE(ConfigForm::checkedBoxes(root),
             QStringList({"c1", "c5", "checkBox_2", "checkBox_System_Reset"}));
    QVERIFY(ConfigForm::checkedBoxes(QJsonObject()).isEmpty());
}

// A router with 2 MIDI IN, 3 MIDI OUT, 2 USB HOST and 1 USB Device port: input buttons
// MIDI IN 1-2, USB HOST 1-2, USB Device 1; output buttons MIDI OUT 1-3, USB HOST 1-2,
// USB Device 1.
void TestConfigForm::buttonRoutes_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<ButtonRoute>>("expected");

    QTest::newRow("every kind")
        << QByteArray(R"({"MIDI IN 2":["MIDI OUT 3","USB HOST 1"],"USB HOST 2":["USB Device 1"],
                         "USB Device 1":["MIDI OUT 1","USB HOST 2"]})")
        << QList<ButtonRoute>{{1, 2}, {1, 3}, {4, 0}, {4, 4}, {3, 5}};
    QTest::newRow("array order kept, duplicates kept")
        << QByteArray(R"({"MIDI IN 1":["MIDI OUT 2","MIDI OUT 1","MIDI OUT 2"]})")
        << QList<ButtonRoute>{{0, 1}, {0, 0}, {0, 1}};
    QTest::newRow("numbers outside the router")
        << QByteArray(R"({"MIDI IN 0":["MIDI OUT 1"],"MIDI IN 3":["MIDI OUT 1"],
                         "USB HOST 3":["MIDI OUT 1"],"USB Device 2":["MIDI OUT 1"],
                         "MIDI IN -1":["MIDI OUT 1"],"USB HOST 99999999999":["MIDI OUT 1"],
                         "MIDI IN 1":["MIDI OUT 0","MIDI OUT 4","USB HOST 3","USB Device 2",
                                      "USB HOST 2"]})")
        << QList<ButtonRoute>{{0, 4}};
    QTest::newRow("names of no port kind")
        << QByteArray(R"({"midi in 1":["MIDI OUT 1"],"MIDI IN1":["MIDI OUT 1"],"c0":[true],
                         "USB Device 1":["MIDI IN 1","usb host 1","MIDI OUT","USB HOST 1"]})")
        << QList<ButtonRoute>{{4, 3}};
    QTest::newRow("prefix removed wherever it occurs")
        << QByteArray(
               R"({"MIDI IN MIDI IN 2":["MIDI OUT MIDI OUT 3"],"x MIDI IN 1":["MIDI OUT 1"]})")
        << QList<ButtonRoute>{{1, 2}};
    QTest::newRow("values of the wrong type")
        << QByteArray(R"({"MIDI IN 1":"MIDI OUT 1","MIDI IN 2":{"a":"MIDI OUT 1"},
                         "USB HOST 1":[1,null,["MIDI OUT 1"],{},"MIDI OUT 2"],"USB HOST 2":null})")
        << QList<ButtonRoute>{{2, 1}};
    QTest::newRow("filter form") << QByteArray(
                                        R"({"c0":true,"checkBox_1":false,"systemrest":true})")
                                 << QList<ButtonRoute>{};
}

void TestConfigForm::buttonRoutes() {
    QFETCH(QByteArray, json);
    QFETCH(QList<ButtonRoute>, expected);
    const QJsonDocument document = QJsonDocument::fromJson(json);
    QVERIFY(document.isObject());
    const PortIdentity::PortCounts counts{2, 3, 2, 1};

    const QList<ButtonRoute> routes = ConfigForm::buttonRoutes(document.object(), counts);
    QCOMPARE(routes, expected);
}

QTEST_APPLESS_MAIN(TestConfigForm)
#include "tst_configform.moc"
