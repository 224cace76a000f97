#include "config/configform.h"
#include "config/routeimport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using PortIdentity::Route;

class TestConfigForm : public QObject {
    Q_OBJECT

private slots:
    void routeNamesBothWays();
    void importOrder();
};

// Later recorded destinations first. Read back for a router with 2 MIDI IN, 3 MIDI OUT,
// 2 USB HOST and 1 USB Device port.
void TestConfigForm::routeNamesBothWays() {
    ConfigForm::RouteMap routes;
    routes.insert({2, 1}, {1, 2});
    routes.insert({2, 1}, {0, 3});
    routes.insert({1, 2}, {2, 1});
    QJsonObject form = ConfigForm::routeForm(routes);
    QCOMPARE(QJsonDocument(form).toJson(QJsonDocument::Compact),
             QByteArray(
                 R"({"USB Device 1":["MIDI OUT 3","USB HOST 2"],"USB HOST 2":["USB Device 1"]})"));

    // The kind's text is taken out wherever it stands; numbers outside the router, even
    // those that overflow an int, are skipped.
    form["MIDI IN MIDI IN 2"] = QJsonArray{"MIDI OUT MIDI OUT 1", "MIDI OUT 4"};
    form["USB HOST 4294967297"] = QJsonArray{"MIDI OUT 1"};
    QCOMPARE(
        ConfigForm::routes(form, {2, 3, 2, 1}),
        QList<Route>({{{0, 2}, {0, 1}}, {{2, 1}, {0, 3}}, {{2, 1}, {1, 2}}, {{1, 2}, {2, 1}}}));
}

// Sources in port order (MIDI, USB HOST, USB Device), each source's last listed route first;
// a repeated route goes once, a USB port to itself never, MIDI IN 1 to MIDI OUT 1 does.
void TestConfigForm::importOrder() {
    const QList<Route> listed = {{{0, 2}, {0, 1}}, {{0, 1}, {0, 1}}, {{0, 1}, {0, 2}},
                                 {{1, 1}, {1, 1}}, {{2, 1}, {0, 1}}, {{1, 1}, {0, 1}},
                                 {{0, 1}, {0, 1}}};
    QList<RouteCommand::Command> expected;
    for (const Route &route : QList<Route>{{{0, 1}, {0, 1}},
                                           {{0, 1}, {0, 2}},
                                           {{0, 2}, {0, 1}},
                                           {{1, 1}, {0, 1}},
                                           {{2, 1}, {0, 1}}})
        expected.append(RouteCommand::add(route.first, route.second));
    QVERIFY(RouteImport::addCommands(listed) == expected);
}

QTEST_APPLESS_MAIN(TestConfigForm)
#include "tst_configform.moc"
