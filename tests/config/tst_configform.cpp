#include "config/configform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using PortIdentity::Route;

class TestConfigForm : public QObject {
    Q_OBJECT

private slots:
    void routeNamesBothWays();
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

QTEST_APPLESS_MAIN(TestConfigForm)
#include "tst_configform.moc"
